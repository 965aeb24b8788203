// Block extremes of long recordings: whatever run of rows is asked for, the extremes and their
// rows must be those a row-by-row scan finds, ties, NaNs, signed zeros and infinities included,
// and an index must never be used for rows it does not describe.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "recording/Recording.h"
#include "recording/RowExtremes.h"

namespace shakemeter {
namespace {

ColumnExtremes Start(double low, double high, std::int64_t row)
{
    ColumnExtremes e;
    e.minimum.fill(low);
    e.maximum.fill(high);
    e.minimumRow.fill(row);
    e.maximumRow.fill(row);
    return e;
}

bool Same(const ColumnExtremes& a, const ColumnExtremes& b)
{
    return std::memcmp(a.minimum.data(), b.minimum.data(), sizeof a.minimum) == 0 &&
           std::memcmp(a.maximum.data(), b.maximum.data(), sizeof a.maximum) == 0 && a.minimumRow == b.minimumRow &&
           a.maximumRow == b.maximumRow;
}

TEST(RowExtremes, AnyRunOfRowsGivesWhatAScanGives)
{
    // Few distinct values, so extremes repeat within and across blocks; the odd special value.
    const double inf = std::numeric_limits<double>::infinity();
    const double specials[] = {std::nan(""), 0.0, -0.0, inf, -inf, 50000.0, -50000.0};
    std::mt19937 random(3);
    const std::size_t count = 64 * 40 + 17;
    std::vector<SampleRow> rows(count);
    for (SampleRow& row : rows) {
        for (double& value : row) {
            const int pick = std::uniform_int_distribution<int>(0, 99)(random);
            value = pick < 4 ? specials[std::uniform_int_distribution<int>(0, 6)(random)]
                             : std::uniform_int_distribution<int>(-5, 5)(random) * 0.25;
        }
    }
    const RowExtremes index(rows.data(), rows.size());
    for (int trial = 0; trial < 3000; ++trial) {
        std::size_t first = std::uniform_int_distribution<std::size_t>(0, count)(random);
        std::size_t end = std::uniform_int_distribution<std::size_t>(0, count)(random);
        if (trial % 3 == 0)
            first -= first % 64;  // runs starting or ending on a block edge
        if (trial % 5 == 0)
            end -= end % 64;
        if (first > end)
            std::swap(first, end);
        // The drawing's sentinels, and a start from the infinities.
        for (const ColumnExtremes& start : {Start(50000.0, -50000.0, 7), Start(inf, -inf, -1)}) {
            ColumnExtremes scanned = start;
            scanned.FoldRows(rows.data(), first, end);
            ColumnExtremes folded = start;
            index.Fold(rows.data(), first, end, folded);
            ASSERT_TRUE(Same(folded, scanned)) << "rows " << first << ".." << end;
        }
    }
}

TEST(RowExtremes, TheFirstRowOfARepeatedExtremeIsKept)
{
    std::vector<SampleRow> rows(64 * 4, SampleRow{1, 1, 1, 1});
    rows[70] = {-2, 3, -0.0, 1};  // in block 1
    rows[140] = {-2, 3, 0.0, 1};  // the same extremes again in block 2
    rows[10] = {0, 0, 0, 9};      // before the whole blocks of the run below
    const RowExtremes index(rows.data(), rows.size());
    ColumnExtremes e = Start(50000.0, -50000.0, 5);
    index.Fold(rows.data(), 6, 250, e);
    EXPECT_EQ(e.minimumRow[0], 70);
    EXPECT_EQ(e.maximumRow[1], 70);
    EXPECT_EQ(e.minimumRow[2], 10);  // 0 at row 10 comes before -0.0 at 70, which is not lower
    EXPECT_EQ(e.maximumRow[3], 10);
    EXPECT_EQ(e.minimum[0], -2.0);
}

TEST(RowExtremes, AnIndexIsOnlyUsedForTheRowsItDescribes)
{
    Recording recording;
    const std::size_t count = RowExtremes::MINIMUM_ROWS;
    recording.m_pSamples.assign(count, SampleRow{1, 2, 3, 4});
    recording.m_header.dwSampleCount = static_cast<std::uint32_t>(count);
    const RowExtremes* index = recording.RowExtremesIndex();
    ASSERT_NE(index, nullptr);
    EXPECT_TRUE(index->Describes(recording.m_pSamples.data(), count));
    EXPECT_FALSE(index->Describes(recording.m_pSamples.data(), count - 1));

    // A sampled row changed in place: the index no longer describes the rows and is made again.
    recording.m_pSamples[count - 1][2] = 9.0;
    EXPECT_FALSE(index->Describes(recording.m_pSamples.data(), count));
    const RowExtremes* again = recording.RowExtremesIndex();
    ASSERT_NE(again, nullptr);
    ColumnExtremes e = Start(50000.0, -50000.0, 0);
    again->Fold(recording.m_pSamples.data(), 0, count, e);
    EXPECT_EQ(e.maximum[2], 9.0);
    EXPECT_EQ(e.maximumRow[2], static_cast<std::int64_t>(count - 1));

    // A copy has rows of its own; a recording replaced by assignment brings no index along.
    const Recording copy = recording;
    const RowExtremes* copied = copy.RowExtremesIndex();
    ASSERT_NE(copied, nullptr);
    EXPECT_TRUE(copied->Describes(copy.m_pSamples.data(), count));
    Recording fresh;
    fresh.m_pSamples.assign(count, SampleRow{-1, -1, -1, -1});
    fresh.m_header.dwSampleCount = static_cast<std::uint32_t>(count);
    recording = std::move(fresh);
    ASSERT_NE(recording.RowExtremesIndex(), nullptr);
    ColumnExtremes f = Start(50000.0, -50000.0, 0);
    recording.RowExtremesIndex()->Fold(recording.m_pSamples.data(), 0, count, f);
    EXPECT_EQ(f.minimum[0], -1.0);

    // Short recordings and real-time readings are scanned directly.
    recording.m_header.dwSampleCount = static_cast<std::uint32_t>(count - 1);
    EXPECT_EQ(recording.RowExtremesIndex(), nullptr);
    recording.m_header.dwSampleCount = static_cast<std::uint32_t>(count);
    recording.m_bRealTime = 1;
    EXPECT_EQ(recording.RowExtremesIndex(), nullptr);
}

}  // namespace
}  // namespace shakemeter
