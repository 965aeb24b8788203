// The main window in the user's surroundings: a numeric locale with a decimal comma, a desktop
// without a web browser, the folder the file dialogs open in, the window's size without a window
// manager, and the program's command line.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>

#include "ScopedCommaLocale.h"
#include "MainFrameFixture.h"
#include "ShellTestSupport.h"
#include "graph/widgets/CVxView.h"
#include "logger/FakeDeviceLibrary.h"
#include "shell/CommandIds.h"
#include "shell/DesktopOpener.h"
#include "shell/widgets/CMainFrame.h"
#include "controls/CInstrumentPanel.h"
#include "controls/ProgramProfile.h"
#include "controls/Prompter.h"
#include "settings/SettingsFile.h"
#include "tools/ProgramRunner.h"

using namespace shakemeter;
using namespace shakemeter::test;

namespace {

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FrameEnvironmentTest : public OwnProfileFrameTest {
protected:
    void SetUp() override
    {
        OwnProfileFrameTest::SetUp();
        env.settingsPath = dir.filePath(QStringLiteral("ZEVORUVIDIVADUDAREZ.ini"));
    }

    ScopedTimeZone zone{"UTC0"};
};

// Runs action while a modal dialog of type Dialog is open; inspect sees it and must end it.
template <typename Dialog>
void WhileModal(const std::function<void()>& action, const std::function<void(Dialog*)>& inspect)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            seen = true;
            inspect(dialog);
        }
    });
    action();
    EXPECT_TRUE(seen) << "no dialog was shown";
}

}  // namespace

TEST_F(FrameEnvironmentTest, ReportSavedUnderADecimalCommaLocaleIsTheOneTheCommandLineWrites)
{
    shakemeter::testing::ScopedCommaLocale comma;
    if (!comma.active()) {
        GTEST_SKIP() << shakemeter::testing::ScopedCommaLocale::kMissing;
    }
    CMainFrame frame(env);
    const QString recording = WriteRecording(dir, "logged.Vibration", MakeLoggedRecording(30));
    ASSERT_EQ(frame.OpenPath(recording), LoadStatus::Loaded);
    prompter.savePath = dir.filePath(QStringLiteral("saved.Vibration"));
    ASSERT_TRUE(frame.SaveFlow());
    const QByteArray saved = FileBytes(dir.filePath(QStringLiteral("saved.xls")));
    EXPECT_TRUE(saved.contains("0.050")) << saved.left(300).toStdString();

    const QString exported = dir.filePath(QStringLiteral("cli.xls"));
    const auto cli =
        shakemeter::testing::RunProgram(SHAKEMETER_CLI, {"export", recording.toStdString(), exported.toStdString()});
    ASSERT_EQ(cli.code, 0) << cli.err;
    EXPECT_EQ(saved, FileBytes(exported));
}

TEST_F(FrameEnvironmentTest, HelpWithoutABrowserSaysSoAndNamesThePage)
{
    env.helpPath = WriteBytes(dir, "help.html", "<html></html>");
    CMainFrame frame(env);
    QUrl asked;
    frame.SetUrlOpener([&](const QUrl& url) {
        asked = url;
        return false;  // nothing on this desktop shows web pages
    });
    frame.OnCommand(ID_HELP_TOPICS);
    EXPECT_EQ(asked, QUrl::fromLocalFile(env.helpPath));
    ASSERT_EQ(prompter.said.size(), 1u);
    EXPECT_FALSE(prompter.said[0].question);
    EXPECT_TRUE(prompter.said[0].text.contains(env.helpPath)) << prompter.said[0].text.toStdString();
    EXPECT_TRUE(prompter.said[0].text.contains(QStringLiteral("browser")));

    prompter.said.clear();
    frame.SetUrlOpener([](const QUrl&) { return true; });
    frame.OnCommand(ID_HELP_TOPICS);
    EXPECT_TRUE(prompter.said.empty()) << "a page that opens needs no message";
}

TEST_F(FrameEnvironmentTest, DesktopOpenerThatFindsNoBrowserIsReported)
{
    // Stand-ins for xdg-open: one that finds no program for web pages (its status 3), one that
    // shows the page.
    auto script = [this](const char* name, const QByteArray& body) {
        const QString path = WriteBytes(dir, name, "#!/bin/sh\n" + body);
        QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    };
    const QString noBrowser = script("no-browser", "exit 3\n");
    const QString browser = script("browser", "echo \"$1\" > \"$0.shown\"\n");
    const QUrl page = QUrl::fromLocalFile(dir.filePath(QStringLiteral("help.html")));

    int failures = 0;
    ASSERT_TRUE(StartDesktopOpener(
        page, [&failures] { ++failures; }, noBrowser));
    EXPECT_TRUE(QTest::qWaitFor([&] { return failures == 1; }, 5000)) << failures;

    ASSERT_TRUE(StartDesktopOpener(
        page, [&failures] { ++failures; }, browser));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(browser + QStringLiteral(".shown")); }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(failures, 1) << "a page shown is no failure";
    EXPECT_EQ(FileBytes(browser + QStringLiteral(".shown")).trimmed(), page.toString().toUtf8());

    EXPECT_FALSE(StartDesktopOpener(
        page, [] {}, dir.filePath(QStringLiteral("not-installed"))));
}

TEST_F(FrameEnvironmentTest, FileDialogsStartInTheFolderLastUsedElseInTheDocuments)
{
    const QString profile = dir.filePath(QStringLiteral("dialogs.conf"));
    MessageBoxPrompter dialogs(profile);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString first = dialogs.StartFolder();
    EXPECT_TRUE(first == documents || (!QFileInfo(documents).isDir() && first == QDir::homePath()))
        << first.toStdString();
    EXPECT_NE(QDir(first).absolutePath(), QDir::currentPath()) << "not the working folder";

    QDir(dir.path()).mkpath(QStringLiteral("recordings"));
    const QString folder = QDir(dir.filePath(QStringLiteral("recordings"))).absolutePath();
    const QString recording = WriteRecording(dir, "recordings/a.Vibration", MakeLoggedRecording(3));
    QString opened;
    WhileModal<QFileDialog>(
        [&] {
            opened = dialogs.ChooseOpenFile(nullptr, QStringLiteral("Shakemeter Files (*.Vibration)"),
                                            QStringLiteral("Vibration"));
        },
        [&](QFileDialog* dialog) {
            EXPECT_EQ(dialog->directory().absolutePath(), QDir(first).absolutePath());
            dialog->selectFile(recording);
            static_cast<QDialog*>(dialog)->accept();  // as the Open button does
        });
    EXPECT_EQ(QFileInfo(opened).absoluteFilePath(), QFileInfo(recording).absoluteFilePath());

    // The save dialog, and after a restart of the program the open dialog, follow the open.
    QString saved;
    WhileModal<QFileDialog>(
        [&] {
            saved = dialogs.ChooseSaveFile(nullptr, QStringLiteral("Shakemeter Files (*.Vibration *.xls)"),
                                           QStringLiteral("Vibration"), QStringLiteral("b.Vibration"));
        },
        [&](QFileDialog* dialog) {
            EXPECT_EQ(dialog->directory().absolutePath(), folder);
            dialog->reject();
        });
    EXPECT_TRUE(saved.isEmpty());
    EXPECT_EQ(MessageBoxPrompter(profile).StartFolder(), folder);

    // A remembered folder that has gone away is not offered.
    ASSERT_TRUE(QDir(folder).removeRecursively());
    EXPECT_EQ(MessageBoxPrompter(profile).StartFolder(), first);
}

TEST_F(FrameEnvironmentTest, UnmaximisedWindowShowsTheStartScreenAndComesBackAtItsLastSize)
{
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    {
        CMainFrame frame(env);
        EXPECT_EQ(frame.size(), QSize(CMainFrame::kDefaultWidth, CMainFrame::kDefaultHeight).boundedTo(screen));
        EXPECT_GT(frame.width(), frame.minimumSizeHint().width() + 100) << "not the layout's minimum";
        frame.show();
        QApplication::processEvents();
        // The start screen's buttons are all inside the graph pane.
        const CVxView* view = frame.GraphView();
        const QWidget* panel = view->InstrumentPanel();
        ASSERT_NE(panel, nullptr);
        ASSERT_TRUE(panel->isVisible());
        const QRect onView(panel->mapTo(view, QPoint(0, 0)), panel->size());
        EXPECT_TRUE(view->rect().contains(onView))
            << onView.right() << "," << onView.bottom() << " in " << view->width() << " x " << view->height();
        // FRAME_PICTURES=dir keeps the window for a look.
        if (const char* pictures = std::getenv("FRAME_PICTURES")) {
            frame.grab().save(QString::fromUtf8(pictures) + QStringLiteral("/normal-size.png"));
        }

        frame.resize(700, 500);
        frame.close();  // nothing shown: no question, the window closes a moment later
        EXPECT_TRUE(QTest::qWaitFor([&] { return !frame.isVisible(); }, 5000));
    }
    CMainFrame again(env);
    EXPECT_EQ(again.size(), QSize(700, 500).boundedTo(screen));
}

TEST(HelpPage, NamesTheFilesTheProgramKeepsAndNoRecentFiles)
{
    const QString page = QString::fromUtf8(FileBytes(QStringLiteral(SHAKEMETER_SOURCE_DIR "/docs/help.html")));
    ASSERT_FALSE(page.isEmpty());
    // The program has no list of recently used files.
    EXPECT_FALSE(
        page.contains(QRegularExpression(QStringLiteral("recent"), QRegularExpression::CaseInsensitiveOption)));
    EXPECT_TRUE(page.contains(
        QStringLiteral("~/.config/%1/%2").arg(QLatin1String(SETTINGS_FOLDER_NAME), QLatin1String(SETTINGS_FILE_NAME))));

    const QString testName = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("Shakemeter"));
    const QString profile = OpenProgramProfile(QString())->fileName();
    QCoreApplication::setApplicationName(testName);
    // The page names the folders as they are without XDG_CONFIG_HOME: ~/.config.
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/');
    ASSERT_TRUE(profile.startsWith(config)) << profile.toStdString();
    EXPECT_TRUE(page.contains(QStringLiteral("~/.config/") + profile.mid(config.size()))) << profile.toStdString();
}

TEST(ProgramCommandLine, HelpPrintsTheUsageAndOpensNoWindow)
{
    // A window would keep the program running until it is killed after the patience.
    for (const char* option : {"--help", "-h"}) {
        const auto help = shakemeter::testing::RunProgram(SHAKEMETER_PROGRAM, {option}, 15000);
        EXPECT_EQ(help.code, 0) << option;
        EXPECT_EQ(help.out.rfind("Usage: shakemeter [FILE]", 0), 0u) << help.out;
        EXPECT_EQ(help.err, "");
    }
}
