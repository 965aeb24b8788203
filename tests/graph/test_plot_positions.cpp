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

}  // namespace
}  // namespace shakemeter
