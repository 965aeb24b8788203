// Shakemeter: the desktop program of the QZ810 vibration and shock logger.

#include <QApplication>
#include <QStringList>

#include "shell/widgets/CMainFrame.h"
#include "shell/widgets/controls/Pictures.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Shakemeter"));
    QApplication::setWindowIcon(shakemeter::MainIcon());

    shakemeter::CMainFrame frame;
    // A recording named on the command line is open before the window shows. A file that cannot
    // be read leaves the program running with nothing shown rather than ending it.
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) {
        frame.OpenFromCommandLine(args.at(1));
    }
    frame.showMaximized();
    return QApplication::exec();
}
