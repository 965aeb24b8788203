// The real-time window table: the sizes a reading's window passes through as it grows.

#include <gtest/gtest.h>

#include "recording/RtWindowTable.h"

namespace shakemeter {
namespace {

TEST(RealTimeWindow, TableGrowsByElevenTwelfths)
{
    EXPECT_EQ(BuildRtWindowTable(1000, 160), (std::vector<int>{100, 109, 118, 128, 139, 151, 164}));
    EXPECT_EQ(BuildRtWindowTable(900, 110)[1], 108);
    EXPECT_EQ(BuildRtWindowTable(1000, 100000).size(), 82u);
    EXPECT_GE(BuildRtWindowTable(1000, 100000).back(), 100000);
    EXPECT_EQ(BuildRtWindowTable(1000, 5).size(), 2u);
    EXPECT_EQ(BuildRtWindowTable(0, 1000).size(), 2u);  // no width: ends instead of looping
}

}  // namespace
}  // namespace shakemeter
