#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include "launcher/Form1.h"
#include "launcher/InstallerPaths.h"
#include "TestApplication.h"
#include "tools/ProgramRunner.h"

namespace {

// One application for the whole test program, never destroyed: tearing it down among the other
// static objects at exit is not safe once windows were shown.
QApplication& App()
{
    return shakemeter::testing::ProgramApplication<QApplication>("test_launcher");
}

// A medium laid out as shipped: Software/setup.exe and Software/Driver/USBXpressInstaller.exe,
// here shell scripts that leave a mark each time they run.
class Medium {
public:
    Medium() { QDir(dir.path()).mkpath(QStringLiteral("Software/Driver")); }
    QString root() const { return dir.path(); }
    void AddInstaller(const QString& relative)
    {
        const QString path = dir.filePath(relative);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("#!/bin/sh\necho started >> \"%1.marks\"\n").arg(path).toUtf8());
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    int Marks(const QString& relative) const
    {
        QFile file(dir.filePath(relative) + QStringLiteral(".marks"));
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        return file.readAll().count('\n');
    }

private:
    QTemporaryDir dir;
};

bool WaitFor(const std::function<bool()>& condition)
{
    for (int i = 0; i < 100 && !condition(); ++i)
        QTest::qWait(50);
    return condition();
}

}  // namespace

TEST(InstallerPaths, AreJoinedFromTheLauncherFolder)
{
    EXPECT_EQ(setupgate::ApplicationInstallerPath(QStringLiteral("/media/cd")),
              QStringLiteral("/media/cd/Software/setup.exe"));
    EXPECT_EQ(setupgate::DriverInstallerPath(QStringLiteral("/media/cd/")),
              QStringLiteral("/media/cd/Software/Driver/USBXpressInstaller.exe"));
}

TEST(Form1, HasTheLayoutOfTheMedium)
{
    App();
    setupgate::Form1 form(QStringLiteral("/nonexistent"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Form1"));
    EXPECT_EQ(form.size(), QSize(442, 318));
    EXPECT_EQ(form.installButton()->geometry(), QRect(16, 256, 89, 32));
    EXPECT_EQ(form.driverButton()->geometry(), QRect(120, 256, 91, 34));
    EXPECT_EQ(form.closeButton()->geometry(), QRect(331, 256, 89, 34));
    EXPECT_EQ(form.installButton()->cursor().hotSpot(), QPoint(12, 1));
    EXPECT_EQ(form.closeButton()->cursor().pixmap().size(), QSize(32, 32));
}

TEST(Form1, StartsEachInstallerAndStaysOpen)
{
    App();
    Medium medium;
    medium.AddInstaller(QStringLiteral("Software/setup.exe"));
    medium.AddInstaller(QStringLiteral("Software/Driver/USBXpressInstaller.exe"));
    QStringList errors;
    setupgate::Form1 form(medium.root(), nullptr, [&](const QString& m) { errors << m; });
    form.show();

    QTest::mouseClick(form.installButton(), Qt::LeftButton);
    QTest::mouseClick(form.installButton(), Qt::LeftButton);
    QTest::mouseClick(form.driverButton(), Qt::LeftButton);
    EXPECT_TRUE(WaitFor([&] { return medium.Marks(QStringLiteral("Software/setup.exe")) == 2; }));
    EXPECT_TRUE(WaitFor([&] { return medium.Marks(QStringLiteral("Software/Driver/USBXpressInstaller.exe")) == 1; }));
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_TRUE(form.isVisible());
}

TEST(Form1, NamesTheFileItCouldNotStart)
{
    App();
    Medium medium;  // no installers on it
    QStringList errors;
    setupgate::Form1 form(medium.root(), nullptr, [&](const QString& m) { errors << m; });
    form.show();
    QTest::mouseClick(form.driverButton(), Qt::LeftButton);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("Software/Driver/USBXpressInstaller.exe")));
    EXPECT_TRUE(form.isVisible());
}

TEST(Form1, KeyboardPressesAChoiceAndTheThirdCloses)
{
    App();
    Medium medium;
    medium.AddInstaller(QStringLiteral("Software/setup.exe"));
    setupgate::Form1 form(medium.root(), nullptr, [](const QString&) {});
    form.show();
    QTest::keyClick(form.installButton(), Qt::Key_Space);
    EXPECT_TRUE(WaitFor([&] { return medium.Marks(QStringLiteral("Software/setup.exe")) == 1; }));
    QTest::mouseClick(form.closeButton(), Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
}

// Counts the starts asked for instead of starting anything.
class CountingStarter : public setupgate::ProgramStarter {
public:
    explicit CountingStarter(int& starts) : m_starts(starts) {}
    setupgate::StartResult Start(const QString&) override
    {
        ++m_starts;
        return {true, QString()};
    }

private:
    int& m_starts;
};

TEST(Form1, AHeldKeyStartsTheInstallerOnce)
{
    App();
    int starts = 0;
    setupgate::Form1 form(QStringLiteral("/nonexistent"), std::make_unique<CountingStarter>(starts),
                          [](const QString&) {});
    form.show();
    // A key held down repeats its press: only the first one is the user's choice.
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        starts = 0;
        for (int press = 0; press < 5; ++press) {
            QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, QString(), press > 0);
            QApplication::sendEvent(form.installButton(), &event);
        }
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(form.installButton(), &release);
        EXPECT_EQ(starts, 1) << key;
    }
}

TEST(SetupgateProgram, HelpPrintsTheUsageAndOpensNoWindow)
{
    // A window would keep the program running until it is killed after the patience.
    for (const char* option : {"--help", "-h"}) {
        const auto help = shakemeter::testing::RunProgram(SHAKEMETER_BINARY_DIR "/launcher/setupgate", {option}, 15000);
        EXPECT_EQ(help.code, 0) << option;
        EXPECT_EQ(help.out.rfind("Usage: setupgate", 0), 0u) << help.out;
        EXPECT_NE(help.out.find("Software/setup.exe"), std::string::npos);
        EXPECT_EQ(help.err, "");
    }
}
