// Prints the MIME type the system's database gives a file, as a file manager would see it.
#include <QCoreApplication>
#include <QMimeDatabase>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QMimeDatabase db;
    for (int i = 1; i < argc; ++i) {
        const QString byName =
            db.mimeTypeForFile(QString::fromLocal8Bit(argv[i]), QMimeDatabase::MatchExtension).name();
        const QString byContent =
            db.mimeTypeForFile(QString::fromLocal8Bit(argv[i]), QMimeDatabase::MatchContent).name();
        std::printf("%s %s\n", qPrintable(byName), qPrintable(byContent));
    }
    return 0;
}
