#pragma once
// The docks of the Analysis menu, the statistics of the rows the graph shows and the event list,
// with the menu's items that show them and choose the unit of their values. The docks follow the
// graph on a timer a few times a second: zooms, scrolls and the rows of a reading between two
// ticks cost one update, and a tick with nothing new costs a comparison. While another recording
// is laid over the graph, the statistics show its rows in the same time span and the difference.

#include <QObject>
#include <QTimer>
#include <optional>

#include "analysis/vibration/EventDetector.h"
#include "analysis/vibration/RangeStatisticsCache.h"
#include "graph/core/GraphZoomKey.h"
#include "graph/core/VisibleRows.h"

class QAction;
class QMainWindow;
class QMenu;

namespace shakemeter {

class CVxDoc;
class CVxView;
class EventsDock;
class StatisticsDock;

class AnalysisPanels : public QObject {
    Q_OBJECT
public:
    static constexpr int kFollowPeriodMs = 250;

    // Adds the docks to the window (hidden unless the profile at profilePath shows them) and the
    // items to the menu.
    AnalysisPanels(QMainWindow& window, CVxDoc& doc, CVxView& view, QMenu& menu, const QString& profilePath);

    StatisticsDock* Statistics() const { return m_statistics; }
    EventsDock* EventList() const { return m_events; }
    QAction* StatisticsAction() const { return m_statisticsAction; }
    QAction* EventsAction() const { return m_eventsAction; }
    QAction* UnitAction(vibration::Unit unit) const;
    vibration::Unit CurrentUnit() const { return m_unit; }
    // The events the list shows (found with the dock's levels in the shown recording).
    const vibration::Events& ShownEvents() const { return m_shownEvents; }
    // What the last follow-up of the statistics had to compute (of the shown recording's rows and
    // of the compared recording's).
    vibration::RangeStatisticsCache::Work LastStatisticsWork() const { return m_cache.lastWork(); }
    vibration::RangeStatisticsCache::Work LastComparedWork() const { return m_comparedCache.lastWork(); }
    // The timer that follows the graph a few times a second (tests step it by hand).
    QTimer& FollowTimer() { return m_timer; }

    // The follow-up of a timer tick, now.
    void Follow();

signals:
    // The unit chosen for the analysis windows changed (and is kept in the profile).
    void unitChanged();
    // While the graph compares two recordings, the rows it shows of either changed (a zoom, a
    // scroll, another alignment), or the comparison began or ended.
    void comparedSpanChanged();
    // The event list's levels changed (and are kept in the profile).
    void eventOptionsChanged(const vibration::EventOptions& options);

private:
    void SetUnit(vibration::Unit unit);
    void FollowStatistics();
    // The statistics of both recordings while the graph compares them; true when the dock shows them.
    bool FollowComparison(const vibration::RangeStatistics& shown, vibration::RowRange range);
    void FollowComparedSpan();
    void FollowEvents();
    void ShowEvent(int line, std::size_t first, std::size_t last);

    CVxDoc& m_doc;
    CVxView& m_view;
    QString m_profilePath;
    StatisticsDock* m_statistics = nullptr;
    EventsDock* m_events = nullptr;
    QAction* m_statisticsAction = nullptr;
    QAction* m_eventsAction = nullptr;
    QAction* m_unitG = nullptr;
    QAction* m_unitMetric = nullptr;
    QTimer m_timer;
    vibration::Unit m_unit = vibration::Unit::G;

    vibration::RangeStatisticsCache m_cache;
    bool m_statisticsShown = false;  // the dock shows the cache's range in m_unit
    // The rows of both recordings that the graph shows while it compares them.
    struct ComparedSpan {
        const Recording* recording = nullptr;  // the compared one
        std::optional<vibration::RowRange> shownRows;
        std::optional<vibration::RowRange> comparedRows;
        bool operator==(const ComparedSpan&) const = default;
    };
    // The span of the graph now; none without a comparison.
    std::optional<ComparedSpan> SpanNow() const;

    vibration::RangeStatisticsCache m_comparedCache;
    std::optional<ComparedSpan> m_comparedShown;  // none: the dock shows the shown recording alone
    std::optional<ComparedSpan> m_followedSpan;   // as comparedSpanChanged last told
    bool m_eventsDirty = true;
    // The recording the list was found in: where its rows are, how many, and its header (a later
    // recording may take the place of an earlier one).
    const SampleRow* m_eventRows = nullptr;
    std::size_t m_eventCount = 0;
    RecordingHeader m_eventHeader{};
    vibration::Events m_shownEvents;
    std::optional<GraphZoomKey> m_eventZoom;  // the graph as the chosen event's zoom left it
};

}  // namespace shakemeter
