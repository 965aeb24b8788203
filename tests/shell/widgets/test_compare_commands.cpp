// Analysis > "Compare with...", "Align Comparison...", the nudge keys and "Remove Comparison" in
// the main window, driven as a user drives them on the sample recordings.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <cmath>
#include <cstdlib>

#include "MainFrameFixture.h"
#include "ShellTestSupport.h"
#include "graph/core/OverlayPlacement.h"
#include "graph/core/VisibleRows.h"
#include "graph/widgets/AlignComparisonDialog.h"
#include "graph/widgets/CVxView.h"
#include "logger/FakeDeviceLibrary.h"
#include "recording/RecordingFile.h"
#include "shell/CommandIds.h"
#include "shell/widgets/CMainFrame.h"
#include "shell/widgets/CompareCommands.h"

using namespace shakemeter;
using namespace shakemeter::test;

namespace {

const QString kLogged = QStringLiteral(SHAKEMETER_SOURCE_DIR "/samples/logged-normal.Vibration");
const QString kMotion = QStringLiteral(SHAKEMETER_SOURCE_DIR "/samples/motion-events.Vibration");
const QString kRealTime = QStringLiteral(SHAKEMETER_SOURCE_DIR "/samples/realtime.Vibration");
const QString kSpectrum = QStringLiteral(SHAKEMETER_SOURCE_DIR "/samples/spectrum.Vibration");

class CompareCommandsTest : public OwnProfileFrameTest {
protected:
    std::unique_ptr<CMainFrame> Open(const QString& path)
    {
        auto frame = std::make_unique<CMainFrame>(env);
        EXPECT_EQ(frame->OpenPath(path), LoadStatus::Loaded);
        frame->Doc().SetPathName(path);
        frame->resize(1200, 800);
        frame->show();
        Settle(*frame);
        return frame;
    }

    static void Settle(CMainFrame& frame)
    {
        PaintPastTheFirstZoomReset(*frame.GraphView());
        frame.ApplyEnableTable();
        QApplication::processEvents();
    }

    static QMenu* Analysis(CMainFrame& frame) { return frame.menuBar()->actions()[3]->menu(); }

    // "Compare with..." from the menu, the file dialog answering `path`.
    void CompareFromMenu(CMainFrame& frame, const QString& path)
    {
        prompter.openPath = path;
        QAction* compare = FindAction(Analysis(frame), QStringLiteral("Compare &with..."));
        ASSERT_NE(compare, nullptr);
        ASSERT_TRUE(compare->isEnabled());
        compare->trigger();
        Settle(frame);
    }

    ScopedTimeZone zone{"UTC0"};
};

// The commands stand after the Analysis menu's items; comparing draws the second recording with
// its legend, and removing it gives back the very picture of the shown recording alone.
TEST_F(CompareCommandsTest, CompareWithDrawsTheSecondRecordingAndRemoveGivesThePictureBack)
{
    auto frame = Open(kLogged);
    QMenu* analysis = Analysis(*frame);
    const QList<QAction*> items = analysis->actions();
    ASSERT_GE(items.size(), 5);
    EXPECT_EQ(items[items.size() - 5]->text(), QStringLiteral("Compare &with..."));
    EXPECT_EQ(items.back()->text(), QStringLiteral("Remo&ve Comparison"));
    CompareCommands& compare = *frame->Comparison();
    EXPECT_FALSE(compare.Action(ID_ALIGN_COMPARISON)->isEnabled());
    EXPECT_FALSE(compare.Action(ID_REMOVE_COMPARISON)->isEnabled());
    const QImage alone = frame->GraphView()->ComposedImage().copy();

    CompareFromMenu(*frame, kRealTime);
    const GraphOverlay* overlay = frame->GraphView()->Model().Overlay();
    ASSERT_NE(overlay, nullptr);
    EXPECT_EQ(overlay->shownName, "logged-normal.Vibration");
    EXPECT_EQ(overlay->comparedName, "realtime.Vibration");
    EXPECT_EQ(QString::fromStdString(overlay->comparedPath), QFileInfo(kRealTime).absoluteFilePath());
    EXPECT_EQ(overlay->alignment, OverlayAlignment{});
    EXPECT_EQ(overlay->recording->RowCount(), 120u);
    EXPECT_TRUE(compare.Action(ID_ALIGN_COMPARISON)->isEnabled());
    EXPECT_TRUE(compare.Action(ID_REMOVE_COMPARISON)->isEnabled());
    EXPECT_EQ(frame->Doc().recording().RowCount(), 2000u);
    // By clock the real-time recording lies weeks after the logged one: nothing of it is on the
    // plot, but the legend names both files.
    EXPECT_FALSE(VisibleOverlayRows(frame->GraphView()->Model()).has_value());
    EXPECT_NE(frame->GraphView()->ComposedImage(), alone);

    // By first sample both start at the plot's left edge.
    compare.SetAlignment({AlignBy::FirstSample});
    Settle(*frame);
    const auto rows = VisibleOverlayRows(frame->GraphView()->Model());
    ASSERT_TRUE(rows.has_value());
    EXPECT_EQ(rows->from, 0u);
    EXPECT_EQ(rows->to, 100u);  // 100 s of it in the 99.95 s shown, and one on the last column

    compare.Action(ID_REMOVE_COMPARISON)->trigger();
    Settle(*frame);
    EXPECT_EQ(frame->GraphView()->Model().Overlay(), nullptr);
    EXPECT_EQ(frame->GraphView()->ComposedImage(), alone);
    EXPECT_FALSE(compare.Action(ID_REMOVE_COMPARISON)->isEnabled());

    CompareFromMenu(*frame, kRealTime);
    compare.SetAlignment({AlignBy::FirstSample});
    Settle(*frame);
    // The read-out under the mouse names the compared row and its values at the same time: at
    // 9.95 s, row 200 of the shown recording and row 11 at 10 s of the compared one.
    CVxView* view = frame->GraphView();
    const GraphState& s = view->State();
    const int x = TruncToInt(view->Model().Position(199, 0, s.g_nZoomLevel).x);
    QTest::mouseMove(view, QPoint(x, (s.m_rcPlot.top + s.m_rcPlot.bottom) / 2));
    // (Rows 0.4 pixels apart: the pointer picks one of the two or three on its column.)
    const QRegularExpression line(
        QStringLiteral(R"(^Data Point No\.:(\d+)/(\d+)    Time: 21/04/26 10:15:(\d\d \d+ms|\d\d) X:\S+/\S+ )"));
    const QRegularExpressionMatch match = line.match(view->ReadoutText());
    ASSERT_TRUE(match.hasMatch()) << view->ReadoutText().toStdString();
    // 20 rows a second against one: the compared row nearest in time.
    const int shownRow = match.captured(1).toInt() - 1;
    EXPECT_EQ(match.captured(2).toInt() - 1, static_cast<int>(std::lround(shownRow * 0.05)));
    KeepScreenshot(QStringLiteral("graph-comparison-readout.png"), view->grab().toImage());
}

// A file that cannot be compared is named with the reason; the shown recording stays, and so does
// a comparison already made.
TEST_F(CompareCommandsTest, AFileThatCannotBeReadIsToldAndChangesNothing)
{
    auto frame = Open(kLogged);
    CompareFromMenu(*frame, kMotion);
    ASSERT_NE(frame->GraphView()->Model().Overlay(), nullptr);

    const QString foreign =
        WriteBytes(dir, QStringLiteral("notes.Vibration"), QByteArray("shopping list\n").repeated(40));
    CompareFromMenu(*frame, foreign);
    const QString missing = dir.filePath(QStringLiteral("gone.Vibration"));
    CompareFromMenu(*frame, missing);
    // A capture of one row shows no time-domain row (the first half of one).
    Recording empty = MakeLoggedRecording(1);
    empty.m_header.wInterval = 0;
    const QString noRows = WriteRecording(dir, QStringLiteral("empty.Vibration"), empty);
    CompareFromMenu(*frame, noRows);

    ASSERT_EQ(prompter.said.size(), 3u);
    EXPECT_EQ(prompter.said[0].text.toStdString(),
              QStringLiteral("Cannot compare with \"%1\": it is not a recording file.")
                  .arg(QDir::toNativeSeparators(foreign))
                  .toStdString());
    EXPECT_TRUE(prompter.said[1].text.startsWith(
        QStringLiteral("Cannot compare with \"%1\": ").arg(QDir::toNativeSeparators(missing))));
    EXPECT_EQ(prompter.said[2].text.toStdString(), QStringLiteral("Cannot compare with \"%1\": it holds no samples.")
                                                       .arg(QDir::toNativeSeparators(noRows))
                                                       .toStdString());
    EXPECT_EQ(frame->Doc().recording().RowCount(), 2000u);
    ASSERT_NE(frame->GraphView()->Model().Overlay(), nullptr);
    EXPECT_EQ(frame->GraphView()->Model().Overlay()->comparedName, "motion-events.Vibration");

    // A cancelled file dialog does nothing at all.
    CompareFromMenu(*frame, QString());
    EXPECT_EQ(prompter.said.size(), 3u);
}

// A new shown recording ends the comparison; the spectrum has none, and a reading cannot start one.
TEST_F(CompareCommandsTest, ANewRecordingEndsTheComparisonAndTheSpectrumHasNone)
{
    auto frame = Open(kSpectrum);
    CompareFromMenu(*frame, kLogged);
    ASSERT_NE(frame->GraphView()->Model().Overlay(), nullptr);

    frame->RunCommand(ID_FREQUENCY_GRAPH);
    Settle(*frame);
    CompareCommands& compare = *frame->Comparison();
    EXPECT_FALSE(compare.Action(ID_COMPARE_WITH)->isEnabled());
    EXPECT_FALSE(compare.Action(ID_ALIGN_COMPARISON)->isEnabled());
    EXPECT_TRUE(compare.Action(ID_REMOVE_COMPARISON)->isEnabled());
    frame->RunCommand(ID_TIME_GRAPH);
    Settle(*frame);
    EXPECT_TRUE(compare.Action(ID_COMPARE_WITH)->isEnabled());

    ASSERT_EQ(frame->OpenPath(kMotion), LoadStatus::Loaded);
    Settle(*frame);
    EXPECT_EQ(frame->GraphView()->Model().Overlay(), nullptr);

    // Rows a reading or a download puts in place of the compared-over ones end it too.
    CompareFromMenu(*frame, kLogged);
    ASSERT_NE(frame->GraphView()->Model().Overlay(), nullptr);
    Recording replaced = MakeLoggedRecording(50);
    InstallCompleteRecording(frame->GraphView()->Document(), frame->GraphView()->MutableCompanions(),
                             std::move(replaced));
    frame->ApplyEnableTable();
    EXPECT_EQ(frame->GraphView()->Model().Overlay(), nullptr);

    CompareFromMenu(*frame, kLogged);
    ASSERT_NE(frame->GraphView()->Model().Overlay(), nullptr);
    frame->SetReading(true);
    EXPECT_EQ(frame->GraphView()->Model().Overlay(), nullptr);
    EXPECT_FALSE(compare.Action(ID_COMPARE_WITH)->isEnabled());
    frame->SetReading(false);
}

// Aligned on the impact of a drop in each, the two impacts stand on one pixel column; the keys move the compared
// traces a sample interval at a time.
TEST_F(CompareCommandsTest, AlignedOnAnEventOfEachAndNudgedByKeys)
{
    // The same trip a week later and 5 minutes into the logging, the shocks a little softer.
    std::string error;
    RecordingFileResult read = ReadRecordingFile(kMotion.toStdString());
    ASSERT_EQ(read.error, RecordingFileError::None);
    Recording later = std::move(read.recording);
    later.m_header.byDay = static_cast<std::uint8_t>(later.m_header.byDay + 7);
    for (std::int32_t& tick : later.m_pSampleTicks)
        tick += 300;
    for (SampleRow& row : later.m_pSamples)
        for (double& value : row)
            value *= 0.95;
    const QString laterPath = WriteRecording(dir, QStringLiteral("motion-next-week.Vibration"), later);

    auto frame = Open(kMotion);
    CompareFromMenu(*frame, laterPath);
    CompareCommands& compare = *frame->Comparison();
    int offered = 0;
    OverlayAlignment chosen;
    compare.SetDialogRunner([&](AlignComparisonDialog& dialog) {
        offered = dialog.ShownEvents()->count();
        EXPECT_TRUE(dialog.ByClock()->isChecked());
        EXPECT_FALSE(dialog.ShownEvents()->isEnabled());
        dialog.ByEvent()->setChecked(true);
        EXPECT_TRUE(dialog.ShownEvents()->isEnabled());
        // The impacts of two drops: the logger's falls at 08:35:38 here and 09:17:53 (+5 min) there.
        dialog.ShownEvents()->setCurrentIndex(2);     // the shock peaking at row 26
        dialog.ComparedEvents()->setCurrentIndex(6);  // the shock peaking at row 84 of the other
        chosen = dialog.Alignment();
        KeepScreenshot(QStringLiteral("align-comparison-dialog.png"), dialog.grab().toImage());
        return static_cast<int>(QDialog::Accepted);
    });
    compare.Action(ID_ALIGN_COMPARISON)->trigger();
    Settle(*frame);
    EXPECT_EQ(offered, 12);
    const GraphOverlay* overlay = frame->GraphView()->Model().Overlay();
    ASSERT_NE(overlay, nullptr);
    EXPECT_EQ(chosen, (OverlayAlignment{AlignBy::Event, 26, 84, 0.0}));
    EXPECT_EQ(overlay->alignment, chosen);

    const GraphModel& model = frame->GraphView()->Model();
    const auto columnOfShown = [&](int row) {
        const GraphState& s = model.state();
        return TruncToInt(model.Position(row, 0, s.g_nZoomLevel).x + s.m_nHShift * s.m_dScale);
    };
    auto placed = OverlayPlacement::Of(model);
    ASSERT_TRUE(placed.has_value());
    EXPECT_EQ(TruncToInt(placed->X(84)), columnOfShown(26));

    // Zoomed in around the drop, still one column.
    ASSERT_TRUE(frame->GraphView()->ZoomOntoRows(25, 33));
    Settle(*frame);
    placed = OverlayPlacement::Of(model);
    ASSERT_TRUE(placed.has_value());
    EXPECT_EQ(TruncToInt(placed->X(84)), columnOfShown(26));

    // Alt+Right one second later, Alt+Shift+Left ten earlier.
    frame->activateWindow();
    QTest::keyClick(frame.get(), Qt::Key_Right, Qt::AltModifier);
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(model.Overlay()->alignment.offsetSeconds, 1.0);
    QTest::keyClick(frame.get(), Qt::Key_Left, Qt::AltModifier | Qt::ShiftModifier);
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(model.Overlay()->alignment.offsetSeconds, -9.0);
    EXPECT_EQ(model.Overlay()->alignment.by, AlignBy::Event);
}

}  // namespace
