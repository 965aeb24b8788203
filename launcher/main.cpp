// Setupgate: starts the installers found on the installation medium beside it.

#include <QApplication>
#include <cstdio>
#include <cstring>

#include "launcher/Form1.h"

namespace {

const char* const kUsage =
    "Usage: setupgate [--help]\n"
    "Opens the installation medium's window, which starts the installer of Shakemeter\n"
    "(Software/setup.exe) or of the USB bridge's driver (Software/Driver/USBXpressInstaller.exe),\n"
    "both found beside this program.\n"
    "\n"
    "  --help, -h   print this text and exit\n";

}  // namespace

int main(int argc, char** argv)
{
    // Answered before the GUI starts, so that it also answers where there is no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    QApplication app(argc, argv);
    setupgate::Form1 form(QCoreApplication::applicationDirPath());
    form.show();
    return app.exec();
}
