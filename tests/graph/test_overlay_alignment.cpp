// Where a compared recording lands on the shown recording's time axis: the shift of each way of
// aligning, the rows of the compared recording that fall on the plot, and the columns they get.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "GraphFixture.h"
#include "graph/core/OverlayEvents.h"
#include "graph/core/OverlayPlacement.h"
#include "graph/core/VisibleRows.h"

namespace shakemeter {
namespace {

using testing::GraphFixture;
using testing::HeaderAt;
using testing::MakeRecording;
using testing::ScopedTimeZone;

std::vector<std::int32_t> TicksEvery(int count, int step, int first = 0)
{
    std::vector<std::int32_t> ticks;
    for (int i = 0; i < count; ++i)
        ticks.push_back(first + i * step);
    return ticks;
}

TEST(OverlayAlignment, ClockShiftIsTheDifferenceOfTheStartsOnTheWallClock)
{
    ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    const Recording shown = MakeRecording(HeaderAt(2023, 3, 25, 23, 59, 50, 200), testing::FlatRows(10));
    const Recording later = MakeRecording(HeaderAt(2023, 3, 26, 0, 1, 3, 40), testing::FlatRows(10));
    OverlayAlignment clock;
    // Across midnight, and at a different sampling interval: 73 s later.
    EXPECT_DOUBLE_EQ(OverlayShiftSeconds(shown, later, clock), 73.0);
    EXPECT_DOUBLE_EQ(OverlayShiftSeconds(later, shown, clock), -73.0);

    // 01:30 and 03:30 on the night the clocks go forward are an hour apart, not two.
    const Recording beforeSwitch = MakeRecording(HeaderAt(2023, 3, 26, 1, 30, 0, 200), testing::FlatRows(10));
    const Recording afterSwitch = MakeRecording(HeaderAt(2023, 3, 26, 3, 30, 0, 200), testing::FlatRows(10));
    EXPECT_DOUBLE_EQ(OverlayShiftSeconds(beforeSwitch, afterSwitch, clock), 3600.0);

    clock.offsetSeconds = -0.25;
    EXPECT_DOUBLE_EQ(OverlayShiftSeconds(shown, later, clock), 72.75);
}

TEST(OverlayAlignment, FirstSampleShiftPutsTheTwoFirstRowsTogether)
{
    const Recording shown = MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), testing::FlatRows(10));
    const Recording other = MakeRecording(HeaderAt(2024, 1, 1, 0, 0, 0, 4), testing::FlatRows(10));
    OverlayAlignment first{AlignBy::FirstSample};
    EXPECT_EQ(OverlayShiftSeconds(shown, other, first), 0.0);
    first.offsetSeconds = 1.5;
    EXPECT_EQ(OverlayShiftSeconds(shown, other, first), 1.5);

    // Motion recordings whose first rows stand at ticks 12 (at 1 s) and 3 (at 50 ms): 12 s against 0.15 s.
    const Recording motion = MakeRecording(HeaderAt(2023, 3, 5, 9, 0, 0, 1 * 4 + RATE_UNIT_SECOND),
                                           testing::FlatRows(5), TicksEvery(5, 10, 12));
    const Recording fastMotion =
        MakeRecording(HeaderAt(2023, 3, 5, 9, 0, 0, 200), testing::FlatRows(5), TicksEvery(5, 1, 3));
    first.offsetSeconds = 0.0;
    EXPECT_NEAR(OverlayShiftSeconds(motion, fastMotion, first), 12.0 - 0.15, 1e-12);
    EXPECT_NEAR(OverlayShiftSeconds(fastMotion, motion, first), 0.15 - 12.0, 1e-12);
    EXPECT_NEAR(OverlayShiftSeconds(motion, other, first), 12.0, 1e-12);
}

TEST(OverlayAlignment, EventShiftPutsTheTwoEventTimesTogether)
{
    // 50 ms against 10 ms: row 100 of the shown one is at 5 s, row 40 of the other at 0.4 s.
    const Recording shown = MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), testing::FlatRows(200));
    const Recording other = MakeRecording(HeaderAt(2023, 3, 5, 9, 0, 0, 40), testing::FlatRows(200));
    OverlayAlignment event{AlignBy::Event, 100, 40, 0.0};
    EXPECT_NEAR(OverlayShiftSeconds(shown, other, event), 4.6, 1e-12);
    event.offsetSeconds = 0.4;
    EXPECT_NEAR(OverlayShiftSeconds(shown, other, event), 5.0, 1e-12);

    // A motion recording's row stands at its tick: row 3 with tick 30 at 1 s is 30 s in.
    const Recording motion =
        MakeRecording(HeaderAt(2023, 3, 5, 9, 0, 0, 1 * 4 + RATE_UNIT_SECOND), testing::FlatRows(5), TicksEvery(5, 10));
    ASSERT_EQ(RowSeconds(motion, 3), 30.0);
    const OverlayAlignment onMotion{AlignBy::Event, 100, 3, 0.0};
    EXPECT_NEAR(OverlayShiftSeconds(shown, motion, onMotion), 5.0 - 30.0, 1e-12);
}

TEST(OverlayAlignment, RowsOutsideARecordingAndBrokenOffsetsDoNotMoveIt)
{
    const Recording shown = MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), testing::FlatRows(200));
    const Recording other = MakeRecording(HeaderAt(2023, 3, 5, 9, 0, 0, 40), testing::FlatRows(50));
    EXPECT_FALSE(RowSeconds(other, 50).has_value());
    // An event row past the end (a session file of another version of the file) aligns nothing.
    EXPECT_EQ(OverlayShiftSeconds(shown, other, {AlignBy::Event, 100, 50, 2.0}), 2.0);
    EXPECT_EQ(OverlayShiftSeconds(shown, other, {AlignBy::Event, 200, 10, 0.0}), 0.0);
    EXPECT_EQ(OverlayShiftSeconds(shown, other, {AlignBy::FirstSample, 0, 0, std::numeric_limits<double>::quiet_NaN()}),
              0.0);
    EXPECT_EQ(OverlayShiftSeconds(shown, other, {AlignBy::FirstSample, 0, 0, std::numeric_limits<double>::infinity()}),
              0.0);

    // A motion recording whose ticks ran short of its rows has no time for the rows without one.
    Recording shortTicks = MakeRecording(HeaderAt(2023, 3, 5, 9, 0, 0, 200), testing::FlatRows(10), TicksEvery(4, 1));
    EXPECT_TRUE(RowSeconds(shortTicks, 3).has_value());
    EXPECT_FALSE(RowSeconds(shortTicks, 4).has_value());
}

TEST(OverlayAlignment, EventsToAlignOnAreTheShocksAtTheirPeaksAndTheFallsAtTheirStarts)
{
    ScopedTimeZone zone("UTC0");
    // 1 g at rest, a fall of rows 10..14 at 0.1 g, its impact peaking at row 16, a shock at row 40.
    std::vector<SampleRow> rows(60, SampleRow{0, 0, 1, 1});
    for (int r = 10; r <= 14; ++r)
        rows[static_cast<std::size_t>(r)] = {0, 0, 0.1, 0.1};
    rows[15] = {0, 0, 2.5, 2.5};
    rows[16] = {0, 0, 6.0, 6.0};
    rows[40] = {3.0, 0, 0, 3.0};
    const Recording recording = MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), rows);
    const std::vector<AlignmentEvent> events = AlignmentEventsOf(recording, vibration::EventOptions{});
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].row, 10u);
    EXPECT_EQ(events[0].text.rfind("Free fall at 05/03/23 14:07:09 500ms, ", 0), 0u) << events[0].text;
    EXPECT_EQ(events[1], (AlignmentEvent{16, "Shock at 05/03/23 14:07:09 800ms, 6.00 g"}));
    EXPECT_EQ(events[2], (AlignmentEvent{40, "Shock at 05/03/23 14:07:11, 3.00 g"}));

    EXPECT_TRUE(AlignmentEventsOf(MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, 200), {}), {}).empty());
}

// A graph of 1001 rows at 1 s over an 800-pixel plot, with a compared recording over it.
struct OverlayFixture : testing::ZoomableFixture {
    using ZoomableFixture::ZoomableFixture;
    void Compare(Recording compared, OverlayAlignment alignment = {AlignBy::FirstSample})
    {
        testing::Compare(model, std::move(compared), alignment);
    }
};

Recording Seconds(int rows, int secondsPerRow = 1, std::vector<std::int32_t> ticks = {})
{
    return MakeRecording(
        HeaderAt(2023, 3, 5, 14, 7, 9, static_cast<std::uint16_t>(secondsPerRow * 4 + RATE_UNIT_SECOND)),
        testing::FlatRows(static_cast<std::size_t>(rows)), std::move(ticks));
}

Recording Milliseconds(int rows, int msPerRow)
{
    return MakeRecording(HeaderAt(2023, 3, 5, 14, 7, 9, static_cast<std::uint16_t>(msPerRow * 4 + RATE_UNIT_MS)),
                         testing::FlatRows(static_cast<std::size_t>(rows)));
}

using Span = testing::RowSpan;

Span OverlaySpan(const GraphModel& model)
{
    return testing::SpanOfRows(VisibleOverlayRows(model));
}

TEST(VisibleOverlayRows, NothingWithoutAnOverlayOrInFrequencyMode)
{
    OverlayFixture g;
    EXPECT_FALSE(VisibleOverlayRows(g.model).has_value());
    EXPECT_EQ(g.model.Overlay(), nullptr);
    g.Compare(Seconds(1001));
    ASSERT_NE(g.model.Overlay(), nullptr);
    EXPECT_EQ(OverlaySpan(g.model), Span(0, 1000));
    g.view.m_bFrequencyMode = true;
    EXPECT_FALSE(VisibleOverlayRows(g.model).has_value());
    g.view.m_bFrequencyMode = false;
    g.model.SetOverlay(std::nullopt);
    EXPECT_FALSE(VisibleOverlayRows(g.model).has_value());
}

TEST(VisibleOverlayRows, FollowTheShiftZoomAndScrollOfTheShownGraph)
{
    OverlayFixture g;
    // 100 s later: its row k stands at the shown row k + 100, so rows 0..900 are on the plot, and
    // row 901 on the last column, 0.8 pixels right of the last shown row.
    g.Compare(Seconds(1001), {AlignBy::FirstSample, 0, 0, 100.0});
    EXPECT_EQ(OverlaySpan(g.model), Span(0, 901));
    g.Compare(Seconds(1001), {AlignBy::FirstSample, 0, 0, -100.0});
    EXPECT_EQ(OverlaySpan(g.model), Span(100, 1000));
    // Wholly before the shown recording.
    g.Compare(Seconds(1001), {AlignBy::FirstSample, 0, 0, -5000.0});
    EXPECT_FALSE(VisibleOverlayRows(g.model).has_value());

    // Zoomed onto shown rows 250..500: the same rows of an unshifted copy, 150..400 of one shifted
    // by 100 s. A row left of the plot's first column is not on it, though less than a pixel away.
    g.Compare(Seconds(1001));
    ASSERT_TRUE(g.Band({300, 300}, {500, 500}));
    ASSERT_EQ(VisibleRows(g.model).value().from, 250u);
    EXPECT_EQ(OverlaySpan(g.model), Span(250, 500));
    g.Compare(Seconds(1001), {AlignBy::FirstSample, 0, 0, 100.0});
    EXPECT_EQ(OverlaySpan(g.model), Span(150, 400));

    // Scrolled a page on: the overlay's rows move with the shown ones.
    g.model.OnHScroll(ScrollCode::PageForward, 0, 0);
    g.Paint();
    const auto shownRows = VisibleRows(g.model).value();
    ASSERT_GT(shownRows.from, 250u);
    EXPECT_EQ(OverlaySpan(g.model), Span(shownRows.from - 100, shownRows.to - 100));
}

TEST(VisibleOverlayRows, EachRecordingKeepsItsOwnTimeBase)
{
    OverlayFixture g;
    // 0.5 s a row: 1000 s of the plot and the pixel beyond it hold 2003 of its rows.
    g.Compare(Milliseconds(5000, 500));
    EXPECT_EQ(OverlaySpan(g.model), Span(0, 2002));  // 2002 at 1001 s is 0.8 pixels past the edge
    // A motion recording at ticks 0, 3, 6 ...: ticks up to 1000 are rows up to 333.
    g.Compare(Seconds(600, 1, TicksEvery(600, 3)));
    EXPECT_EQ(OverlaySpan(g.model), Span(0, 333));
}

TEST(OverlayPlacement, ColumnsEqualThoseOfTheRecordingShownAloneShiftedByTheAlignment)
{
    // A compared recording of the same interval, shown alone in the same plot and value range.
    std::vector<SampleRow> values;
    for (int i = 0; i < 1001; ++i)
        values.push_back({std::sin(i * 0.1) * 5, std::cos(i * 0.07) * 3, -2.0, 1.0});
    GraphFixture alone;
    testing::LoadRows(alone.doc, alone.view, 1001, [&](int i) { return values[static_cast<std::size_t>(i)]; });
    alone.Plot(100, 200, 900, 600);
    alone.Paint();

    OverlayFixture g;
    Recording compared = alone.doc;
    g.Compare(compared, {AlignBy::FirstSample});
    auto placed = OverlayPlacement::Of(g.model);
    ASSERT_TRUE(placed.has_value());
    for (int row : {0, 1, 17, 500, 999, 1000}) {
        const auto k = static_cast<std::size_t>(row);
        EXPECT_EQ(TruncToInt(placed->X(k)), TruncToInt(alone.X(row, 0))) << row;
        for (int t = 0; t < 4; ++t)
            EXPECT_EQ(TruncToInt(placed->Y(values[k][static_cast<std::size_t>(t)])),
                      TruncToInt(alone.model.Position(row, t, 0).y))
                << row;
    }

    // Shifted by 20 rows' time (a clock 20 s later): row k stands where row k + 20 stands alone,
    // to the pixel.
    Recording later = alone.doc;
    later.m_header = HeaderAt(2023, 3, 5, 14, 7, 9 + 20, later.m_header.wInterval);
    later.m_header.dwSampleCount = 1001;
    g.doc.m_header = HeaderAt(2023, 3, 5, 14, 7, 9, g.doc.m_header.wInterval);
    g.doc.m_header.dwSampleCount = 1001;
    g.Compare(later, {AlignBy::Clock});
    placed = OverlayPlacement::Of(g.model);
    ASSERT_TRUE(placed.has_value());
    EXPECT_EQ(placed->ShiftSeconds(), 20.0);
    for (int row : {0, 1, 480, 980})
        EXPECT_EQ(TruncToInt(placed->X(static_cast<std::size_t>(row))), TruncToInt(alone.X(row + 20, 0))) << row;
}

TEST(OverlayPlacement, EventAlignmentPutsBothEventsOnOneColumnZoomedOrNot)
{
    OverlayFixture g;
    // The shown event at row 640 (640 s), the compared one at row 1234 of a 0.25 s recording.
    const OverlayAlignment onEvents{AlignBy::Event, 640, 1234, 0.0};
    g.Compare(Milliseconds(4000, 250), onEvents);
    const auto columnOfShownEvent = [&] { return TruncToInt(g.X(640, g.model.state().g_nZoomLevel)); };
    auto placed = OverlayPlacement::Of(g.model);
    ASSERT_TRUE(placed.has_value());
    EXPECT_EQ(TruncToInt(placed->X(1234)), columnOfShownEvent());
    EXPECT_EQ(placed->RowAt(placed->X(1234), 100, 900), 1234u);

    ASSERT_TRUE(g.Band({550, 300}, {700, 500}));
    placed = OverlayPlacement::Of(g.model);
    ASSERT_TRUE(placed.has_value());
    EXPECT_EQ(TruncToInt(placed->X(1234)), columnOfShownEvent());
}

TEST(OverlayPlacement, AMotionRecordingShownPlacesTheOverlayOnItsTicks)
{
    // Shown rows at ticks 0, 5, 10 ... (1 s): the compared row at 500 s stands on shown row 100.
    OverlayFixture g(TicksEvery(200, 5));
    g.Compare(Seconds(1001));
    const auto placed = OverlayPlacement::Of(g.model);
    ASSERT_TRUE(placed.has_value());
    EXPECT_EQ(TruncToInt(placed->X(500)), TruncToInt(g.X(100, 0)));
    EXPECT_EQ(OverlaySpan(g.model), Span(0, 995));
}

}  // namespace
}  // namespace shakemeter
