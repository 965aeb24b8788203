// The places of the read-out texts: fixed while they fit, pushed right where they would overlap.

#include <gtest/gtest.h>

#include "graph/core/ReadoutPlaces.h"

namespace shakemeter {
namespace {

constexpr int L = 130;

TEST(ReadoutPlaces, TextsThatFitKeepTheirFixedPlaces)
{
    // Head 300 px from L - 80 ends at L + 220, before the values at L + 250 + 100.
    const ReadoutPlaces places = PlaceReadout(L, 100, {300, 60, 60, 60, 120}, 5, 8);
    EXPECT_EQ(places.x, (std::array<int, 5>{L - 80, L + 350, L + 430, L + 510, L + 590}));
    EXPECT_EQ(places.left, L - 80);
    EXPECT_EQ(places.right, L + 590 + 120);
    // A text may end exactly a gap before the next place.
    EXPECT_EQ(PlaceReadout(L, 100, {422, 72, 60, 60, 120}, 5, 8).x,
              (std::array<int, 5>{L - 80, L + 350, L + 430, L + 510, L + 590}));
}

TEST(ReadoutPlaces, ALongTextPushesTheNextOnesOnlyAsFarAsNeeded)
{
    // A seven-digit point number with milliseconds: the head ends at L + 380.
    ReadoutPlaces places = PlaceReadout(L, 100, {460, 60, 60, 60, 120}, 5, 8);
    EXPECT_EQ(places.x[1], L + 388);
    EXPECT_EQ(places.x[2], L + 456);  // X ends at L + 448
    EXPECT_EQ(places.x[3], L + 524);
    EXPECT_EQ(places.x[4], L + 592);
    EXPECT_EQ(places.right, L + 712);

    // Short values after a long head catch up with their fixed places.
    places = PlaceReadout(L, 100, {440, 40, 40, 40, 40}, 5, 8);
    EXPECT_EQ(places.x[1], L + 368);
    EXPECT_EQ(places.x[2], L + 430);
    EXPECT_EQ(places.x[3], L + 510);

    // The gap is measured from the last text that is not empty.
    places = PlaceReadout(L, 100, {460, 0, 60, 60, 120}, 5, 8);
    EXPECT_EQ(places.x[2], L + 430);
    places = PlaceReadout(L, 100, {560, 0, 60, 60, 120}, 5, 8);
    EXPECT_EQ(places.x[1], L + 488);
    EXPECT_EQ(places.x[2], L + 488);
}

TEST(ReadoutPlaces, FrequencyModeLeavesOutTheVectorSumAndEmptyTextsNeedNoRoom)
{
    ReadoutPlaces places = PlaceReadout(L, 100, {300, 60, 60, 60, 500}, 4, 8);
    EXPECT_EQ(places.right, L + 510 + 60);
    EXPECT_EQ(places.x[4], L + 590);

    // Nothing to read out yet: the line covers nothing.
    places = PlaceReadout(L, 100, {0, 0, 0, 0, 0}, 5, 8);
    EXPECT_EQ(places.right, places.left);
    EXPECT_EQ(places.x, (std::array<int, 5>{L - 80, L + 350, L + 430, L + 510, L + 590}));
}

}  // namespace
}  // namespace shakemeter
