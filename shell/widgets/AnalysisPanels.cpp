#include "shell/widgets/AnalysisPanels.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QSettings>

#include "analysis/vibration/EventTable.h"
#include "analysis/vibration/StatisticsComparison.h"
#include "analysis/vibration/StatisticsTable.h"
#include "analysis/widgets/EventsDock.h"
#include "analysis/widgets/StatisticsDock.h"
#include "controls/ProgramProfile.h"
#include "graph/core/CursorPlacement.h"
#include "graph/core/GraphOverlay.h"
#include "graph/widgets/CVxView.h"
#include "shell/widgets/CVxDoc.h"

namespace shakemeter {

namespace {

constexpr const char* kStatisticsShownKey = "Analysis/StatisticsShown";
constexpr const char* kEventsShownKey = "Analysis/EventsShown";

QString RowLabel(const GraphModel& model, std::size_t row)
{
    return QString::fromStdString(model.SampleTimeText(static_cast<int>(row))).trimmed();
}

}  // namespace

AnalysisPanels::AnalysisPanels(QMainWindow& window, CVxDoc& doc, CVxView& view, QMenu& menu, const QString& profilePath)
    : QObject(&window), m_doc(doc), m_view(view), m_profilePath(profilePath)
{
    m_unit = AnalysisUnit(profilePath);
    m_statistics = new StatisticsDock(&window);
    m_events = new EventsDock(&window);
    m_events->SetOptions(AnalysisEventOptions(profilePath));
    const std::unique_ptr<QSettings> profile = OpenProgramProfile(profilePath);
    // The statistics beside the graph, the event table's wide lines below it.
    window.addDockWidget(Qt::RightDockWidgetArea, m_statistics);
    window.addDockWidget(Qt::BottomDockWidgetArea, m_events);
    for (auto [dock, key] : {std::pair<QDockWidget*, const char*>{m_statistics, kStatisticsShownKey},
                             std::pair<QDockWidget*, const char*>{m_events, kEventsShownKey}})
        dock->setVisible(profile->value(QLatin1String(key), false).toBool());

    m_statisticsAction = m_statistics->toggleViewAction();
    m_statisticsAction->setText(QStringLiteral("&Statistics"));
    m_statisticsAction->setStatusTip(QStringLiteral("Show or hide the statistics of the rows the graph shows"));
    m_statisticsAction->setToolTip(QStringLiteral("Statistics"));
    m_eventsAction = m_events->toggleViewAction();
    m_eventsAction->setText(QStringLiteral("&Events"));
    m_eventsAction->setStatusTip(QStringLiteral("Show or hide the list of shocks and free falls"));
    m_eventsAction->setToolTip(QStringLiteral("Events"));
    if (!menu.isEmpty())
        menu.addSeparator();
    menu.addAction(m_statisticsAction);
    menu.addAction(m_eventsAction);
    menu.addSeparator();

    auto* units = new QActionGroup(this);
    m_unitG = new QAction(QStringLiteral("Values in &g"), units);
    m_unitG->setStatusTip(QStringLiteral("Show the analysis values in g"));
    m_unitG->setToolTip(QStringLiteral("Values in g"));
    m_unitMetric = new QAction(QStringLiteral("Values in m/s^&2"), units);
    m_unitMetric->setStatusTip(QStringLiteral("Show the analysis values in metres per second squared"));
    m_unitMetric->setToolTip(QStringLiteral("Values in m/s^2"));
    for (QAction* action : {m_unitG, m_unitMetric}) {
        action->setCheckable(true);
        menu.addAction(action);
    }
    UnitAction(m_unit)->setChecked(true);
    connect(m_unitG, &QAction::triggered, this, [this] { SetUnit(vibration::Unit::G); });
    connect(m_unitMetric, &QAction::triggered, this, [this] { SetUnit(vibration::Unit::MetresPerSecondSquared); });

    for (auto [dock, key] : {std::pair<QDockWidget*, const char*>{m_statistics, kStatisticsShownKey},
                             std::pair<QDockWidget*, const char*>{m_events, kEventsShownKey}}) {
        // What the user shows or closes is kept; the docks going with their window are not.
        connect(dock->toggleViewAction(), &QAction::toggled, this, [this, dock = dock, key = key](bool shown) {
            const QWidget* window = dock->parentWidget();
            if (!shown && (window == nullptr || !window->isVisible()))
                return;
            OpenProgramProfile(m_profilePath)->setValue(QLatin1String(key), shown);
            if (shown)
                Follow();
        });
    }
    connect(m_events, &EventsDock::optionsChanged, this, [this] {
        SetAnalysisEventOptions(m_events->Options(), m_profilePath);
        m_eventsDirty = true;
        FollowEvents();
        emit eventOptionsChanged(m_events->Options());
    });
    connect(m_events, &EventsDock::eventChosen, this,
            [this](int line, qulonglong first, qulonglong last) { ShowEvent(line, first, last); });

    // Another recording may be given the store of the one before, with the same rows at its ends:
    // figures kept from before would pass for the new rows.
    connect(&m_view, &CVxView::readoutCleared, this, [this] {
        m_cache.Clear();
        m_comparedCache.Clear();
    });

    m_timer.setInterval(kFollowPeriodMs);
    connect(&m_timer, &QTimer::timeout, this, &AnalysisPanels::Follow);
    m_timer.start();
}

QAction* AnalysisPanels::UnitAction(vibration::Unit unit) const
{
    return unit == vibration::Unit::G ? m_unitG : m_unitMetric;
}

void AnalysisPanels::SetUnit(vibration::Unit unit)
{
    UnitAction(unit)->setChecked(true);
    if (unit == m_unit)
        return;
    m_unit = unit;
    SetAnalysisUnit(unit, m_profilePath);
    m_statisticsShown = false;
    m_eventsDirty = true;
    Follow();
    emit unitChanged();
}

void AnalysisPanels::Follow()
{
    if (!m_statistics->isHidden()) {
        FollowStatistics();
    } else {
        // Recordings replaced while nobody looks free their stores, and the next may be given the
        // same one: statistics kept from then would pass for the new rows.
        m_cache.Clear();
        m_comparedCache.Clear();
    }
    if (!m_events->isHidden())
        FollowEvents();
    FollowComparedSpan();
}

void AnalysisPanels::FollowStatistics()
{
    const Recording& recording = m_doc.recording();
    const vibration::TimeRows rows = vibration::TimeRowsOf(recording);
    const GraphModel& model = m_view.Model();
    const std::optional<vibration::RowRange> visible = VisibleRows(model);
    // A zoom into the stretch of a motion recording where the logger stood still shows no sample.
    const bool noRowsShown = !visible && !model.state().g_bFullView && ShownSampleRows(model).has_value();
    if (rows.count == 0 || m_view.DisplayMode() == 0 || noRowsShown) {
        m_cache.Clear();
        m_comparedCache.Clear();
        m_statisticsShown = false;
        m_comparedShown.reset();
        m_statistics->Clear(noRowsShown ? QStringLiteral("No rows in the time span shown")
                                        : QStringLiteral("No recording shown"));
        return;
    }
    // The spectrum graph shows no rows: its statistics are those of the whole recording, as are
    // those of a graph not drawn yet.
    const vibration::RowRange range = visible.value_or(vibration::RowRange{0, rows.count - 1});
    const vibration::RangeStatistics& statistics = m_cache.Update(rows, range, recording.m_bRealTime != 0);
    if (FollowComparison(statistics, range))
        return;
    if (m_cache.lastWork() == vibration::RangeStatisticsCache::Work::None && m_statisticsShown && !m_comparedShown)
        return;
    m_statistics->Show(vibration::StatisticsTableOf(statistics, m_unit), RowLabel(model, range.from),
                       RowLabel(model, range.to));
    m_statisticsShown = true;
    m_comparedShown.reset();
}

std::optional<AnalysisPanels::ComparedSpan> AnalysisPanels::SpanNow() const
{
    const GraphModel& model = m_view.Model();
    const GraphOverlay* overlay = model.Overlay();
    if (overlay == nullptr)
        return std::nullopt;
    return ComparedSpan{overlay->recording.get(), VisibleRows(model), VisibleOverlayRows(model)};
}

void AnalysisPanels::FollowComparedSpan()
{
    const std::optional<ComparedSpan> span = SpanNow();
    if (span == m_followedSpan)
        return;
    m_followedSpan = span;
    emit comparedSpanChanged();
}

bool AnalysisPanels::FollowComparison(const vibration::RangeStatistics& shown, vibration::RowRange range)
{
    std::optional<ComparedSpan> span = SpanNow();
    if (!span) {
        m_comparedCache.Clear();
        return false;
    }
    const GraphModel& model = m_view.Model();
    const GraphOverlay& overlay = *model.Overlay();
    const vibration::TimeRows rows = vibration::TimeRowsOf(*overlay.recording);
    // Never past the compared recording's time rows, whatever the graph last painted.
    std::optional<vibration::RowRange>& compared = span->comparedRows;
    if (compared && (rows.count == 0 || compared->from >= rows.count))
        compared.reset();
    if (compared)
        compared->to = std::min(compared->to, rows.count - 1);
    std::optional<vibration::RangeStatistics> comparedStatistics;
    if (compared)
        comparedStatistics = m_comparedCache.Update(rows, *compared, false);
    else
        m_comparedCache.Clear();
    const bool unchanged = m_statisticsShown && m_comparedShown == span &&
                           m_cache.lastWork() == vibration::RangeStatisticsCache::Work::None &&
                           (!compared || m_comparedCache.lastWork() == vibration::RangeStatisticsCache::Work::None);
    if (unchanged)
        return true;
    StatisticsDock::ComparisonLabels labels;
    labels.shownName = QString::fromStdString(overlay.shownName);
    labels.shownFrom = RowLabel(model, range.from);
    labels.shownTo = RowLabel(model, range.to);
    labels.comparedName = QString::fromStdString(overlay.comparedName);
    if (compared) {
        labels.comparedFrom = QStringLiteral("row %1").arg(compared->from + 1);
        labels.comparedTo = QStringLiteral("row %1").arg(compared->to + 1);
    }
    m_statistics->ShowComparison(
        vibration::ComparisonTableOf(vibration::CompareStatistics(shown, comparedStatistics), m_unit), labels);
    m_statisticsShown = true;
    m_comparedShown = span;
    return true;
}

void AnalysisPanels::FollowEvents()
{
    const Recording& recording = m_doc.recording();
    const vibration::TimeRows rows = vibration::TimeRowsOf(recording);
    if (m_eventsDirty || rows.rows != m_eventRows || rows.count != m_eventCount ||
        !(recording.m_header == m_eventHeader)) {
        m_eventsDirty = false;
        m_eventRows = rows.rows;
        m_eventCount = rows.count;
        m_eventHeader = recording.m_header;
        m_eventZoom.reset();
        m_shownEvents = vibration::DetectEvents(rows, m_events->Options());
        vibration::LabelEvents(m_shownEvents, recording);
        m_events->ShowLines(vibration::EventColumnTitles(m_unit),
                            vibration::EventLinesOf(m_shownEvents, recording.m_pFreeFallEvents, m_unit));
        return;
    }
    // A zoom, scroll or Undo Zoom since the event was shown: the line no longer names the picture.
    if (m_eventZoom && !(ZoomKeyOf(m_view.Model()) == *m_eventZoom)) {
        m_eventZoom.reset();
        m_events->ForgetChoice();
    }
}

void AnalysisPanels::ShowEvent(int line, std::size_t first, std::size_t last)
{
    Q_UNUSED(line);
    const vibration::TimeRows rows = vibration::TimeRowsOf(m_doc.recording());
    if (rows.count == 0 || m_view.DisplayMode() == 0 || m_view.Model().FrequencyMode())
        return;
    const vibration::RowRange zoom = vibration::EventZoomRows({first, last}, rows.count);
    if (m_view.ZoomOntoRows(static_cast<int>(zoom.from), static_cast<int>(zoom.to)))
        m_eventZoom = ZoomKeyOf(m_view.Model());
    else
        m_eventZoom.reset();
}

}  // namespace shakemeter
