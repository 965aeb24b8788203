// The compared recording in the plan of a drawing: its spans where the recording shown alone has
// them, its crowded columns through their extremes, the comparison's legend, the read-out and the
// automatic value range that include it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <tuple>

#include "graph/GraphFixture.h"
#include "graph/core/GraphExtras.h"
#include "graph/core/GraphPaintPlanner.h"
#include "graph/core/OverlayLegend.h"
#include "graph/core/OverlayPlacement.h"
#include "graph/core/OverlayTraces.h"
#include "graph/core/OverlayValues.h"

namespace shakemeter {
namespace {

using namespace shakemeter::testing;

// 1000 x 800 client: plot (130, 225) - (920, 690).
const PaintRequest kScreen{{0, 0, 1000, 800}, false, false};

SampleRow Wave(int i)
{
    return {std::sin(i * 0.3) * 4, std::cos(i * 0.2) * 3, (i % 5) - 2.0, 1.0 + (i % 3)};
}

Recording RowsOf(int count, int secondsPerRow, const std::function<SampleRow(int)>& value,
                 std::vector<std::int32_t> ticks = {})
{
    std::vector<SampleRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(value(i));
    return MakeRecording(
        HeaderAt(2023, 3, 5, 14, 7, 9, static_cast<std::uint16_t>(secondsPerRow * 4 + RATE_UNIT_SECOND)),
        std::move(rows), std::move(ticks));
}

void Compare(GraphFixture& g, Recording compared, OverlayAlignment alignment = {AlignBy::FirstSample},
             std::string name = "week 2.Vibration")
{
    testing::Compare(g.model, std::move(compared), alignment, std::move(name), "week 1.Vibration");
}

using Ends = std::tuple<int, int, int, int, int>;  // trace, x0, y0, x1, y1

std::set<Ends> EndsOf(const TracePlan& plan, int dx = 0)
{
    std::set<Ends> ends;
    for (const TraceSpan& span : plan.spans)
        ends.insert({span.trace, span.ends.x0 + dx, span.ends.y0, span.ends.x1 + dx, span.ends.y1});
    return ends;
}

TEST(OverlayTraces, NothingIsPlannedWithoutAComparisonOrInFrequencyMode)
{
    GraphFixture g;
    g.Load(101, Wave);
    const GraphPaintPlan plain = PlanFrame(g.model, kScreen);
    EXPECT_TRUE(plain.overlay.spans.empty());
    EXPECT_TRUE(plain.overlayLegend.entries.empty());
    EXPECT_FALSE(plain.traces.spans.empty());

    g.view.m_bFrequencyMode = true;
    g.view.m_pSpectrum.assign(128, SampleRow{1, 1, 1, 0});
    Compare(g, RowsOf(101, 1, Wave));
    const GraphPaintPlan frequency = PlanFrame(g.model, kScreen);
    EXPECT_TRUE(frequency.overlay.spans.empty());
    EXPECT_TRUE(frequency.overlayLegend.entries.empty());
}

TEST(OverlayTraces, SpansStandWhereTheRecordingAloneHasThemShiftedByTheAlignment)
{
    // 101 rows over 790 pixels: 7.9 pixels a row, every row its own column.
    GraphFixture alone;
    alone.Load(101, Wave);
    const std::set<Ends> aloneEnds = EndsOf(PlanFrame(alone.model, kScreen).traces);

    GraphFixture g;
    g.Load(101, [](int) { return SampleRow{0, 0, 0, 0}; });
    Compare(g, RowsOf(101, 1, Wave));
    const GraphPaintPlan same = PlanFrame(g.model, kScreen);
    EXPECT_EQ(EndsOf(same.overlay), aloneEnds);

    // 10 s later: every span the recording alone has between rows 0 and 90 stands 79 pixels
    // (10 rows) to the right; the rest is past the plot.
    Compare(g, RowsOf(101, 1, Wave), {AlignBy::FirstSample, 0, 0, 10.0});
    const std::set<Ends> shifted = EndsOf(PlanFrame(g.model, kScreen).overlay);
    int found = 0;
    for (const TraceSpan& span : PlanFrame(alone.model, kScreen).traces.spans) {
        if (span.ends.rowB > 90)
            continue;
        const auto [trace, x0, y0, x1, y1] = Ends{span.trace, span.ends.x0, span.ends.y0, span.ends.x1, span.ends.y1};
        const int x0Shifted = TruncToInt(alone.X(span.ends.rowA + 10, 0));
        const int x1Shifted = TruncToInt(alone.X(span.ends.rowB + 10, 0));
        EXPECT_EQ(shifted.count({trace, x0Shifted, y0, x1Shifted, y1}), 1u) << span.ends.rowA;
        ++found;
    }
    EXPECT_EQ(found, 90 * 4);
    // And the line from row 90 on the right edge towards row 91 past it.
    EXPECT_EQ(shifted.size(), 91u * 4);
}

TEST(OverlayTraces, ACrowdedColumnIsDrawnThroughItsExtremes)
{
    GraphFixture g;
    g.Load(1001, [](int) { return SampleRow{0, 0, 0, 0}; });
    // A million rows at 1 ms over the shown 1000 s: some 1270 rows a column, found through the
    // block extremes.
    Recording many = RowsOf(1000000, 1, [](int i) { return SampleRow{(i % 11) * 0.1, 0, 0, 0}; });
    many.m_pSamples[500000] = {9.0, 0, 0, 0};   // a lone spike
    many.m_pSamples[500001] = {-7.5, 0, 0, 0};  // and its rebound
    many.m_header.wInterval = 1 * 4 + RATE_UNIT_MS;
    Compare(g, many, {AlignBy::FirstSample});
    g.model.SetDisplayOptions([&] {
        GraphDisplayOptions o = g.model.DisplayOptions();
        o.m_bShowY = o.m_bShowZ = o.m_bShowVectorSum = false;
        return o;
    }());
    const GraphPaintPlan plan = PlanFrame(g.model, kScreen);
    // A few spans a column, not a span a row.
    EXPECT_LT(plan.overlay.spans.size(), 4u * static_cast<std::size_t>(plan.plot.width() + 2));
    const auto placed = OverlayPlacement::Of(g.model);
    ASSERT_TRUE(placed.has_value());
    ASSERT_NE(placed->Index(), nullptr);
    const int spikeColumn = TruncToInt(placed->X(500000));
    int top = plan.plot.bottom;
    int bottom = plan.plot.top;
    for (const TraceSpan& span : plan.overlay.spans) {
        EXPECT_EQ(span.trace, 0);
        if (span.ends.x0 == spikeColumn && span.ends.x1 == spikeColumn) {
            top = std::min({top, span.ends.y0, span.ends.y1});
            bottom = std::max({bottom, span.ends.y0, span.ends.y1});
        }
    }
    EXPECT_EQ(top, TruncToInt(placed->Y(9.0)));
    EXPECT_EQ(bottom, TruncToInt(placed->Y(-7.5)));
}

TEST(OverlayTraces, AMotionRecordingsGapIsLeftOpen)
{
    GraphFixture g;
    g.Load(101, [](int) { return SampleRow{0, 0, 0, 0}; });
    // Ticks 0..9, then 50..59: nothing is drawn between tick 9 and tick 50.
    std::vector<std::int32_t> ticks;
    for (int i = 0; i < 20; ++i)
        ticks.push_back(i < 10 ? i : 40 + i);
    Compare(g, RowsOf(
                   20, 1,
                   [](int) {
                       return SampleRow{2, 2, 2, 2};
                   },
                   ticks));
    const GraphPaintPlan plan = PlanFrame(g.model, kScreen);
    const int gapStart = TruncToInt(g.X(9, 0));
    const int gapEnd = TruncToInt(g.X(50, 0));
    ASSERT_FALSE(plan.overlay.spans.empty());
    for (const TraceSpan& span : plan.overlay.spans)
        EXPECT_FALSE(span.ends.x0 <= gapStart && span.ends.x1 >= gapEnd) << span.ends.x0 << " " << span.ends.x1;
    EXPECT_EQ(plan.overlay.spans.size(), 18u * 4);
}

TEST(OverlayLegend, NamesBothFilesBesideTheTraceLegend)
{
    GraphFixture g;
    g.Load(101, Wave);
    Compare(g, RowsOf(101, 1, Wave));
    GraphPaintPlan plan = PlanFrame(g.model, kScreen);
    PlanExtras(plan, g.model, {true, {}});
    const LegendPlan& legend = plan.overlayLegend;
    ASSERT_EQ(legend.entries.size(), 8u);  // four swatches a line
    EXPECT_EQ(legend.entries[3].name.text, "week 1.Vibration");
    EXPECT_EQ(legend.entries[7].name.text, "week 2.Vibration");
    EXPECT_FALSE(legend.entries[0].compared);
    EXPECT_TRUE(legend.entries[4].compared);
    for (std::size_t i : {0u, 1u, 2u, 4u})
        EXPECT_TRUE(legend.entries[i].name.text.empty());
    // The trace legend takes another corner.
    ASSERT_FALSE(plan.legend.entries.empty());
    const PlotRect& a = legend.box;
    const PlotRect& b = plan.legend.box;
    EXPECT_FALSE(a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom);

    // A name longer than the plot is wide is cut; a recording without a file has a name.
    GraphOverlay overlay = *g.model.Overlay();
    overlay.shownName.clear();
    overlay.comparedName = std::string(400, 'w') + ".Vibration";
    g.model.SetOverlay(overlay);
    const GraphPaintPlan cut = PlanFrame(g.model, kScreen);
    ASSERT_EQ(cut.overlayLegend.entries.size(), 8u);
    EXPECT_EQ(cut.overlayLegend.entries[3].name.text, kShownRecordingName);
    const std::string& long_ = cut.overlayLegend.entries[7].name.text;
    EXPECT_EQ(long_.substr(long_.size() - 3), "...");
    EXPECT_LE(cut.overlayLegend.box.right, cut.plot.right);
    EXPECT_GE(cut.overlayLegend.box.left, cut.plot.left);

    // A name of two-byte letters is cut between letters, to as many letters as the ASCII name.
    std::string umlauts;
    for (int i = 0; i < 400; ++i)
        umlauts += "\xC3\xA4";  // a-umlaut
    overlay.comparedName = umlauts;
    g.model.SetOverlay(overlay);
    const GraphPaintPlan letters = PlanFrame(g.model, kScreen);
    ASSERT_EQ(letters.overlayLegend.entries.size(), 8u);
    const std::string& fitted = letters.overlayLegend.entries[7].name.text;
    ASSERT_GE(fitted.size(), 3u);
    EXPECT_EQ(fitted.substr(fitted.size() - 3), "...");
    EXPECT_EQ(fitted.substr(0, fitted.size() - 3), umlauts.substr(0, 2 * (long_.size() - 3)));
    EXPECT_EQ(letters.overlayLegend.box, cut.overlayLegend.box);
}

TEST(OverlayColours, HalfwayToTheBackground)
{
    EXPECT_EQ(OverlayTraceColor({255, 0, 0}, {0, 0, 0}), (RgbColor{128, 0, 0}));
    EXPECT_EQ(OverlayTraceColor({128, 0, 0}, {255, 255, 255}), (RgbColor{192, 128, 128}));
    EXPECT_EQ(OverlayTraceColor({255, 255, 255}, {255, 255, 255}), (RgbColor{255, 255, 255}));
}

struct ReadoutTexts {
    std::string head, x, y, z, v;
};

ReadoutTexts TextsOf(const GraphModel& model)
{
    const GraphState& s = model.state();
    return {s.g_strReadoutHead, s.g_strReadoutX, s.g_strReadoutY, s.g_strReadoutZ, s.g_strReadoutV};
}

TEST(OverlayReadout, TheReadOutAddsTheComparedValuesAtTheSameTime)
{
    ScopedTimeZone zone("UTC0");
    GraphFixture g;
    g.Load(101, [](int i) { return SampleRow{i * 0.01, 1.5, -2.25, 3.0}; });
    g.model.PrepareFrame(kScreen);
    g.model.UpdateReadout(g.model.PickIndex(TruncToInt(g.X(40, 0))));
    const ReadoutTexts plain = TextsOf(g.model);
    EXPECT_EQ(plain.x, "X:0.40");

    // Shifted by 30 s: shown row 40 is compared row 10.
    Compare(g,
            RowsOf(101, 1,
                   [](int i) {
                       return SampleRow{-i * 0.5, 0.25, 0, 7};
                   }),
            {AlignBy::FirstSample, 0, 0, 30.0});
    // Setting the comparison made the shown read-out again.
    EXPECT_EQ(TextsOf(g.model).x, "X:0.40/-5.00");
    g.model.UpdateReadout(40);
    const ReadoutTexts both = TextsOf(g.model);
    ASSERT_EQ(plain.head.rfind("Data Point No.:41    Time:", 0), 0u) << plain.head;
    EXPECT_EQ(both.head, "Data Point No.:41/11" + plain.head.substr(17));
    EXPECT_EQ(both.x, "X:0.40/-5.00");
    EXPECT_EQ(both.y, "Y:1.50/0.25");
    EXPECT_EQ(both.v, "Vector Sum:3.00/7.00");

    // Before the compared recording starts there is nothing to compare.
    g.model.UpdateReadout(5);
    EXPECT_EQ(TextsOf(g.model).z, "Z:-2.25/--");
    EXPECT_EQ(TextsOf(g.model).head.rfind("Data Point No.:6/--    Time:", 0), 0u) << TextsOf(g.model).head;

    g.model.SetOverlay(std::nullopt);
    EXPECT_EQ(TextsOf(g.model).z, "Z:-2.25");
    g.model.UpdateReadout(40);
    EXPECT_EQ(TextsOf(g.model).head, plain.head);
}

TEST(OverlayAutoScale, TheAutomaticRangeTakesInTheComparedValuesOnThePlot)
{
    GraphFixture g;
    g.Load(101, [](int) { return SampleRow{2, 1, 0, 3}; });
    g.view.Refresh(g.doc);
    g.model.PrepareFrame(kScreen);
    ASSERT_TRUE(g.model.OnAutoScale());
    EXPECT_EQ(g.view.m_dYMax, 4.0);
    EXPECT_EQ(g.view.m_dYMin, -1.0);

    // Up to 12 g on the plot, -20 g beyond it (rows after 100 s): only the first counts.
    Recording compared = RowsOf(200, 1, [](int i) {
        return i <= 100 ? SampleRow{12, -3, 0, 12} : SampleRow{-20, 0, 0, 20};
    });
    Compare(g, compared);
    g.model.PrepareFrame(kScreen);
    ASSERT_TRUE(g.model.OnAutoScale());
    EXPECT_EQ(g.view.m_dYMax, 13.0);
    EXPECT_EQ(g.view.m_dYMin, -4.0);
    EXPECT_TRUE(g.view.m_bAutoScaleY);
    EXPECT_FALSE(g.model.OnAutoScale());  // nothing changes a second time

    g.model.SetOverlay(std::nullopt);
    g.model.PrepareFrame(kScreen);
    ASSERT_TRUE(g.model.OnAutoScale());
    EXPECT_EQ(g.view.m_dYMax, 4.0);
}

}  // namespace
}  // namespace shakemeter
