// Where segments and spans of a trace end, which of them are visible, and the decimation groups.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "GraphFixture.h"
#include "graph/core/TraceGeometry.h"

namespace shakemeter {
namespace {

using testing::GraphFixture;

// Bit for bit, so that NaNs kept at an extreme compare as what they are.
bool SameGroups(const std::vector<GroupExtremes>& a, const std::vector<GroupExtremes>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].from != b[i].from || a[i].to != b[i].to || a[i].minimumAt != b[i].minimumAt ||
            a[i].maximumAt != b[i].maximumAt ||
            std::memcmp(&a[i].atMinimum, &b[i].atMinimum, sizeof a[i].atMinimum) != 0 ||
            std::memcmp(&a[i].atMaximum, &b[i].atMaximum, sizeof a[i].atMaximum) != 0)
            return false;
    }
    return true;
}

TEST(TraceSegments, VisibilityAtThePlotEdges)
{
    const PlotRect plot{100, 200, 900, 600};
    auto visible = [&](int x0, int y0, int x1, int y1) {
        return GraphModel::SegmentVisible({x0, y0, x1, y1, 0, 1, true}, plot);
    };
    EXPECT_TRUE(visible(150, 200, 160, 200));   // on the top edge
    EXPECT_FALSE(visible(150, 199, 160, 150));  // above it
    EXPECT_TRUE(visible(150, 150, 160, 250));   // crossing it: drawn whole
    EXPECT_FALSE(visible(150, 200, 160, 180));  // touching from above
    EXPECT_TRUE(visible(150, 600, 160, 600));   // on the bottom edge
    EXPECT_FALSE(visible(150, 601, 160, 600));
    EXPECT_FALSE(visible(50, 300, 99, 300));  // left of the plot
    EXPECT_TRUE(visible(50, 300, 100, 300));
    EXPECT_FALSE(visible(901, 300, 950, 300));  // right of it
}

TEST(TraceSegments, MotionGapIsNotJoined)
{
    GraphFixture g;
    g.Load(3, testing::Flat, {4, 5, 9});
    g.Plot(100, 200, 900, 600);
    const VisibleRange range = g.Paint();
    const SegmentEnds first = g.model.SegmentEndsOf(1, 0, range.first);
    const SegmentEnds second = g.model.SegmentEndsOf(2, 0, range.first);
    EXPECT_TRUE(first.joined);
    EXPECT_FALSE(second.joined);
    EXPECT_EQ(first.x0, 500);
    EXPECT_EQ(first.x1, 600);
    EXPECT_EQ(second.x1, 1000);
}

TEST(TraceSegments, GroupsShareTheirEndsAndKeepEachTracesExtremes)
{
    GraphFixture g;
    const std::vector<double> values{0, 5, -3, 1, 0, 2, 7, 0, -1, 4, 9, 9};
    g.Load(static_cast<int>(values.size()), [&](int i) {
        return SampleRow{values[static_cast<std::size_t>(i)], -values[static_cast<std::size_t>(i)], 0, 0};
    });
    std::vector<std::array<int, 4>> groups;
    const int rest = g.model.ForEachGroup(1, 12, 5, 0, [&](int s, int mn, int mx, int e) {
        groups.push_back({s, mn, mx, e});
    });
    // Points 1..5 (inner 2..4), then 5..10 (inner 6..9).
    EXPECT_EQ(groups, (std::vector<std::array<int, 4>>{{1, 3, 2, 5}, {5, 9, 7, 10}}));
    EXPECT_EQ(rest, 10);
    groups.clear();
    g.model.ForEachGroup(1, 12, 5, 1, [&](int s, int mn, int mx, int e) { groups.push_back({s, mn, mx, e}); });
    EXPECT_EQ(groups, (std::vector<std::array<int, 4>>{{1, 2, 3, 5}, {5, 7, 9, 10}}));

    // The values kept at each column's extremes are those of the rows found: point p is row p - 1.
    std::vector<GroupExtremes> all;
    EXPECT_EQ(g.model.CollectGroups(1, 12, 5, all), 10);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].minimumAt[0], 9);
    EXPECT_EQ(all[1].atMinimum[0], (std::array<double, 4>{-1, 1, 0, 0}));
    EXPECT_EQ(all[1].maximumAt[1], 9);
    EXPECT_EQ(all[1].atMaximum[1], (std::array<double, 4>{-1, 1, 0, 0}));
    EXPECT_EQ(all[0].atMaximum[0], (std::array<double, 4>{5, -5, 0, 0}));
}

// A long recording's groups, found again for the same view, are those a model that never found
// them finds: also after the recording's rows were replaced by others of the same length, and
// for another range or group size.
TEST(TraceSegments, GroupsFoundAgainFollowTheRows)
{
    constexpr int kRows = 300000;  // long enough for block extremes
    const auto wave = [](double phase) {
        return [phase](int i) {
            const double v = std::sin(i * 0.001 + phase) + 0.3 * std::sin(i * 0.37);
            return SampleRow{v, -v, 2.0 * v, std::abs(v)};
        };
    };
    const auto same = SameGroups;
    const auto fresh = [&](double phase, int first, int last, int size, int& rest) {
        GraphFixture other;
        other.Load(kRows, wave(phase));
        std::vector<GroupExtremes> groups;
        rest = other.model.CollectGroups(first, last, size, groups);
        return groups;
    };

    GraphFixture g;
    g.Load(kRows, wave(0.0));
    std::vector<GroupExtremes> groups;
    int expectedRest = 0;
    const std::vector<GroupExtremes> expected = fresh(0.0, 1, kRows, 200, expectedRest);
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(g.model.CollectGroups(1, kRows, 200, groups), expectedRest);
        EXPECT_TRUE(same(groups, expected)) << pass;
    }

    // Other rows in a new table of the same length.
    std::vector<SampleRow> replaced(kRows);
    for (int i = 0; i < kRows; ++i)
        replaced[static_cast<std::size_t>(i)] = wave(1.0)(i);
    g.doc.m_pSamples = std::move(replaced);
    EXPECT_EQ(g.model.CollectGroups(1, kRows, 200, groups), expectedRest);
    EXPECT_TRUE(same(groups, fresh(1.0, 1, kRows, 200, expectedRest)));
    EXPECT_FALSE(same(groups, expected));

    // Another range and another group size over the same rows.
    int rest = g.model.CollectGroups(1001, kRows - 7, 200, groups);
    EXPECT_TRUE(same(groups, fresh(1.0, 1001, kRows - 7, 200, expectedRest)));
    EXPECT_EQ(rest, expectedRest);
    rest = g.model.CollectGroups(1001, kRows - 7, 300, groups);
    EXPECT_TRUE(same(groups, fresh(1.0, 1001, kRows - 7, 300, expectedRest)));
    EXPECT_EQ(rest, expectedRest);
}

// A zoom and its Undo Zoom each take back the groups of their view instead of searching again,
// and what is taken back is what a model that never found them finds: for the whole view after
// zooms onto two places, and never after the rows changed (replaced in place, or one appended).
TEST(TraceSegments, GroupsOfTheLastTwoViewsAreTakenBack)
{
    constexpr int kRows = 300000;  // long enough for block extremes
    const auto wave = [](double phase) {
        return [phase](int i) {
            const double v = std::sin(i * 0.0013 + phase) + 0.25 * std::sin(i * 0.41);
            return SampleRow{v, 3.0 * v, -v, std::abs(v)};
        };
    };
    struct View {
        int first;
        int last;
        int size;  // wide enough for the block extremes
    };
    const View whole{1, kRows, 200};
    const View zoomA{50001, 150000, 130};
    const View zoomB{120001, 290000, 140};

    GraphFixture g;
    g.Load(kRows, wave(0.0));
    int searches = g.model.GroupSearchCount();
    // Shows `view` and tells whether its groups were searched for.
    const auto show = [&](const View& view, int rows, double phase) {
        std::vector<GroupExtremes> groups;
        const int rest = g.model.CollectGroups(view.first, view.last, view.size, groups);
        GraphFixture fresh;
        fresh.Load(rows, wave(phase));
        std::vector<GroupExtremes> expected;
        EXPECT_EQ(rest, fresh.model.CollectGroups(view.first, view.last, view.size, expected));
        EXPECT_TRUE(SameGroups(groups, expected)) << view.first << " " << view.size;
        const bool searched = g.model.GroupSearchCount() != searches;
        searches = g.model.GroupSearchCount();
        return searched;
    };
    EXPECT_TRUE(show(whole, kRows, 0.0));
    EXPECT_TRUE(show(zoomA, kRows, 0.0));
    EXPECT_FALSE(show(whole, kRows, 0.0));  // Undo Zoom
    EXPECT_FALSE(show(zoomA, kRows, 0.0));  // the same band again
    EXPECT_FALSE(show(whole, kRows, 0.0));
    EXPECT_TRUE(show(zoomB, kRows, 0.0));   // elsewhere
    EXPECT_FALSE(show(whole, kRows, 0.0));  // Undo Zoom
    EXPECT_TRUE(show(zoomA, kRows, 0.0));   // the older zoom was let go for the newer one

    // Other rows in place of the old ones, the table as long as before.
    std::vector<SampleRow> replaced(kRows);
    for (int i = 0; i < kRows; ++i)
        replaced[static_cast<std::size_t>(i)] = wave(1.0)(i);
    g.doc.m_pSamples = std::move(replaced);
    EXPECT_TRUE(show(zoomA, kRows, 1.0));
    EXPECT_TRUE(show(whole, kRows, 1.0));
    EXPECT_FALSE(show(zoomA, kRows, 1.0));

    // A row appended: the same views over a longer table.
    g.doc.m_pSamples.push_back(wave(1.0)(kRows));
    g.doc.m_header.dwSampleCount = kRows + 1;
    EXPECT_TRUE(show(whole, kRows + 1, 1.0));
    EXPECT_TRUE(show(zoomA, kRows + 1, 1.0));
    EXPECT_FALSE(show(whole, kRows + 1, 1.0));
}

// A long recording's groups are found in two halves on two threads: they are those one thread
// finds from the block extremes and those a row-by-row scan finds, for an odd number of groups,
// the fewest that take two threads and one fewer, a shown range that starts within the table,
// groups past the table's last row, and NaN rows (alone, a whole block, one column).
TEST(TraceSegments, GroupsFoundOnTwoThreadsAreThoseOfOneThread)
{
    constexpr int kRows = 300001;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    GraphFixture g;
    g.Load(kRows, [&](int i) {
        const double v = std::sin(i * 0.002) + 0.4 * std::sin(i * 0.61);
        if (i % 997 == 5 || (i >= 128000 && i < 128064))
            return SampleRow{nan, nan, nan, nan};
        if (i >= 200000 && i < 200500)
            return SampleRow{v, nan, -v, std::abs(v)};
        // Equal values in a row: the first of them is the extreme.
        return SampleRow{std::round(v * 4.0), -v, 60000.0 * v, std::abs(v)};
    });
    const auto check = [&](int rangeFirst, int first, int last, int size) {
        g.view.m_nRangeFirst = rangeFirst;
        g.model.ForgetKeptGroups();
        std::vector<GroupExtremes> found;
        const int rest = g.model.CollectGroups(first, last, size, found);
        const std::int64_t firstRow = g.model.RangeFirst() - 1;
        const RowExtremes* index = g.doc.RowExtremesIndex();
        std::vector<GroupExtremes> oneThread(found.size());
        GroupSearch(g.doc.m_pSamples.data(), kRows, firstRow, index, first, size).Find(oneThread, 0, oneThread.size());
        std::vector<GroupExtremes> scanned(found.size());
        GroupSearch(g.doc.m_pSamples.data(), kRows, firstRow, nullptr, first, size).Find(scanned, 0, scanned.size());
        EXPECT_EQ(rest, static_cast<int>(found.size()) * size + first - 1);
        EXPECT_TRUE(SameGroups(found, oneThread)) << first << " " << last << " " << size;
        EXPECT_TRUE(SameGroups(found, scanned)) << first << " " << last << " " << size;
        return found.size();
    };
    ASSERT_NE(g.doc.RowExtremesIndex(), nullptr);
    const std::size_t most = TraceGeometry::kGroupsForTwoThreads;
    EXPECT_EQ(check(1, 1, kRows, 129), 2325u);  // odd
    EXPECT_EQ(check(1, 1, most * 200, 200), most);
    EXPECT_EQ(check(1, 1, most * 200 - 1, 200), most - 1);
    EXPECT_EQ(check(1, 7, most * 200 + 6 + 150, 200), most);
    EXPECT_EQ(check(1001, 1, kRows - 1000, 131), 2282u);
    // The last groups lie past the table's end: they keep their first point.
    EXPECT_EQ(check(1, 1, kRows + 40000, 128), 2656u);
}

}  // namespace
}  // namespace shakemeter
