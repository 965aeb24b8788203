// Setupgate: starts the installers found on the installation medium beside it.

#include <QApplication>

#include "launcher/Form1.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    setupgate::Form1 form(QCoreApplication::applicationDirPath());
    form.show();
    return app.exec();
}
