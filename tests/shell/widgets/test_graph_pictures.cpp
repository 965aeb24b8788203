// The graph's pictures and options in the main window: File > Export > "Graph as Picture...",
// the Analysis menu's legend and marks kept in the profile, the print dialog's theme, and the
// command line's render drawing the very picture the program saves.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QSettings>
#include <QSpinBox>
#include <QSvgRenderer>
#include <QTest>
#include <QTimer>
#include <cstdlib>

#include "MainFrameFixture.h"
#include "ShellTestSupport.h"
#include "controls/ProgramProfile.h"
#include "graph/widgets/CGraphPictureDlg.h"
#include "graph/widgets/CVxView.h"
#include "graph/widgets/GraphPainter.h"
#include "logger/FakeDeviceLibrary.h"
#include "shell/CommandIds.h"
#include "shell/widgets/CMainFrame.h"
#include "shell/widgets/GraphPictureCommands.h"
#include "tools/ProgramRunner.h"

using namespace shakemeter;
using namespace shakemeter::test;

namespace {

const QString kSample = QStringLiteral(SHAKEMETER_SOURCE_DIR "/samples/logged-normal.Vibration");

class GraphPicturesTest : public OwnProfileFrameTest {
protected:
    std::unique_ptr<CMainFrame> OpenSample(const QString& path = kSample)
    {
        auto frame = std::make_unique<CMainFrame>(env);
        EXPECT_EQ(frame->OpenPath(path), LoadStatus::Loaded);
        frame->resize(1200, 800);
        frame->show();
        QTest::qWait(300);
        QApplication::processEvents();
        return frame;
    }

    QImage Picture(const QString& path) const { return QImage(path).convertToFormat(QImage::Format_RGB32); }
    // The picture Graph as Picture... saves at 1600 x 900.
    QImage ExportedPicture(CMainFrame& frame)
    {
        GraphPictureChoice choice;
        choice.paneSize = false;
        choice.size = QSize(1600, 900);
        const QString path = dir.filePath(QStringLiteral("program.png"));
        QString error;
        EXPECT_TRUE(frame.GraphPictures()->ExportPicture(path, choice, &error)) << error.toStdString();
        return Picture(path);
    }

    ScopedTimeZone zone{"UTC0"};
};

// Accepts the picture dialog as soon as it is open, after letting change adjust it.
void AcceptPictureDialog(const std::function<void(CGraphPictureDlg*)>& change)
{
    QTimer::singleShot(0, [change] {
        if (auto* dialog = qobject_cast<CGraphPictureDlg*>(QApplication::activeModalWidget())) {
            change(dialog);
            dialog->accept();
        }
    });
}

}  // namespace

// The command line's render of a recording is the program's picture of the same recording at
// the same size, pixel for pixel; so is a stretch of rows the command line zooms onto in PNG.
TEST_F(GraphPicturesTest, CommandLinePictureIsTheProgramsPicture)
{
    auto frame = OpenSample();
    const QImage fromProgram = ExportedPicture(*frame);

    const QString cli = dir.filePath(QStringLiteral("cli.png"));
    const auto run =
        shakemeter::testing::RunProgram(SHAKEMETER_CLI, {"render", kSample.toStdString(), cli.toStdString()});
    ASSERT_EQ(run.code, 0) << run.err;
    ASSERT_EQ(fromProgram.size(), QSize(1600, 900));
    EXPECT_EQ(fromProgram, Picture(cli));

    // Rows 10..40 fill the plot: a different picture of the same size.
    const QString part = dir.filePath(QStringLiteral("part.png"));
    const auto zoomed =
        shakemeter::testing::RunProgram(SHAKEMETER_CLI, {"render", kSample.toStdString(), part.toStdString(), "--from",
                                                         "10", "--to", "40", "--width", "800", "--height", "600"});
    ASSERT_EQ(zoomed.code, 0) << zoomed.err;
    EXPECT_EQ(Picture(part).size(), QSize(800, 600));
    EXPECT_NE(Picture(part), fromProgram.scaled(800, 600));
}

// The cursors in a picture: the command line's with --cursors is the program's with the same cursors.
TEST_F(GraphPicturesTest, CommandLineDrawsTheCursorsAsTheProgramDoes)
{
    auto frame = OpenSample();
    frame->GraphView()->SetCursors(CursorPair{20, 60});
    const QImage fromProgram = ExportedPicture(*frame);

    const std::string sample = kSample.toStdString();
    const QString cli = dir.filePath(QStringLiteral("cli.png"));
    auto run =
        shakemeter::testing::RunProgram(SHAKEMETER_CLI, {"render", sample, cli.toStdString(), "--cursors", "20,60"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(fromProgram, Picture(cli));
    const QString plain = dir.filePath(QStringLiteral("plain.png"));
    run = shakemeter::testing::RunProgram(SHAKEMETER_CLI, {"render", sample, plain.toStdString()});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(Picture(plain), Picture(cli));

    // Rows that are not drawn, or one row only, are refused with the reason.
    const std::string refused = dir.filePath(QStringLiteral("refused.png")).toStdString();
    run = shakemeter::testing::RunProgram(
        SHAKEMETER_CLI, {"render", sample, refused, "--from", "10", "--to", "40", "--cursors", "5,20"});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("cursor row 5"), std::string::npos) << run.err;
    run = shakemeter::testing::RunProgram(SHAKEMETER_CLI, {"render", sample, refused, "--cursors", "5"});
    EXPECT_NE(run.code, 0);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(refused)));
}

// The command line refuses what it cannot draw or write, with the reason, and writes nothing.
TEST_F(GraphPicturesTest, CommandLineRefusesBadRequests)
{
    const std::string sample = kSample.toStdString();
    const std::string text = dir.filePath(QStringLiteral("graph.txt")).toStdString();
    auto run = shakemeter::testing::RunProgram(SHAKEMETER_CLI, {"render", sample, text});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find(".png"), std::string::npos) << run.err;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(text)));

    const std::string missing = dir.filePath(QStringLiteral("none/graph.png")).toStdString();
    run = shakemeter::testing::RunProgram(SHAKEMETER_CLI, {"render", sample, missing});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find(missing), std::string::npos) << run.err;

    const std::string png = dir.filePath(QStringLiteral("graph.png")).toStdString();
    run = shakemeter::testing::RunProgram(SHAKEMETER_CLI, {"render", sample, png, "--from", "5", "--to", "99999999"});
    EXPECT_EQ(run.code, 2) << run.err;
    run = shakemeter::testing::RunProgram(SHAKEMETER_CLI, {"render", sample, png, "--from", "40", "--to", "10"});
    EXPECT_EQ(run.code, 2) << run.err;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(png)));
}

// File > Export > "Graph as Picture..." asks for the size, then the file: the pane's size by
// default, a size entered otherwise, SVG by its extension; an unwritable file is told by name.
TEST_F(GraphPicturesTest, ExportCommandWritesThePictureOrSaysWhy)
{
    auto frame = OpenSample();
    QMenu* exportMenu = nullptr;
    for (QAction* top : frame->menuBar()->actions())
        for (QAction* item : top->menu()->actions())
            if (item->menu() != nullptr && item->text() == QStringLiteral("E&xport"))
                exportMenu = item->menu();
    ASSERT_NE(exportMenu, nullptr);
    QAction* command = FindAction(exportMenu, QStringLiteral("Graph as &Picture..."));
    ASSERT_NE(command, nullptr);
    EXPECT_FALSE(command->statusTip().isEmpty());
    EXPECT_FALSE(command->toolTip().isEmpty());
    EXPECT_TRUE(command->isEnabled());

    CVxView* view = frame->GraphView();
    const QSize pane(view->width(), view->height() - view->SummaryHeight());
    prompter.savePath = dir.filePath(QStringLiteral("pane.png"));
    AcceptPictureDialog([](CGraphPictureDlg* dialog) {
        KeepScreenshot(QStringLiteral("graph-picture-dialog.png"), dialog->grab().toImage());
    });
    command->trigger();
    EXPECT_EQ(QImage(prompter.savePath).size(), pane);

    prompter.savePath = dir.filePath(QStringLiteral("entered.svg"));
    AcceptPictureDialog([](CGraphPictureDlg* dialog) {
        dialog->PaneSizeBox()->setChecked(false);
        dialog->WidthBox()->setValue(640);
        dialog->HeightBox()->setValue(480);
    });
    command->trigger();
    QSvgRenderer svg(prompter.savePath);
    ASSERT_TRUE(svg.isValid());
    EXPECT_EQ(svg.defaultSize(), QSize(640, 480));
    EXPECT_TRUE(prompter.said.empty());
    // The size entered is the next dialog's start.
    EXPECT_FALSE(frame->GraphPictures()->StoredChoice().paneSize);
    EXPECT_EQ(frame->GraphPictures()->StoredChoice().size, QSize(640, 480));

    prompter.savePath = dir.filePath(QStringLiteral("missing/graph.pdf"));
    AcceptPictureDialog([](CGraphPictureDlg*) {});
    command->trigger();
    ASSERT_EQ(prompter.said.size(), 1u);
    EXPECT_TRUE(prompter.said[0].text.contains(prompter.savePath)) << prompter.said[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(prompter.savePath));
}

// The legend and the marks are off at first, change the pane's picture when chosen, and are
// kept in the program's profile for the next start.
TEST_F(GraphPicturesTest, LegendAndMarksKeptInTheProfile)
{
    QImage plain;
    {
        auto frame = OpenSample();
        GraphPictureCommands* pictures = frame->GraphPictures();
        EXPECT_FALSE(pictures->LegendAction()->isChecked());
        EXPECT_FALSE(pictures->MarksAction()->isChecked());
        EXPECT_TRUE(pictures->LegendAction()->isCheckable());
        QMenu* analysis = frame->menuBar()->actions()[3]->menu();
        EXPECT_EQ(FindAction(analysis, QStringLiteral("Trace &Legend")), pictures->LegendAction());
        EXPECT_EQ(FindAction(analysis, QStringLiteral("Event &Marks")), pictures->MarksAction());
        EXPECT_EQ(pictures->ScreenExtras(), nullptr);
        plain = frame->GraphView()->ComposedImage().copy();

        pictures->LegendAction()->setChecked(true);
        QTest::qWait(50);
        QApplication::processEvents();
        EXPECT_NE(frame->GraphView()->ComposedImage(), plain);
        GraphPictureChoice light;
        light.paneSize = false;
        light.size = QSize(900, 500);
        light.lightTheme = light.legend = light.eventMarks = true;
        const QString lightPath = dir.filePath(QStringLiteral("light.png"));
        ASSERT_TRUE(pictures->ExportPicture(lightPath, light));
        KeepScreenshot(QStringLiteral("graph-picture-light.png"), QImage(lightPath));
    }
    QSettings profile(env.profilePath, QSettings::IniFormat);
    EXPECT_TRUE(OpenProgramProfile(env.profilePath)->value(QLatin1String(kProfileGraphLegendKey)).toBool());
    auto again = OpenSample();
    EXPECT_TRUE(again->GraphPictures()->LegendAction()->isChecked());
    EXPECT_FALSE(again->GraphPictures()->MarksAction()->isChecked());
    ASSERT_NE(again->GraphPictures()->ScreenExtras(), nullptr);
    EXPECT_TRUE(again->GraphPictures()->ScreenExtras()->legend);
}

// The marks show the recording's shocks and the logger's own free-fall events in their colours;
// another recording brings its own events.
TEST_F(GraphPicturesTest, EventMarksShowTheShownRecordingsEvents)
{
    auto frame = OpenSample(QStringLiteral(SHAKEMETER_SOURCE_DIR "/samples/motion-events.Vibration"));
    GraphPictureCommands* pictures = frame->GraphPictures();
    pictures->MarksAction()->setChecked(true);
    pictures->LegendAction()->setChecked(true);
    QTest::qWait(50);
    QApplication::processEvents();
    const GraphExtras* extras = pictures->ScreenExtras();
    ASSERT_NE(extras, nullptr);
    int shocks = 0, logged = 0;
    for (const EventRow& event : extras->events) {
        shocks += event.kind == EventMarkKind::Shock ? 1 : 0;
        logged += event.kind == EventMarkKind::LoggerFall ? 1 : 0;
    }
    EXPECT_EQ(shocks, 12);
    EXPECT_EQ(logged, 3);
    const QImage shown = frame->GraphView()->ComposedImage();
    const auto count = [&shown](const QColor& color) {
        int n = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                n += shown.pixelColor(x, y) == color ? 1 : 0;
        return n;
    };
    EXPECT_GT(count(ToQColor(EventMarkColor(EventMarkKind::Shock))), 10);
    EXPECT_GT(count(ToQColor(EventMarkColor(EventMarkKind::LoggerFall))), 10);
    KeepScreenshot(QStringLiteral("graph-event-marks.png"), frame->GraphView()->grab().toImage());

    // Rows replaced in place (as a capture replaces the last one's) bring their own events.
    Recording& shownRows = frame->GraphView()->Document();
    for (SampleRow& row : shownRows.m_pSamples)
        row = {0.0, 0.0, 1.0, 1.0};
    ASSERT_NE(pictures->ScreenExtras(), nullptr);
    EXPECT_EQ(pictures->ScreenExtras()->events.size(), 3u) << "only the logger's own events are left";

    ASSERT_EQ(frame->OpenPath(kSample), LoadStatus::Loaded);
    ASSERT_NE(pictures->ScreenExtras(), nullptr);
    EXPECT_TRUE(pictures->ScreenExtras()->events.empty());
}

// The print dialog has a tab for the graph page's theme; the light theme prints a white plot
// where the screen's colours print black, and the graph's own colours are the default.
TEST_F(GraphPicturesTest, PrintThemeChosenInThePrintDialog)
{
    auto frame = OpenSample();
    GraphPictureCommands* pictures = frame->GraphPictures();
    EXPECT_FALSE(pictures->PrintsLight());
    std::unique_ptr<QWidget> tab(pictures->MakePrintOptionsTab());
    auto* box = tab->findChild<QCheckBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isChecked());
    box->setChecked(true);
    EXPECT_TRUE(pictures->PrintsLight());

    // The print dialog offers the same choice.
    bool offered = false;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
            for (QCheckBox* option : dialog->findChildren<QCheckBox*>())
                offered = offered || (option->text().contains(QStringLiteral("Light theme")) && option->isChecked());
            dialog->reject();
        }
    });
    frame->OnCommand(ID_PRINT_GRAPH);
    EXPECT_TRUE(offered);

    PaintParams params;
    params.colors = frame->GraphView()->Colors();
    pictures->ApplyPrintTheme(params);
    EXPECT_EQ(PaletteColor(params.colors.background), QColor(Qt::white));
    box->setChecked(false);
    PaintParams screen;
    screen.colors = frame->GraphView()->Colors();
    pictures->ApplyPrintTheme(screen);
    EXPECT_EQ(screen.colors.background, frame->GraphView()->Colors().background);
}
