#pragma once
// Where the four columns of a long recording reach their extremes, block by block, so that the
// extremes of any run of rows can be found from a few rows at its ends and the blocks between:
// drawing a recording of millions of rows then costs what its width costs, not what its length
// costs. The answers are exactly those of a row-by-row scan with strict comparisons, which keeps
// the first row of a repeated extreme.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace shakemeter {

using SampleRow = std::array<double, 4>;

// The running extremes of a scan: values and rows per column.
struct ColumnExtremes {
    std::array<double, 4> minimum{};
    std::array<double, 4> maximum{};
    std::array<std::int64_t, 4> minimumRow{};
    std::array<std::int64_t, 4> maximumRow{};

    // Rows first..end-1 folded in one by one: a value replaces an extreme only when strictly
    // beyond it (a NaN never does).
    void FoldRows(const SampleRow* rows, std::size_t first, std::size_t end)
    {
        for (std::size_t r = first; r < end; ++r) {
            const SampleRow& row = rows[r];
            // Selections rather than branches: noisy values would mispredict every other row.
            for (std::size_t c = 0; c < 4; ++c) {
                const double value = row[c];
                const bool lower = value < minimum[c];
                const bool higher = value > maximum[c];
                minimum[c] = lower ? value : minimum[c];
                minimumRow[c] = lower ? static_cast<std::int64_t>(r) : minimumRow[c];
                maximum[c] = higher ? value : maximum[c];
                maximumRow[c] = higher ? static_cast<std::int64_t>(r) : maximumRow[c];
            }
        }
    }
};

class RowExtremes {
public:
    static constexpr std::size_t BLOCK_ROWS = 64;
    // Shorter recordings are scanned directly: the index would not pay for itself.
    static constexpr std::size_t MINIMUM_ROWS = std::size_t{1} << 18;

    RowExtremes(const SampleRow* rows, std::size_t count);

    // Whether the index still describes these rows: the same array, length and sampled content.
    bool Describes(const SampleRow* rows, std::size_t count) const;

    // Rows first..end-1 (end <= the count indexed) folded into the running extremes, with the
    // result a row-by-row FoldRows would give.
    void Fold(const SampleRow* rows, std::size_t first, std::size_t end, ColumnExtremes& extremes) const;

private:
    static constexpr std::size_t FINGERPRINT_ROWS = 16;
    std::array<SampleRow, FINGERPRINT_ROWS> Fingerprint(const SampleRow* rows, std::size_t count) const;

    const SampleRow* m_rows = nullptr;
    std::size_t m_count = 0;
    std::array<SampleRow, FINGERPRINT_ROWS> m_fingerprint{};
    std::vector<ColumnExtremes> m_blocks;  // each from +-infinity over its BLOCK_ROWS rows
};

}  // namespace shakemeter
