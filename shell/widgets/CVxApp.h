#pragma once
// The application: names the program, creates the main window, opens a recording named on the
// command line before the window shows, and shows the window maximised.

#include <QApplication>
#include <memory>

namespace shakemeter {

class CMainFrame;

class CVxApp : public QApplication {
    Q_OBJECT
public:
    CVxApp(int& argc, char** argv);
    ~CVxApp() override;

    // False when the program cannot run.
    bool InitInstance();
    CMainFrame* MainFrame() const { return m_frame.get(); }

private:
    std::unique_ptr<CMainFrame> m_frame;
};

}  // namespace shakemeter
