// The comparison a user makes of the two sample drives with a drop, from the first menu command to
// the command line's picture: open one, compare with the other, align them on the drop's impact,
// measure from the impact to the rebound with the two cursors, save the session, open it in a new
// window and draw it with shakemeter-cli.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <string>

#include "MainFrameFixture.h"
#include "ShellTestSupport.h"
#include "analysis/widgets/CursorPanel.h"
#include "graph/core/OverlayPlacement.h"
#include "graph/core/VisibleRows.h"
#include "graph/widgets/AlignComparisonDialog.h"
#include "graph/widgets/CVxView.h"
#include "shell/CommandIds.h"
#include "shell/widgets/AnalysisPanels.h"
#include "shell/widgets/CMainFrame.h"
#include "shell/widgets/CompareCommands.h"
#include "shell/widgets/CursorCommands.h"

using namespace shakemeter;
using namespace shakemeter::test;

namespace {

const QString kSamples = QStringLiteral(SHAKEMETER_SOURCE_DIR "/samples/");

class SampleComparisonTest : public OwnProfileFrameTest {
protected:
    void SetUp() override
    {
        OwnProfileFrameTest::SetUp();
        // The samples beside the session, as in samples/, so the session names them as the sample does.
        for (const char* name : {"motion-events.Vibration", "motion-next-week.Vibration"})
            ASSERT_TRUE(QFile::copy(kSamples + QLatin1String(name), dir.filePath(QLatin1String(name))));
    }

    std::unique_ptr<CMainFrame> NewWindow()
    {
        auto window = std::make_unique<CMainFrame>(env);
        window->resize(1400, 800);
        window->Analysis()->FollowTimer().stop();
        window->show();
        return window;
    }

    static void Settle(CMainFrame& window)
    {
        PaintPastTheFirstZoomReset(*window.GraphView());
        QTest::qWait(2 * CMainFrame::kZoomResetDelayMs);
        window.ApplyEnableTable();
        window.GraphView()->repaint();
        QApplication::processEvents();
    }

    static void Command(CMainFrame& window, const QString& menuTitle, const QString& text)
    {
        for (QAction* top : window.menuBar()->actions()) {
            if (top->text() != menuTitle)
                continue;
            QAction* item = FindAction(top->menu(), text);
            ASSERT_NE(item, nullptr) << text.toStdString();
            ASSERT_TRUE(item->isEnabled()) << text.toStdString();
            item->trigger();
            return;
        }
        FAIL() << menuTitle.toStdString();
    }

    // The keys of the graph pane, as the user presses them with the graph focused.
    static void StepCursorTo(CVxView& view, bool active, std::size_t row)
    {
        for (int presses = 0; presses < 100; ++presses) {
            const auto pair = view.Model().Cursors();
            ASSERT_TRUE(pair);
            const std::size_t at = active ? pair->rowA : pair->rowB;
            if (at == row)
                return;
            QTest::keyClick(&view, at < row ? Qt::Key_Period : Qt::Key_Comma);
        }
        FAIL() << "the cursor did not reach row " << row;
    }

    // What a reopened session must give back: the files, the alignment, the cursors and the rows shown.
    static std::string State(CMainFrame& window)
    {
        const GraphModel& model = window.GraphView()->Model();
        const GraphOverlay* overlay = model.Overlay();
        const auto cursors = model.Cursors();
        const auto visible = VisibleRows(model);
        std::string text = QFileInfo(window.Doc().PathName()).fileName().toStdString();
        if (overlay != nullptr) {
            text += " with " + overlay->comparedName + " by " +
                    std::to_string(static_cast<int>(overlay->alignment.by)) + " " +
                    std::to_string(overlay->alignment.mainEventRow) + "/" +
                    std::to_string(overlay->alignment.overlayEventRow) + " " +
                    std::to_string(overlay->alignment.offsetSeconds);
        }
        if (cursors)
            text += ", cursors " + std::to_string(cursors->rowA) + "-" + std::to_string(cursors->rowB);
        if (visible)
            text += ", rows " + std::to_string(visible->from) + "-" + std::to_string(visible->to);
        return text + (window.GraphView()->State().g_bFullView ? ", full view" : ", zoomed");
    }

    ScopedTimeZone zone{"UTC0"};
};

TEST_F(SampleComparisonTest, CompareAlignOnTheDropMeasureSaveReopenAndRender)
{
    const QString shownPath = dir.filePath(QStringLiteral("motion-events.Vibration"));
    const QString comparedPath = dir.filePath(QStringLiteral("motion-next-week.Vibration"));
    auto first = NewWindow();
    prompter.openPath = shownPath;
    Command(*first, QStringLiteral("&File(F)"), QStringLiteral("&Open..."));
    Settle(*first);
    ASSERT_EQ(first->Doc().recording().RowCount(), 147u);

    prompter.openPath = comparedPath;
    Command(*first, QStringLiteral("&Analysis"), QStringLiteral("Compare &with..."));
    Settle(*first);
    CVxView* view = first->GraphView();
    ASSERT_NE(view->Model().Overlay(), nullptr);
    EXPECT_EQ(view->Model().Overlay()->comparedName, "motion-next-week.Vibration");

    // The drop's impact in each, chosen by its time as the dialog lists the shocks.
    first->Comparison()->SetDialogRunner([](AlignComparisonDialog& dialog) {
        dialog.ByEvent()->setChecked(true);
        dialog.ShownEvents()->setCurrentIndex(
            dialog.ShownEvents()->findText(QStringLiteral("Shock at 06/05/26 08:35:41, 4.33 g")));
        dialog.ComparedEvents()->setCurrentIndex(
            dialog.ComparedEvents()->findText(QStringLiteral("Shock at 13/05/26 08:40:21, 3.97 g")));
        return static_cast<int>(QDialog::Accepted);
    });
    Command(*first, QStringLiteral("&Analysis"), QStringLiteral("&Align Comparison..."));
    Settle(*first);
    ASSERT_EQ(view->Model().Overlay()->alignment, (OverlayAlignment{AlignBy::Event, 26, 18, 0.0}));

    // Zoomed onto the drop, both impacts on one pixel column.
    ASSERT_TRUE(view->ZoomOntoRows(25, 42));
    Settle(*first);
    const auto placed = OverlayPlacement::Of(view->Model());
    ASSERT_TRUE(placed.has_value());
    const GraphState& s = view->State();
    EXPECT_EQ(TruncToInt(placed->X(18)),
              TruncToInt(view->Model().Position(26, 0, s.g_nZoomLevel).x + s.m_nHShift * s.m_dScale));

    KeepScreenshot(QStringLiteral("graph-comparison.png"), view->grab().toImage());

    // Ctrl+T, then the keys: A onto the impact, Space, B onto the rebound.
    first->activateWindow();
    view->setFocus();
    QTest::keyClick(first.get(), Qt::Key_T, Qt::ControlModifier);
    QApplication::processEvents();
    ASSERT_TRUE(view->Model().Cursors());
    StepCursorTo(*view, true, 26);
    QTest::keyClick(view, Qt::Key_Space);
    StepCursorTo(*view, false, 33);
    Settle(*first);
    const CursorPanel* panel = first->Cursors()->Panel();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->SpanLabel()->text(), QStringLiteral("\u0394t = 7.000 s"));
    EXPECT_EQ(panel->Values()->item(0, 1)->text(), QStringLiteral("06/05/26 08:35:41"));
    EXPECT_EQ(panel->Values()->item(1, 1)->text(), QStringLiteral("06/05/26 08:35:48"));

    // Saved beside the recordings, the session is the sample session, byte for byte.
    const QString session = dir.filePath(QStringLiteral("compare.shakeproject"));
    prompter.savePath = session;
    Command(*first, QStringLiteral("&File(F)"), QStringLiteral("Save Sessio&n..."));
    ASSERT_TRUE(prompter.said.empty()) << prompter.Texts().join(QLatin1Char('\n')).toStdString();
    QFile saved(session);
    QFile sample(kSamples + QStringLiteral("compare.shakeproject"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll().toStdString(), sample.readAll().toStdString());
    const std::string before = State(*first);
    EXPECT_EQ(before,
              "motion-events.Vibration with motion-next-week.Vibration by 2 26/18 0.000000, cursors 26-33, "
              "rows 25-42, zoomed");
    first.reset();

    auto second = NewWindow();
    prompter.openPath = session;
    Command(*second, QStringLiteral("&File(F)"), QStringLiteral("Open Sess&ion..."));
    Settle(*second);
    ASSERT_TRUE(prompter.said.empty()) << prompter.Texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(State(*second), before);
    // The cursors come back with their panel, as Two Cursors shows it.
    EXPECT_TRUE(second->Cursors()->Panel()->isVisible());
    EXPECT_EQ(second->Cursors()->Panel()->SpanLabel()->text(), QStringLiteral("\u0394t = 7.000 s"));

    const QImage fromProgram = PaneSizePicture(*second, dir.filePath(QStringLiteral("program.png")));
    ASSERT_FALSE(fromProgram.isNull());
    EXPECT_TRUE(CommandLinePicture(session, dir.filePath(QStringLiteral("cli.png")), fromProgram.size()) ==
                fromProgram);
    KeepScreenshot(QStringLiteral("sample-comparison-window.png"), second->grab().toImage());
}

}  // namespace
