// The Analysis menu's docks in the main window: their items, the statistics of the rows the graph
// shows through zooms, scrolls and the unit switch, the event list choosing the graph's zoom and
// forgetting its choice when the graph shows something else, and the statistics and PSD of two
// recordings the graph compares.

#include <gtest/gtest.h>

#include <algorithm>

#include <sstream>

#include <QPushButton>

#include <QFile>

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "analysis/export/AnalysisCsv.h"
#include "MainFrameFixture.h"
#include "ShellTestSupport.h"
#include "analysis/vibration/PsdComparison.h"
#include "analysis/vibration/RangeStatistics.h"
#include "analysis/vibration/StatisticsComparison.h"
#include "analysis/vibration/StatisticsTable.h"
#include "analysis/widgets/EventsDock.h"
#include "analysis/widgets/PsdWindow.h"
#include "analysis/widgets/StatisticsDock.h"
#include "controls/ProgramProfile.h"
#include "graph/core/VisibleRows.h"
#include "graph/widgets/CVxView.h"
#include "graph/widgets/GraphEventRows.h"
#include "shell/widgets/GraphPictureCommands.h"
#include "recording/test_summary_fixtures.h"
#include "shell/CommandIds.h"
#include "shell/widgets/AnalysisPanels.h"
#include "shell/widgets/CompareCommands.h"

using namespace shakemeter;
using namespace shakemeter::test;

namespace {

// 2000 rows at rest with a fall at rows 500..509 ended by a shock at 511..512, and a lone shock
// at row 1500; the values vary so that every figure of every column differs.
Recording EventfulRecording()
{
    std::vector<SampleRow> rows;
    for (int i = 0; i < 2000; ++i) {
        double x = 0.01 * (i % 13) - 0.05;
        double y = 0.02 * (i % 7);
        double z = 1.0;
        if (i >= 500 && i <= 509)
            z = 0.1, x = y = 0.0;
        if (i == 511 || i == 512)
            z = 3.0;
        if (i == 1500)
            x = 2.5;
        rows.push_back({x, y, z, std::sqrt(x * x + y * y + z * z)});
    }
    return shakemeter::testing::MakeRecording(shakemeter::testing::MarchHeader(), std::move(rows));
}

class AnalysisPanelsTest : public OwnProfileFrameTest {
protected:
    void SetUp() override
    {
        OwnProfileFrameTest::SetUp();
        MakeWideFrame();
        ASSERT_NE(frame, nullptr);
        panels = frame->Analysis();
        ASSERT_NE(panels, nullptr);
        // The docks follow the graph a few times a second by themselves; the tests step them by hand,
        // so that no update of the timer's falls between a test's steps on a slow machine.
        ASSERT_TRUE(panels->FollowTimer().isActive());
        EXPECT_LE(panels->FollowTimer().interval(), 500);
        panels->FollowTimer().stop();
    }

    void ShowRecording()
    {
        frame->show();
        ASSERT_EQ(frame->OpenPath(WriteRecording(dir, QStringLiteral("e.Vibration"), EventfulRecording())),
                  LoadStatus::Loaded);
        PaintPastTheFirstZoomReset(*frame->GraphView());
        QApplication::processEvents();
    }
    void Repaint()
    {
        frame->GraphView()->repaint();
        QApplication::processEvents();
    }
    vibration::RowRange Visible() const { return VisibleRows(frame->GraphView()->Model()).value(); }
    // The dock's cells against the core's table for the same rows.
    void ExpectStatisticsOf(vibration::RowRange rows, vibration::Unit unit)
    {
        const vibration::StatisticsTable expected = vibration::StatisticsTableOf(
            vibration::ComputeRangeStatistics(frame->Doc().recording().m_pSamples.data(), rows), unit);
        const QTableWidget* table = panels->Statistics()->Table();
        for (int line = 0; line < vibration::kStatisticsLines; ++line) {
            for (int c = 0; c < 4; ++c) {
                EXPECT_EQ(table->item(line, c)->text().toStdString(), expected.cells[line][c])
                    << "line " << line << " column " << c;
            }
        }
        EXPECT_TRUE(table->horizontalHeaderItem(0)->text().endsWith(QString::fromStdString("(" + expected.unit + ")")));
        const GraphModel& model = frame->GraphView()->Model();
        EXPECT_EQ(panels->Statistics()->RangeLabel()->text(),
                  QStringLiteral("%1 rows from %2 to %3")
                      .arg(rows.size())
                      .arg(QString::fromStdString(model.SampleTimeText(static_cast<int>(rows.from))).trimmed(),
                           QString::fromStdString(model.SampleTimeText(static_cast<int>(rows.to))).trimmed()));
    }

    AnalysisPanels* panels = nullptr;
};

QStringList MenuTexts(const QMenu* menu)
{
    QStringList lines;
    for (QAction* a : menu->actions())
        lines << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return lines;
}

TEST_F(AnalysisPanelsTest, AnalysisMenuShowsTheDocksAndChoosesTheUnit)
{
    QMenu* analysis = frame->menuBar()->actions()[3]->menu();
    ASSERT_NE(analysis, nullptr);
    const QStringList texts = MenuTexts(analysis);
    for (const char* item : {"&Statistics", "&Events", "Values in &g", "Values in m/s^&2"})
        EXPECT_TRUE(texts.contains(QString::fromLatin1(item))) << item;
    for (QAction* a : analysis->actions()) {
        if (!a->isSeparator() && a->menu() == nullptr) {
            EXPECT_FALSE(a->statusTip().isEmpty()) << a->text().toStdString();
            EXPECT_FALSE(a->toolTip().isEmpty()) << a->text().toStdString();
        }
    }
    // Each item of the menu has a key of its own.
    QList<QChar> keys;
    for (QAction* a : analysis->actions()) {
        const qsizetype amp = a->text().indexOf(QLatin1Char('&'));
        if (a->isSeparator() || amp < 0)
            continue;
        const QChar key = a->text().at(amp + 1).toLower();
        EXPECT_FALSE(keys.contains(key)) << a->text().toStdString();
        keys << key;
    }
    // Hidden at first: the window looks as it always did.
    EXPECT_TRUE(panels->Statistics()->isHidden());
    EXPECT_TRUE(panels->EventList()->isHidden());
    EXPECT_TRUE(panels->UnitAction(vibration::Unit::G)->isChecked());

    frame->show();
    panels->StatisticsAction()->trigger();
    EXPECT_FALSE(panels->Statistics()->isHidden());
    panels->UnitAction(vibration::Unit::MetresPerSecondSquared)->trigger();
    EXPECT_EQ(panels->CurrentUnit(), vibration::Unit::MetresPerSecondSquared);
    const QString profile = env.profilePath;
    EXPECT_EQ(AnalysisUnit(profile), vibration::Unit::MetresPerSecondSquared);

    // The next window starts with the unit and the dock as they were left.
    frame.reset();
    SetUp();
    EXPECT_EQ(panels->CurrentUnit(), vibration::Unit::MetresPerSecondSquared);
    EXPECT_TRUE(panels->UnitAction(vibration::Unit::MetresPerSecondSquared)->isChecked());
    EXPECT_FALSE(panels->Statistics()->isHidden());
    EXPECT_TRUE(panels->EventList()->isHidden());
}

TEST_F(AnalysisPanelsTest, StatisticsFollowZoomScrollAndUnit)
{
    ShowRecording();
    panels->StatisticsAction()->trigger();
    panels->Follow();
    ExpectStatisticsOf({0, 1999}, vibration::Unit::G);

    // A band over the middle of the plot.
    CVxView* view = frame->GraphView();
    const PlotRect plot = view->State().m_rcPlot;
    const int y0 = plot.top + 10;
    const int y1 = plot.bottom - 10;
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(plot.left + plot.width() / 4, y0));
    QTest::mouseMove(view, QPoint(plot.left + plot.width() / 2, y1));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(plot.left + plot.width() / 2, y1));
    Repaint();
    ASSERT_FALSE(view->State().g_bFullView);
    panels->Follow();
    const vibration::RowRange zoomed = Visible();
    EXPECT_GT(zoomed.from, 400u);
    EXPECT_LT(zoomed.to, 1100u);
    ExpectStatisticsOf(zoomed, vibration::Unit::G);

    // A scroll page to the right.
    view->Model().OnHScroll(ScrollCode::PageForward, 0, 0);
    Repaint();
    panels->Follow();
    EXPECT_GT(Visible().from, zoomed.from);
    ExpectStatisticsOf(Visible(), vibration::Unit::G);

    // The PSD window open beside the docks follows the unit at once.
    frame->OnCommand(ID_ANALYSIS_PSD);
    ASSERT_TRUE(frame->Psd()->isVisible());
    EXPECT_EQ(frame->Psd()->Shown().unit, vibration::Unit::G);
    panels->UnitAction(vibration::Unit::MetresPerSecondSquared)->trigger();
    ExpectStatisticsOf(Visible(), vibration::Unit::MetresPerSecondSquared);
    EXPECT_EQ(frame->Psd()->Shown().unit, vibration::Unit::MetresPerSecondSquared);
    frame->Psd()->close();

    view->OnZoomOut();
    Repaint();
    panels->Follow();
    ExpectStatisticsOf({0, 1999}, vibration::Unit::MetresPerSecondSquared);
}

// Another recording may be given the very store the one before was freed from, with the same first
// and last rows (both lying at rest): the panel gives the figures of what is in the store now, whether
// the recording was replaced between two of its steps or while it was closed.
TEST_F(AnalysisPanelsTest, StatisticsAreThoseOfTheRowsNowInTheStore)
{
    ShowRecording();
    panels->StatisticsAction()->trigger();
    panels->Follow();
    ExpectStatisticsOf({0, 1999}, vibration::Unit::G);
    std::vector<SampleRow>& rows = frame->Doc().recording().m_pSamples;
    const auto replaceInnerRows = [&rows](double x) {
        for (std::size_t i = 1; i + 1 < rows.size(); ++i)
            rows[i] = {x, -0.25, 1.5, std::sqrt(x * x + 0.0625 + 2.25)};
    };

    replaceInnerRows(0.5);
    frame->GraphView()->ClearReadout();
    panels->Follow();
    ExpectStatisticsOf({0, 1999}, vibration::Unit::G);

    panels->StatisticsAction()->trigger();
    ASSERT_TRUE(panels->Statistics()->isHidden());
    panels->Follow();
    replaceInnerRows(0.75);
    panels->Follow();
    panels->StatisticsAction()->trigger();
    ASSERT_FALSE(panels->Statistics()->isHidden());
    panels->Follow();
    ExpectStatisticsOf({0, 1999}, vibration::Unit::G);
}

// A motion recording with a long stretch where the logger stood still: a zoom into that stretch
// shows no sample, and the panel says so instead of giving figures of rows that are not shown.
TEST_F(AnalysisPanelsTest, AZoomIntoAMotionRecordingsGapHasNoStatistics)
{
    std::vector<SampleRow> rows;
    std::vector<std::int32_t> ticks;
    for (int i = 0; i < 200; ++i) {
        const double z = 1.0 + 0.01 * (i % 5);
        rows.push_back({0.0, 0.0, z, z});
        ticks.push_back(i < 100 ? i : 900 + i);
    }
    frame->show();
    ASSERT_EQ(frame->OpenPath(
                  WriteRecording(dir, QStringLiteral("still.Vibration"),
                                 shakemeter::testing::MakeRecording(shakemeter::testing::MarchHeader(4), rows, ticks))),
              LoadStatus::Loaded);
    PaintPastTheFirstZoomReset(*frame->GraphView());
    panels->StatisticsAction()->trigger();
    panels->Follow();
    ExpectStatisticsOf({0, 199}, vibration::Unit::G);

    CVxView* view = frame->GraphView();
    const PlotRect plot = view->State().m_rcPlot;
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(plot.left + plot.width() * 2 / 5, plot.top + 10));
    QTest::mouseMove(view, QPoint(plot.left + plot.width() / 2, plot.bottom - 10));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(plot.left + plot.width() / 2, plot.bottom - 10));
    Repaint();
    ASSERT_FALSE(view->State().g_bFullView);
    ASSERT_FALSE(VisibleRows(view->Model()));
    panels->Follow();
    EXPECT_EQ(panels->Statistics()->RangeLabel()->text(), QStringLiteral("No rows in the time span shown"));
    EXPECT_TRUE(panels->Statistics()->Table()->item(0, 0)->text().isEmpty());

    view->OnZoomOut();
    Repaint();
    panels->Follow();
    ExpectStatisticsOf({0, 199}, vibration::Unit::G);
}

TEST_F(AnalysisPanelsTest, ChoosingAnEventZoomsOntoItAndUndoZoomTakesTheChoiceBack)
{
    ShowRecording();
    panels->EventsAction()->trigger();
    panels->Follow();
    QTableWidget* table = panels->EventList()->Table();
    // The fall (500..509), its impact (511..512) and the lone shock (1500).
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->item(0, 0)->text(), "Free fall");
    EXPECT_EQ(table->item(1, 0)->text(), "Shock");
    EXPECT_EQ(table->item(2, 0)->text(), "Shock");
    EXPECT_EQ(table->item(2, 1)->text().toStdString(),
              QString::fromStdString(frame->GraphView()->Model().SampleTimeText(1500)).trimmed().toStdString());

    // Arrow keys choose the lone shock: the graph shows it with a margin.
    CVxView* view = frame->GraphView();
    table->setFocus();
    table->setCurrentCell(1, 0);
    QTest::keyClick(table, Qt::Key_Down);
    Repaint();
    ASSERT_FALSE(view->State().g_bFullView);
    vibration::RowRange rows = Visible();
    EXPECT_LE(rows.from, 1490u);
    EXPECT_GE(rows.from, 1480u);
    EXPECT_GE(rows.to, 1510u);
    EXPECT_LE(rows.to, 1515u);
    panels->Follow();
    EXPECT_EQ(panels->EventList()->ChosenLine(), 2);

    // Undo Zoom: the line no longer names the picture and is let go.
    view->OnZoomOut();
    Repaint();
    panels->Follow();
    EXPECT_EQ(panels->EventList()->ChosenLine(), -1);
    EXPECT_TRUE(view->State().g_bFullView);

    // Enter on a line zooms onto it again, even the line that was current before.
    table->setCurrentCell(0, 0);
    view->OnZoomOut();
    Repaint();
    QTest::keyClick(table, Qt::Key_Return);
    Repaint();
    ASSERT_FALSE(view->State().g_bFullView);
    rows = Visible();
    EXPECT_LE(rows.from, 490u);
    EXPECT_GE(rows.to, 519u);
    EXPECT_LE(rows.to, 525u);
}

TEST_F(AnalysisPanelsTest, LevelsAreKeptAndFindTheEventsAgain)
{
    ShowRecording();
    panels->EventsAction()->trigger();
    panels->Follow();
    ASSERT_EQ(panels->EventList()->Table()->rowCount(), 3);
    // A shock level above the lone shock's 2.7 g leaves the fall and its impact.
    panels->EventList()->ShockLevel()->setValue(2.8);
    EXPECT_EQ(panels->EventList()->Table()->rowCount(), 2);
    panels->EventList()->MinFallRows()->setValue(11);
    EXPECT_EQ(panels->EventList()->Table()->rowCount(), 1);
    // The marks on the graph's time axis name the same events as the list.
    GraphPictureCommands* pictures = frame->GraphPictures();
    pictures->MarksAction()->setChecked(true);
    ASSERT_NE(pictures->ScreenExtras(), nullptr);
    const Recording& shown = frame->Doc().recording();
    EXPECT_EQ(pictures->ScreenExtras()->events.size(), GraphEventRows(shown, panels->EventList()->Options()).size());
    EXPECT_LT(pictures->ScreenExtras()->events.size(), GraphEventRows(shown, vibration::EventOptions{}).size());
    const vibration::EventOptions kept = AnalysisEventOptions(env.profilePath);
    EXPECT_EQ(kept.shockLevel, 2.8);
    EXPECT_EQ(kept.minFallRows, 11u);
    // Levels a hand-edited profile spoils keep their defaults.
    QSettings(env.profilePath, QSettings::IniFormat)
        .setValue(QLatin1String(kProfileFallLevelKey), QStringLiteral("-1"));
    EXPECT_EQ(AnalysisEventOptions(env.profilePath).fallLevel, vibration::EventOptions().fallLevel);
}

// The keyboard reaches the menus with the docks shown: each Alt key of the menu bar opens its menu,
// and each of the event panel's own Alt keys reaches its field.
TEST_F(AnalysisPanelsTest, AltKeysOpenTheMenusWithTheEventPanelShown)
{
    ShowRecording();
    panels->EventsAction()->trigger();
    panels->StatisticsAction()->trigger();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    for (QAction* top : frame->menuBar()->actions()) {
        const QKeySequence mnemonic = QKeySequence::mnemonic(top->text());
        ASSERT_FALSE(mnemonic.isEmpty()) << top->text().toStdString();
        frame->GraphView()->setFocus();
        QTest::keySequence(frame.get(), mnemonic);
        QApplication::processEvents();
        EXPECT_TRUE(top->menu()->isVisible()) << top->text().toStdString() << " did not open";
        EXPECT_FALSE(panels->EventList()->isAncestorOf(QApplication::focusWidget()))
            << top->text().toStdString() << " moved the focus into the event panel";
        top->menu()->hide();
        QApplication::processEvents();
    }
    const EventsDock* events = panels->EventList();
    for (QWidget* field :
         std::initializer_list<QWidget*>{events->ShockLevel(), events->FallLevel(), events->MinFallRows()}) {
        const QList<QLabel*> labels = events->findChildren<QLabel*>();
        const auto label =
            std::find_if(labels.begin(), labels.end(), [field](const QLabel* l) { return l->buddy() == field; });
        ASSERT_NE(label, labels.end());
        frame->GraphView()->setFocus();
        QTest::keySequence(frame.get(), QKeySequence::mnemonic((*label)->text()));
        QApplication::processEvents();
        EXPECT_TRUE(field->hasFocus() || field->isAncestorOf(QApplication::focusWidget()))
            << (*label)->text().toStdString() << " did not reach its field";
    }
}

TEST_F(AnalysisPanelsTest, EventListSavesWhatItShowsAsATable)
{
    EXPECT_FALSE(panels->EventList()->ExportButton()->isEnabled()) << "no list yet";
    ShowRecording();
    panels->EventsAction()->trigger();
    panels->Follow();
    ASSERT_EQ(panels->EventList()->Table()->rowCount(), 3);
    ASSERT_TRUE(panels->EventList()->ExportButton()->isEnabled());

    prompter.savePath = dir.filePath(QStringLiteral("events.csv"));
    panels->EventList()->ExportButton()->click();
    // The core's table of the same events: the list's levels, the recording's logged events.
    const Recording& shown = frame->Doc().recording();
    vibration::Events events = vibration::DetectEvents(vibration::TimeRowsOf(shown), panels->EventList()->Options());
    vibration::LabelEvents(events, shown);
    std::ostringstream expected;
    exports::WriteEventsCsv(expected, events, vibration::Unit::G, shown.m_pFreeFallEvents);
    QFile file(prompter.savePath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string written = file.readAll().toStdString();
    EXPECT_EQ(written, expected.str());
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'),
              1 + 3 + static_cast<long>(shown.m_pFreeFallEvents.size()));
}

// A live reading: the dock follows the new rows, adding them to what it had rather than reading
// the reading again, and shows what the core computes for the same rows.
TEST_F(AnalysisPanelsTest, StatisticsFollowALiveReadingByItsNewRows)
{
    frame->show();
    panels->StatisticsAction()->trigger();
    Recording& document = frame->Doc().recording();
    RecordingView& view = frame->View();
    RecordingHeader header = shakemeter::testing::MarchHeader();
    header.wInterval = 1000;
    const auto row = [](int i) {
        const double x = 0.1 * (i % 5), z = 1.0 + 0.01 * (i % 3);
        return SampleRow{x, 0.0, z, std::sqrt(x * x + z * z)};
    };
    BeginRealTimeRecording(document, view, header, CalendarTime::FromLocal(CalendarFields{2023, 3, 5, 14, 7, 9}),
                           row(0), 1000);
    ASSERT_NE(document.m_bRealTime, 0);
    for (int i = 1; i < 40; ++i)
        AppendRealTimeRow(document, view, row(i));
    frame->SetReading(true);
    Repaint();
    panels->Follow();
    EXPECT_EQ(panels->LastStatisticsWork(), vibration::RangeStatisticsCache::Work::Full);
    for (int i = 40; i < 60; ++i)
        AppendRealTimeRow(document, view, row(i));
    Repaint();
    panels->Follow();
    // The rows the graph shows of the reading (its newest row may still be on its way).
    ASSERT_EQ(Visible().from, 0u);
    ASSERT_GE(Visible().to, 55u);
    EXPECT_EQ(panels->LastStatisticsWork(), vibration::RangeStatisticsCache::Work::Appended);
    ExpectStatisticsOf(Visible(), vibration::Unit::G);
    panels->Follow();  // nothing new: nothing computed
    EXPECT_EQ(panels->LastStatisticsWork(), vibration::RangeStatisticsCache::Work::None);
    frame->SetReading(false);
}

// 1800 rows beside the eventful recording's 2000, at the same interval, each figure different.
Recording ComparedRecording()
{
    std::vector<SampleRow> rows;
    for (int i = 0; i < 1800; ++i) {
        const double x = 0.015 * (i % 11) - 0.04;
        const double y = 0.03 * (i % 5);
        const double z = i == 900 ? 2.0 : 1.02 + 0.01 * (i % 3);
        rows.push_back({x, y, z, std::sqrt(x * x + y * y + z * z)});
    }
    return shakemeter::testing::MakeRecording(shakemeter::testing::MarchHeader(), std::move(rows));
}

vibration::PsdResult CorePsd(const Recording& recording, vibration::RowRange range, std::size_t segment)
{
    const vibration::TimeRows rows = vibration::TimeRowsOf(recording);
    vibration::WelchPsd welch(segment);
    welch.AddSegments(rows.rows, range);
    return welch.Result(1.0 / rows.dt);
}

class ComparisonPanelsTest : public AnalysisPanelsTest {
protected:
    // Analysis > Compare with... the compared recording, then the alignment by first sample and offset.
    void Compare(double offsetSeconds)
    {
        CompareCommands& commands = *frame->Comparison();
        if (!commands.Comparing()) {
            ASSERT_TRUE(commands.CompareWith(WriteRecording(dir, QStringLiteral("c.Vibration"), ComparedRecording())));
            compared = frame->GraphView()->Model().Overlay()->recording.get();
        }
        OverlayAlignment alignment;
        alignment.by = AlignBy::FirstSample;
        alignment.offsetSeconds = offsetSeconds;
        commands.SetAlignment(alignment);
        Repaint();
    }
    vibration::RowRange ComparedVisible() const { return VisibleOverlayRows(frame->GraphView()->Model()).value(); }
    // The dock's three groups against the core's tables for the same rows of either recording.
    void ExpectComparisonOf(vibration::RowRange shown, vibration::RowRange comparedRows, vibration::Unit unit)
    {
        const vibration::ComparisonTable expected = vibration::ComparisonTableOf(
            vibration::CompareStatistics(
                vibration::ComputeRangeStatistics(frame->Doc().recording().m_pSamples.data(), shown),
                vibration::ComputeRangeStatistics(compared->m_pSamples.data(), comparedRows)),
            unit);
        const QTableWidget* table = panels->Statistics()->Table();
        ASSERT_EQ(table->columnCount(), 12);
        const vibration::StatisticsTable* groups[3] = {&expected.shown, &expected.compared, &expected.difference};
        for (int g = 0; g < 3; ++g) {
            for (int line = 0; line < vibration::kStatisticsLines; ++line) {
                for (int c = 0; c < 4; ++c) {
                    EXPECT_EQ(table->item(line, g * 4 + c)->text().toStdString(), groups[g]->cells[line][c])
                        << "group " << g << " line " << line << " column " << c;
                }
            }
        }
        EXPECT_EQ(table->horizontalHeaderItem(8)->text(),
                  QStringLiteral("Difference\nX (%1)").arg(QString::fromStdString(expected.difference.unit)));
        EXPECT_TRUE(panels->Statistics()->RangeLabel()->text().contains(
            QStringLiteral("Compared c.Vibration: %1 rows from row %2 to row %3")
                .arg(comparedRows.size())
                .arg(comparedRows.from + 1)
                .arg(comparedRows.to + 1)))
            << panels->Statistics()->RangeLabel()->text().toStdString();
    }

    const Recording* compared = nullptr;  // as the graph holds it
};

TEST_F(ComparisonPanelsTest, StatisticsShowBothRecordingsAndTheirDifferenceThroughZoomAndAlignment)
{
    ShowRecording();
    panels->StatisticsAction()->trigger();
    panels->Follow();
    ExpectStatisticsOf({0, 1999}, vibration::Unit::G);

    Compare(0.0);
    panels->Follow();
    // The whole shown recording; the compared one, shorter, lies within its time span whole.
    EXPECT_EQ(ComparedVisible().from, 0u);
    EXPECT_EQ(ComparedVisible().to, 1799u);
    ExpectComparisonOf(Visible(), ComparedVisible(), vibration::Unit::G);
    // The three groups do not claim the graph's room: the panel needs the first group's width only.
    const QTableWidget* groups = panels->Statistics()->Table();
    EXPECT_LT(groups->minimumWidth(), groups->horizontalHeader()->length() / 2);
    EXPECT_EQ(groups->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    panels->Follow();  // nothing new: nothing computed
    EXPECT_EQ(panels->LastStatisticsWork(), vibration::RangeStatisticsCache::Work::None);
    EXPECT_EQ(panels->LastComparedWork(), vibration::RangeStatisticsCache::Work::None);

    // A band over the middle of the plot: both recordings' rows of the new span.
    CVxView* view = frame->GraphView();
    const PlotRect plot = view->State().m_rcPlot;
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(plot.left + plot.width() / 4, plot.top + 10));
    QTest::mouseMove(view, QPoint(plot.left + plot.width() / 2, plot.bottom - 10));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(plot.left + plot.width() / 2, plot.bottom - 10));
    Repaint();
    panels->Follow();
    const vibration::RowRange zoomed = ComparedVisible();
    EXPECT_GT(zoomed.from, 400u);
    ExpectComparisonOf(Visible(), zoomed, vibration::Unit::G);

    // The compared recording nudged 10 s (200 rows) later: its rows in the same span are earlier ones.
    Compare(10.0);
    panels->Follow();
    EXPECT_EQ(panels->LastStatisticsWork(), vibration::RangeStatisticsCache::Work::None);
    EXPECT_EQ(panels->LastComparedWork(), vibration::RangeStatisticsCache::Work::Full);
    EXPECT_NEAR(static_cast<double>(ComparedVisible().from), static_cast<double>(zoomed.from) - 200.0, 1.0);
    ExpectComparisonOf(Visible(), ComparedVisible(), vibration::Unit::G);
    panels->UnitAction(vibration::Unit::MetresPerSecondSquared)->trigger();
    ExpectComparisonOf(Visible(), ComparedVisible(), vibration::Unit::MetresPerSecondSquared);

    // Moved past the span: the shown rows alone, the others saying there are none.
    Compare(1000.0);
    panels->Follow();
    EXPECT_FALSE(VisibleOverlayRows(view->Model()).has_value());
    const QTableWidget* table = panels->Statistics()->Table();
    ASSERT_EQ(table->columnCount(), 12);
    EXPECT_EQ(table->item(0, 4)->text(), QStringLiteral("-"));
    EXPECT_EQ(table->item(0, 8)->text(), QStringLiteral("-"));
    EXPECT_TRUE(panels->Statistics()->RangeLabel()->text().endsWith(
        QStringLiteral("Compared c.Vibration: no rows in this time span")));

    // The comparison ends: the dock is as it always was.
    frame->Comparison()->Remove();
    Repaint();
    panels->Follow();
    EXPECT_EQ(table->columnCount(), 4);
    EXPECT_EQ(table->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_GT(table->minimumWidth(), table->horizontalHeader()->length());
    ExpectStatisticsOf(Visible(), vibration::Unit::MetresPerSecondSquared);
}

TEST_F(ComparisonPanelsTest, PsdWindowComparesTheVisibleRowsFollowsTheGraphAndSavesBoth)
{
    ShowRecording();
    Compare(0.0);
    PsdWindow& psd = *frame->Psd();
    frame->OnCommand(ID_ANALYSIS_PSD);
    psd.SetSegment(128);
    psd.SetSource(PsdWindow::Source::VisibleRange);
    const Recording& shown = frame->Doc().recording();
    const auto expectCore = [&] {
        ASSERT_TRUE(psd.Comparison().has_value());
        const vibration::PsdComparison expected =
            vibration::ComparePsd(CorePsd(shown, Visible(), 128), CorePsd(*compared, ComparedVisible(), 128));
        EXPECT_EQ(psd.Comparison()->comparedAtShown, expected.comparedAtShown);
        EXPECT_EQ(psd.Comparison()->ratioDb, expected.ratioDb);
        EXPECT_EQ(psd.Comparison()->compared.axes[0].grms, expected.compared.axes[0].grms);
        EXPECT_EQ(psd.Shown().axes[2].psd, expected.shown.axes[2].psd);
    };
    expectCore();

    // A zoom and then another alignment: the window follows the graph at the docks' next step.
    CVxView* view = frame->GraphView();
    const PlotRect plot = view->State().m_rcPlot;
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(plot.left + plot.width() / 8, plot.top + 10));
    QTest::mouseMove(view, QPoint(plot.left + plot.width() * 3 / 4, plot.bottom - 10));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(plot.left + plot.width() * 3 / 4, plot.bottom - 10));
    Repaint();
    panels->Follow();
    ASSERT_GT(Visible().from, 100u);
    expectCore();
    Compare(-5.0);
    panels->Follow();
    expectCore();

    // Export CSV writes both densities and their ratio, as the export core writes them.
    prompter.savePath = dir.filePath(QStringLiteral("both.csv"));
    psd.ExportButton()->click();
    std::ostringstream expected;
    exports::WritePsdComparisonCsv(expected, *psd.Comparison(), vibration::Unit::G);
    QFile file(prompter.savePath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), expected.str());

    // Without the comparison the window is as it always was: the shown rows' density alone.
    frame->Comparison()->Remove();
    panels->Follow();
    EXPECT_FALSE(psd.Comparison().has_value());
    EXPECT_EQ(psd.Shown().axes[0].psd, CorePsd(shown, Visible(), 128).axes[0].psd);
    psd.close();
}

}  // namespace
