#include <gtest/gtest.h>

#include <cmath>

#include "graph/GraphFixture.h"
#include "graph/core/GraphExtras.h"
#include "graph/core/GraphPaintPlanner.h"

namespace shakemeter {
namespace {

using namespace shakemeter::testing;

// 1000 x 800 client: plot (130, 225) - (920, 690).
const PaintRequest kScreen{{0, 0, 1000, 800}, false, false};

GraphPaintPlan PlanWith(GraphFixture& g, const GraphExtras& extras)
{
    GraphPaintPlan plan = PlanFrame(g.model, kScreen);
    PlanExtras(plan, g.model, extras);
    return plan;
}

bool Inside(const PlotRect& inner, const PlotRect& outer)
{
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

// The legend lists the shown traces in order and takes the corner the traces leave free: traces
// high in the plot push it down, traces low push it up; the default is the top right.
TEST(GraphLegend, ShownTracesInTheFreestCorner)
{
    GraphFixture high;
    high.Load(1000, [](int) { return SampleRow{9.0, 8.5, 8.0, 9.5}; });
    const GraphPaintPlan top = PlanWith(high, {true, {}});
    ASSERT_EQ(top.legend.entries.size(), 4u);
    EXPECT_EQ(top.legend.entries[0].name.text, "X");
    EXPECT_EQ(top.legend.entries[3].name.text, "Vector sum");
    EXPECT_TRUE(Inside(top.legend.box, top.plot));
    EXPECT_GT(top.legend.box.top, (top.plot.top + top.plot.bottom) / 2);   // below the traces
    EXPECT_GT(top.legend.box.left, (top.plot.left + top.plot.right) / 2);  // right on a tie
    for (const LegendEntry& entry : top.legend.entries) {
        EXPECT_TRUE(Inside(entry.swatch, top.legend.box));
        EXPECT_LT(entry.swatch.right, entry.name.x);
    }

    GraphFixture low;
    low.Load(1000, [](int) { return SampleRow{-9.0, -8.5, -8.0, -9.5}; });
    low.model.SetDisplayOptions([&] {
        GraphDisplayOptions o = low.model.DisplayOptions();
        o.m_bShowY = false;
        return o;
    }());
    const GraphPaintPlan bottom = PlanWith(low, {true, {}});
    ASSERT_EQ(bottom.legend.entries.size(), 3u);
    EXPECT_EQ(bottom.legend.entries[1].name.text, "Z");
    EXPECT_LT(bottom.legend.box.bottom, (bottom.plot.top + bottom.plot.bottom) / 2);

    // A trace that runs along the top right leaves the top left free.
    GraphFixture rising;
    rising.Load(1000, [](int i) {
        const double v = i < 500 ? -9.0 : 9.0;
        return SampleRow{v, v, v, v};
    });
    const GraphPaintPlan left = PlanWith(rising, {true, {}});
    EXPECT_LT(left.legend.box.right, (left.plot.left + left.plot.right) / 2);
    EXPECT_LT(left.legend.box.bottom, (left.plot.top + left.plot.bottom) / 2);
}

// Nothing asked, nothing shown, or no room: no legend.
TEST(GraphLegend, LeftOutWhenNotAskedOrNoRoom)
{
    GraphFixture g;
    g.Load(100, [](int) { return SampleRow{1.0, 2.0, 3.0, 4.0}; });
    EXPECT_TRUE(PlanWith(g, {false, {}}).legend.entries.empty());
    GraphDisplayOptions none = g.model.DisplayOptions();
    none.m_bShowX = none.m_bShowY = none.m_bShowZ = none.m_bShowVectorSum = false;
    g.model.SetDisplayOptions(none);
    EXPECT_TRUE(PlanWith(g, {true, {}}).legend.entries.empty());

    GraphFixture small;
    small.Load(100, [](int) { return SampleRow{1.0, 2.0, 3.0, 4.0}; });
    GraphPaintPlan plan = PlanFrame(small.model, {{0, 0, 260, 300}, false, false});
    PlanExtras(plan, small.model, {true, {}});
    EXPECT_TRUE(plan.legend.entries.empty());
}

// An event's mark stands where the trace draws its row: the first row at the plot's left edge,
// the last at its right, one in the middle half-way; rows not shown are left out, marks of the
// same kind in the same column are one.
TEST(GraphEventMarks, MarksStandAtTheirRowsColumns)
{
    GraphFixture g;
    g.Load(1001, [](int) { return SampleRow{1.0, 2.0, 3.0, 4.0}; });
    const std::vector<EventRow> events = {{500, EventMarkKind::Fall},        {0, EventMarkKind::Shock},
                                          {1000, EventMarkKind::LoggerFall}, {500, EventMarkKind::Fall},
                                          {500, EventMarkKind::Shock},       {5000, EventMarkKind::Shock}};
    const GraphPaintPlan plan = PlanWith(g, {false, events});
    ASSERT_EQ(plan.eventMarks.size(), 4u);
    EXPECT_EQ(plan.eventMarks[0], (EventMark{plan.plot.left, EventMarkKind::Shock}));
    EXPECT_NEAR(plan.eventMarks[1].x, (plan.plot.left + plan.plot.right) / 2, 1);
    EXPECT_EQ(plan.eventMarks[1].kind, EventMarkKind::Shock);
    EXPECT_EQ(plan.eventMarks[2].kind, EventMarkKind::Fall);
    EXPECT_EQ(plan.eventMarks[2].x, plan.eventMarks[1].x);
    EXPECT_NEAR(plan.eventMarks[3].x, plan.plot.right, 1);
    EXPECT_TRUE(plan.legend.entries.empty());

    // The shown rows 501..1001 (1-based) put row 500 at the left edge and leave row 0 out.
    g.view.SetShownRange(501, 1001);
    const GraphPaintPlan shown = PlanWith(g, {false, events});
    ASSERT_EQ(shown.eventMarks.size(), 3u);
    EXPECT_EQ(shown.eventMarks[0].x, shown.plot.left);
    EXPECT_NEAR(shown.eventMarks[2].x, shown.plot.right, 1);
}

// The light theme: white around and behind the graph, traces and grid dark enough for paper, a
// frame that shows on white; the screen theme keeps the user's palette choices and black.
TEST(GraphTheme, LightThemeIsWhiteWithDarkTraces)
{
    const GraphTheme light = LightTheme();
    const RgbColor white{255, 255, 255};
    EXPECT_EQ(ColorFromIndex(light.colors.background), white);
    EXPECT_EQ(light.surround, white);
    EXPECT_FALSE(light.systemPanel);
    EXPECT_EQ(light.panel, white);
    const auto brightness = [](RgbColor c) { return (c.red + c.green + c.blue) / 3; };
    for (int t = 0; t < 4; ++t)
        EXPECT_LE(brightness(ColorFromIndex(light.colors.trace(t))), 128) << t;
    EXPECT_LE(brightness(light.frame), 160);
    EXPECT_LT(brightness(ColorFromIndex(light.colors.grid)), 255);

    const GraphColors mine{13, 0, 3, 5, 1, 2};
    const GraphTheme screen = ScreenTheme(mine);
    EXPECT_EQ(screen.colors.x, 0);
    EXPECT_EQ(screen.colors.grid, 2);
    EXPECT_EQ(screen.surround, (RgbColor{0, 0, 0}));
    EXPECT_EQ(screen.frame, white);
    EXPECT_TRUE(screen.systemPanel);
}

}  // namespace
}  // namespace shakemeter
