// Shakemeter: the desktop program of the QZ810 vibration and shock logger.

#include "shell/widgets/CVxApp.h"

int main(int argc, char* argv[]) {
    shakemeter::CVxApp app(argc, argv);
    if (!app.InitInstance()) {
        return 1;
    }
    return shakemeter::CVxApp::exec();
}
