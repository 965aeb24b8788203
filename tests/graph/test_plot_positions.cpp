// Stored plotting positions: an even fill that is skipped when nothing changed must never leave
// a position behind that a later write, copy or resize made stale.

#include <gtest/gtest.h>

#include "graph/core/PlotPositions.h"

namespace shakemeter {
namespace {

TEST(PlotPositions, EvenFillIsRedoneAfterAnyOtherWriteToTheFullView)
{
    PlotPositions positions;
    positions.EnsureRows(6);
    positions.FillEvenly(1, 5, 100.0, 2.5);
    EXPECT_EQ(positions.x(0, 1), 100.0);
    EXPECT_EQ(positions.x(0, 4), 107.5);
    EXPECT_EQ(positions.x(0, 5), 0.0);  // past the end: untouched

    // A single position written, then the same fill again.
    positions.setX(0, 3, -1.0);
    positions.FillEvenly(1, 5, 100.0, 2.5);
    EXPECT_EQ(positions.x(0, 3), 105.0);

    // The zoomed picture copied over the full view, then the same fill again.
    positions.setX(1, 2, 7.0);
    positions.CopyZoomedToBase(1, 5);
    EXPECT_EQ(positions.x(0, 2), 7.0);
    positions.FillEvenly(1, 5, 100.0, 2.5);
    EXPECT_EQ(positions.x(0, 2), 102.5);

    // A write to the zoomed level alone keeps the fill valid.
    positions.setX(1, 2, 9.0);
    positions.FillEvenly(1, 5, 100.0, 2.5);
    EXPECT_EQ(positions.x(1, 2), 9.0);
    EXPECT_EQ(positions.x(0, 2), 102.5);

    // New arguments or a new row count fill again.
    positions.FillEvenly(1, 5, 100.0, 3.0);
    EXPECT_EQ(positions.x(0, 4), 109.0);
    positions.EnsureRows(3);  // a shorter recording drops rows 3 and 4 ...
    positions.EnsureRows(8);  // ... and a longer one brings them back as zeros
    positions.FillEvenly(1, 5, 100.0, 3.0);
    EXPECT_EQ(positions.x(0, 4), 109.0);
    // An end beyond the rows stops at the last row.
    positions.FillEvenly(0, 50, 0.0, 1.0);
    EXPECT_EQ(positions.x(0, 7), 7.0);
}

// A copy shares the positions until either changes its own: every change of one, by a write, a
// fill, a copy of the zoomed picture or a resize, leaves the other as it was.
TEST(PlotPositions, CopiesChangeOnlyTheirOwnPositions)
{
    PlotPositions original;
    original.EnsureRows(4);
    original.FillEvenly(0, 4, 10.0, 1.0);
    PlotPositions copy = original;
    EXPECT_EQ(copy.x(0, 3), 13.0);

    copy.setX(1, 2, 5.0);
    copy.FillEvenly(0, 4, 20.0, 2.0);
    EXPECT_EQ(original.x(1, 2), 0.0);
    EXPECT_EQ(original.x(0, 3), 13.0);
    EXPECT_EQ(copy.x(0, 3), 26.0);

    PlotPositions second = original;
    original.CopyZoomedToBase(0, 4);
    EXPECT_EQ(second.x(0, 3), 13.0);
    EXPECT_EQ(original.x(0, 3), 0.0);

    PlotPositions third = second;
    third.EnsureRows(8);
    EXPECT_EQ(second.rows(), 4u);
    EXPECT_EQ(third.rows(), 8u);
    EXPECT_EQ(third.x(0, 1), 11.0);
}

// The zoomed level holds no memory before a zoom writes it, and reads as a zeroed table would,
// before and after: a long recording opened and never zoomed keeps 8 bytes a row fewer.
TEST(PlotPositions, ZoomedPositionsTakeMemoryOnlyOnceWritten)
{
    PlotPositions positions;
    positions.EnsureRows(5);
    positions.FillEvenly(0, 5, 10.0, 1.0);
    EXPECT_EQ(positions.zoomedRowsHeld(), 0u);
    EXPECT_EQ(positions.x(1, 4), 0.0);
    positions.CopyZoomedToBase(1, 3);  // an unwritten zoomed level copies zeros
    EXPECT_EQ(positions.x(0, 2), 0.0);
    EXPECT_EQ(positions.x(0, 3), 13.0);
    positions.EnsureRows(7);
    EXPECT_EQ(positions.zoomedRowsHeld(), 0u);

    positions.setX(1, 6, 4.0);
    EXPECT_EQ(positions.zoomedRowsHeld(), 7u);
    EXPECT_EQ(positions.x(1, 5), 0.0);
    EXPECT_EQ(positions.x(1, 6), 4.0);
    positions.EnsureRows(9);  // a longer recording keeps both levels in step
    EXPECT_EQ(positions.zoomedRowsHeld(), 9u);
    EXPECT_EQ(positions.x(1, 8), 0.0);
    positions.setX(1, 8, 2.0);
    EXPECT_EQ(positions.x(1, 8), 2.0);
}

// Moving a run of zoomed positions at once stores what a write per row would, stops at the last
// row, takes the zoomed level's memory only when it writes, and leaves a copy as it was.
TEST(PlotPositions, ZoomedRunsMapLikeSingleWrites)
{
    const auto zoom = [](double x) { return 40.0 - (30.0 - x) * 3840.0 / 384.0; };
    PlotPositions single;
    PlotPositions run;
    for (PlotPositions* p : {&single, &run}) {
        p->EnsureRows(6);
        p->FillEvenly(0, 6, 40.0, 3840.0 / 7.0);
    }
    for (std::size_t i = 1; i < 5; ++i)
        single.setX(1, i, zoom(single.x(0, i)));

    const PlotPositions before = run;
    run.MapBaseToZoomed(3, 3, zoom);  // nothing to move: no memory taken
    EXPECT_EQ(run.zoomedRowsHeld(), 0u);
    run.MapBaseToZoomed(1, 5, zoom);
    EXPECT_EQ(run.zoomedRowsHeld(), 6u);
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(run.x(1, i), single.x(1, i)) << i;  // equal to the bit, zeros outside the run
    EXPECT_EQ(before.zoomedRowsHeld(), 0u);

    // Stretching the zoomed positions, with an end beyond the rows.
    const auto stretch = [](double x) { return (x - 40.0) / 3800.0 * 1900.0 + 20.0; };
    const PlotPositions zoomed = run;
    run.MapZoomed(2, 50, stretch);
    for (std::size_t i = 2; i < 6; ++i)
        single.setX(1, i, stretch(single.x(1, i)));
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(run.x(1, i), single.x(1, i)) << i;
        EXPECT_EQ(run.x(0, i), single.x(0, i)) << i;  // the full view stays
    }
    EXPECT_EQ(zoomed.x(1, 4), zoom(zoomed.x(0, 4)));  // the copy keeps the zoom before the stretch
}

}  // namespace
}  // namespace shakemeter
