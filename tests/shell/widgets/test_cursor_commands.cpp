// The two measuring cursors in the main window: Analysis > Two Cursors places them at a third and
// two thirds of the graph and shows their dock, whose statistics are the statistics dock's for the
// same rows; the mouse drags a line instead of starting a zoom band, the keys step the active
// cursor, another recording takes them away, and the rows between them export as CSV.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTableWidget>
#include <QTest>

#include "MainFrameFixture.h"
#include "ShellTestSupport.h"
#include "TestRecordings.h"
#include "analysis/export/RangeCsv.h"
#include "analysis/vibration/CursorReadings.h"
#include "analysis/widgets/CursorPanel.h"
#include "analysis/widgets/StatisticsDock.h"
#include "graph/core/CursorPlacement.h"
#include "graph/core/VisibleRows.h"
#include "graph/widgets/CVxView.h"
#include "logger/FakeDeviceLibrary.h"
#include "shell/CommandIds.h"
#include "shell/widgets/AnalysisPanels.h"
#include "shell/widgets/CMainFrame.h"
#include "shell/widgets/CursorCommands.h"

using namespace shakemeter;
using namespace shakemeter::test;

namespace {

class CursorCommandsTest : public OwnProfileFrameTest {
protected:
    void SetUp() override
    {
        OwnProfileFrameTest::SetUp();
        MakeWideFrame();
        ASSERT_NE(frame, nullptr);
        frame->Analysis()->FollowTimer().stop();
        frame->show();
        Show(QStringLiteral("run.Vibration"), 2000);
        cursors = frame->Cursors();
        ASSERT_NE(cursors, nullptr);
        toggle = frame->Action(ID_ANALYSIS_TWO_CURSORS);
    }

    void Show(const QString& name, int rows)
    {
        // Rows of every value, 50 ms apart, so that every figure of every column differs.
        const Recording recording = shakemeter::testing::MakeRecording(
            shakemeter::testing::MarchHeader(),
            shakemeter::testing::RandomCountRows(static_cast<std::size_t>(rows), 11));
        ASSERT_EQ(frame->OpenPath(WriteRecording(dir, name, recording)), LoadStatus::Loaded);
        view = frame->GraphView();
        PaintPastTheFirstZoomReset(*view);
        Settle();
    }
    void Settle()
    {
        QTest::qWait(1);
        QApplication::processEvents();
        frame->ApplyEnableTable();
    }
    CursorPair Pair() const { return view->Model().Cursors().value_or(CursorPair{9999, 9999}); }
    int Column(std::size_t row) const { return TruncToInt(ColumnOfRow(view->Model(), row)); }
    int Middle() const { return (view->Model().plot().top + view->Model().plot().bottom) / 2; }

    static QStringList Cells(const QTableWidget* table)
    {
        QStringList cells;
        for (int line = 0; line < table->rowCount(); ++line)
            for (int c = 0; c < table->columnCount(); ++c)
                cells << table->item(line, c)->text();
        return cells;
    }

    ScopedTimeZone zone{"UTC0"};
    CVxView* view = nullptr;
    CursorCommands* cursors = nullptr;
    QAction* toggle = nullptr;
};

TEST_F(CursorCommandsTest, TwoCursorsPlacesThemAtThirdsAndTheDockReadsThem)
{
    ASSERT_TRUE(toggle->isEnabled());
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_EQ(toggle->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_T));
    EXPECT_FALSE(frame->Action(ID_EXPORT_CURSOR_RANGE_CSV)->isEnabled());
    toggle->trigger();
    Settle();
    EXPECT_EQ(Pair(), (CursorPair{666, 1332}));
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_TRUE(frame->Action(ID_EXPORT_CURSOR_RANGE_CSV)->isEnabled());
    const CursorPanel* panel = cursors->Panel();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->SpanLabel()->text(), QStringLiteral("\u0394t = 33.300 s"));
    EXPECT_EQ(panel->Values()->item(0, 0)->text(), QStringLiteral("667"));
    EXPECT_EQ(panel->Values()->item(0, 1)->text(), QString::fromStdString(view->Model().SampleTimeText(666)).trimmed());
    EXPECT_EQ(panel->Values()->item(2, 1)->text(), QStringLiteral("33.300 s"));
    const SampleRow& a = frame->Doc().recording().m_pSamples[666];
    const SampleRow& b = frame->Doc().recording().m_pSamples[1332];
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(panel->Values()->item(2, 2 + c)->text().toStdString(), vibration::AccelerationText(b[c] - a[c]));

    // The statistics dock zoomed onto the same rows shows the same numbers.
    ASSERT_TRUE(view->ZoomOntoRows(666, 1332));
    view->repaint();
    frame->Analysis()->Statistics()->show();
    const auto visible = VisibleRows(view->Model());
    ASSERT_TRUE(visible);
    view->SetCursors(CursorPair{visible->from, visible->to});
    cursors->Refresh();
    frame->Analysis()->Follow();
    EXPECT_EQ(Cells(panel->Statistics()), Cells(frame->Analysis()->Statistics()->Table()));
    EXPECT_EQ(panel->RangeLabel()->text(), QStringLiteral("Statistics of the %1 rows from %2 to %3")
                                               .arg(visible->size())
                                               .arg(visible->from + 1)
                                               .arg(visible->to + 1));
    // And in the other unit.
    frame->Analysis()->UnitAction(vibration::Unit::MetresPerSecondSquared)->trigger();
    frame->Analysis()->Follow();
    EXPECT_EQ(Cells(panel->Statistics()), Cells(frame->Analysis()->Statistics()->Table()));
    EXPECT_EQ(panel->Values()->horizontalHeaderItem(2)->text(), QStringLiteral("X (m/s^2)"));

    toggle->trigger();
    Settle();
    EXPECT_FALSE(view->Model().Cursors());
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(CursorCommandsTest, TheMouseDragsALineAndSnapsItToASample)
{
    toggle->trigger();
    Settle();
    const int zoomLevel = view->State().g_nZoomLevel;
    const int from = Column(666) + 3;  // within reach of A's line
    const int to = Column(1000) + 1;
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(from, Middle()));
    QTest::mouseMove(view, QPoint((from + to) / 2, Middle()));
    QTest::mouseMove(view, QPoint(to, Middle() + 30));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(to, Middle() + 30));
    Settle();
    EXPECT_EQ(Pair().rowA, *SnapColumnToRow(view->Model(), to));
    EXPECT_EQ(Pair().rowB, 1332u);
    EXPECT_EQ(view->State().g_nZoomLevel, zoomLevel) << "the drag made no zoom band";
    EXPECT_FALSE(view->State().g_bBandActive);

    // B is taken by its own line, and the dock names it as the one the keys move.
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(Column(1332) - 2, Middle()));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(Column(1332) - 2, Middle()));
    EXPECT_EQ(cursors->Active(), 'B');

    // Away from both lines a press still starts the zoom band.
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(Column(300), Middle() - 50));
    EXPECT_TRUE(view->State().g_bBandActive);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(Column(300), Middle() - 50));
}

// Cursors taken away while the pointer is over a line, or while a line is held, leave neither the
// pointer of a line nor a hold behind: the next cursors move only when taken again.
TEST_F(CursorCommandsTest, CursorsTakenAwayLeaveNoGripBehind)
{
    toggle->trigger();
    Settle();
    QTest::mouseMove(view, QPoint(Column(666) + 2, Middle()));
    ASSERT_EQ(view->cursor().shape(), Qt::SplitHCursor);
    toggle->trigger();
    Settle();
    EXPECT_FALSE(view->testAttribute(Qt::WA_SetCursor)) << "the pointer of a line stays over a graph without them";

    // Another recording takes them away in the middle of a drag.
    toggle->trigger();
    Settle();
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(Column(666) + 2, Middle()));
    QTest::mouseMove(view, QPoint(Column(700), Middle()));
    Show(QStringLiteral("other.Vibration"), 2000);
    ASSERT_FALSE(view->Model().Cursors());
    EXPECT_FALSE(view->testAttribute(Qt::WA_SetCursor));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(Column(700), Middle()));
    toggle->trigger();
    Settle();
    const CursorPair placed = Pair();
    QTest::mouseMove(view, QPoint(Column(1000), Middle() + 20));
    EXPECT_EQ(Pair(), placed) << "a move without a button dragged a line";
}

TEST_F(CursorCommandsTest, KeysStepTheActiveCursorAndSpaceSwitchesIt)
{
    toggle->trigger();
    Settle();
    QTest::keyClick(view, Qt::Key_Period);
    EXPECT_EQ(Pair(), (CursorPair{667, 1332}));
    QTest::keyClick(view, Qt::Key_Greater, Qt::ShiftModifier);
    EXPECT_EQ(Pair(), (CursorPair{677, 1332}));
    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_EQ(cursors->Active(), 'B');
    QTest::keyClick(view, Qt::Key_Comma);
    EXPECT_EQ(Pair(), (CursorPair{677, 1331}));
    QTest::keyClick(view, Qt::Key_Less, Qt::ShiftModifier);
    EXPECT_EQ(Pair(), (CursorPair{677, 1321}));
    for (int i = 0; i < 80; ++i)
        QTest::keyClick(view, Qt::Key_Period, Qt::ShiftModifier);
    EXPECT_EQ(Pair(), (CursorPair{677, 1999})) << "the last row is as far as a cursor goes";
    EXPECT_EQ(cursors->Panel()->Values()->item(1, 0)->text(), QStringLiteral("2000"));
}

TEST_F(CursorCommandsTest, AnotherRecordingTakesThemAway)
{
    toggle->trigger();
    Settle();
    ASSERT_TRUE(view->Model().Cursors());
    Show(QStringLiteral("other.Vibration"), 500);
    EXPECT_FALSE(view->Model().Cursors());
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_FALSE(cursors->Panel()->isVisible());
    EXPECT_EQ(cursors->Panel()->SpanLabel()->text(), QStringLiteral("No cursors"));
}

TEST_F(CursorCommandsTest, TheSpectrumHidesThemAndAnotherFileOpenedMeanwhileTakesThemAway)
{
    ASSERT_EQ(frame->OpenPath(WriteRecording(dir, QStringLiteral("capture.Vibration"), MakeSpectrumRecording())),
              LoadStatus::Loaded);
    QTest::qWait(2 * CMainFrame::kZoomResetDelayMs);
    Settle();
    toggle->trigger();
    Settle();
    const CursorPair placed = Pair();
    frame->OnCommand(ID_FREQUENCY_GRAPH);
    Settle();
    EXPECT_FALSE(view->Model().Cursors());
    EXPECT_FALSE(toggle->isEnabled());
    EXPECT_EQ(cursors->Panel()->SpanLabel()->text(), QStringLiteral("No cursors"));
    frame->OnCommand(ID_TIME_GRAPH);
    Settle();
    EXPECT_EQ(Pair(), placed);
    EXPECT_NE(cursors->Panel()->SpanLabel()->text(), QStringLiteral("No cursors"));

    // Hidden behind the spectrum while another capture is opened: they do not come back on its rows.
    frame->OnCommand(ID_FREQUENCY_GRAPH);
    Settle();
    Recording other = MakeSpectrumRecording();
    other.m_pSamples[3][0] = 5.0;
    ASSERT_EQ(frame->OpenPath(WriteRecording(dir, QStringLiteral("other.Vibration"), other)), LoadStatus::Loaded);
    Settle();
    if (view->Model().FrequencyMode())
        frame->OnCommand(ID_TIME_GRAPH);
    Settle();
    EXPECT_FALSE(view->Model().Cursors());
    EXPECT_FALSE(cursors->Panel()->isVisible());
}

TEST_F(CursorCommandsTest, TheRowsBetweenTheCursorsExportAsCsvInTheAnalysisUnit)
{
    toggle->trigger();
    Settle();
    view->SetCursors(CursorPair{1500, 200});  // B before A: the rows between are 200..1500
    frame->Analysis()->UnitAction(vibration::Unit::MetresPerSecondSquared)->trigger();
    Settle();
    prompter.savePath = dir.filePath(QStringLiteral("between.csv"));
    frame->Action(ID_EXPORT_CURSOR_RANGE_CSV)->trigger();
    QFile file(prompter.savePath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string expected = exports::BuildRangeCsv(frame->Doc().recording(), view->Companions(), {200, 1500},
                                                        vibration::Unit::MetresPerSecondSquared);
    EXPECT_EQ(file.readAll().toStdString(), expected);
    EXPECT_EQ(expected.substr(0, expected.find('\n')), "No.,Time,X (m/s2),Y (m/s2),Z (m/s2),Vector Sum (m/s2)");

    prompter.savePath = dir.filePath(QStringLiteral("no/such/folder/between.csv"));
    frame->Action(ID_EXPORT_CURSOR_RANGE_CSV)->trigger();
    ASSERT_EQ(prompter.Texts().size(), 1);
    EXPECT_TRUE(prompter.Texts()[0].startsWith(QStringLiteral("Cannot save \"%1\": ").arg(prompter.savePath)));
}

// The sample motion recording: a drop (the logger's free-fall event at 08:35:38), its impact at
// row 26 and the rebound's at row 33, seven seconds on the logger's clock apart.
TEST_F(CursorCommandsTest, TheTimeFromAnImpactToItsReboundInAMotionRecording)
{
    ASSERT_EQ(frame->OpenPath(QStringLiteral(SHAKEMETER_SOURCE_DIR "/samples/motion-events.Vibration")),
              LoadStatus::Loaded);
    // A file opened into a shown graph returns to its whole recording once, 50 ms later.
    QTest::qWait(2 * CMainFrame::kZoomResetDelayMs);
    Settle();
    frame->Analysis()->Statistics()->hide();
    ASSERT_TRUE(view->ZoomOntoRows(25, 40));
    view->repaint();
    toggle->trigger();
    Settle();
    // Dragged onto the two peaks.
    for (const auto& [from, to] : {std::pair{Column(Pair().rowA), Column(26)}, {Column(Pair().rowB), Column(33)}}) {
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(from, Middle()));
        QTest::mouseMove(view, QPoint(to, Middle()));
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(to, Middle()));
    }
    Settle();
    ASSERT_EQ(Pair(), (CursorPair{26, 33}));
    const Recording& recording = frame->Doc().recording();
    const std::int64_t ticks = recording.TickOf(33) - recording.TickOf(26);
    EXPECT_EQ(ticks, 7);
    const CursorPanel* panel = cursors->Panel();
    EXPECT_EQ(panel->SpanLabel()->text(), QStringLiteral("\u0394t = 7.000 s"));
    EXPECT_EQ(panel->Values()->item(0, 1)->text(), QStringLiteral("06/05/26 08:35:41"));
    EXPECT_EQ(panel->Values()->item(1, 1)->text(), QStringLiteral("06/05/26 08:35:48"));
    EXPECT_EQ(panel->Values()->item(0, 5)->text(), QStringLiteral("4.3300"));  // the impact's vector sum
    EXPECT_EQ(panel->RangeLabel()->text(), QStringLiteral("Statistics of the 8 rows from 27 to 34"));
    view->repaint();
    Settle();
    KeepScreenshot(QStringLiteral("cursors.png"), frame->grab().toImage());
}

}  // namespace
