// Shakemeter: the desktop program of the QZ810 vibration and shock logger.

#include <cstdio>
#include <cstring>

#include "shell/widgets/CVxApp.h"

namespace {

const char* const kUsage =
    "Usage: shakemeter [FILE]\n"
    "The desktop program of the QZ810 vibration and shock logger. FILE, a .Vibration recording,\n"
    "is opened and shown when given.\n"
    "\n"
    "  --help, -h   print this text and exit\n";

}  // namespace

int main(int argc, char* argv[])
{
    // Answered before the GUI starts, so that it also answers where there is no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    shakemeter::CVxApp app(argc, argv);
    if (!app.InitInstance()) {
        return 1;
    }
    return shakemeter::CVxApp::exec();
}
