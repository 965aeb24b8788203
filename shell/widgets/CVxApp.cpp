#include "shell/widgets/CVxApp.h"

#include <QStringList>

#include "shell/widgets/CMainFrame.h"
#include "shell/widgets/StartupHooks.h"
#include "controls/Pictures.h"

namespace shakemeter {

CVxApp::CVxApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Shakemeter"));
    setWindowIcon(MainIcon());
}

CVxApp::~CVxApp() = default;

bool CVxApp::InitInstance()
{
    FrameEnvironment environment;
    environment.prompter = StartupHookPrompter();
    m_frame = std::make_unique<CMainFrame>(environment);
    // A file that cannot be read leaves the program running with nothing shown rather than
    // ending it.
    const QStringList args = arguments();
    if (args.size() > 1) {
        m_frame->OpenFromCommandLine(args.at(1));
    }
    m_frame->showMaximized();
    m_frame->OfferUnsavedReading();
    RunStartupHooks(*m_frame);
    return true;
}

}  // namespace shakemeter
