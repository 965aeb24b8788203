#include "recording/RowExtremes.h"

#include <cstring>
#include <limits>

namespace shakemeter {

namespace {

ColumnExtremes Unset()
{
    ColumnExtremes e;
    e.minimum.fill(std::numeric_limits<double>::infinity());
    e.maximum.fill(-std::numeric_limits<double>::infinity());
    e.minimumRow.fill(-1);
    e.maximumRow.fill(-1);
    return e;
}

}  // namespace

RowExtremes::RowExtremes(const SampleRow* rows, std::size_t count)
    : m_rows(rows), m_count(count), m_fingerprint(Fingerprint(rows, count))
{
    m_blocks.resize(count / BLOCK_ROWS, Unset());
    for (std::size_t b = 0; b < m_blocks.size(); ++b)
        m_blocks[b].FoldRows(rows, b * BLOCK_ROWS, (b + 1) * BLOCK_ROWS);
}

std::array<SampleRow, RowExtremes::FINGERPRINT_ROWS> RowExtremes::Fingerprint(const SampleRow* rows,
                                                                              std::size_t count) const
{
    std::array<SampleRow, FINGERPRINT_ROWS> sampled{};
    if (count == 0)
        return sampled;
    for (std::size_t i = 0; i < FINGERPRINT_ROWS; ++i)
        sampled[i] = rows[(count - 1) * i / (FINGERPRINT_ROWS - 1)];
    return sampled;
}

bool RowExtremes::Describes(const SampleRow* rows, std::size_t count) const
{
    if (rows != m_rows || count != m_count)
        return false;
    // Bit for bit: a NaN or a signed zero must compare as what it is.
    const auto sampled = Fingerprint(rows, count);
    return std::memcmp(sampled.data(), m_fingerprint.data(), sizeof sampled) == 0;
}

void RowExtremes::Fold(const SampleRow* rows, std::size_t first, std::size_t end, ColumnExtremes& extremes) const
{
    if (end > m_count)
        end = m_count;
    if (first >= end)
        return;
    // Rows before the first whole block, the whole blocks, then the rows after them. A block's
    // extreme is the first row of its extreme value, so taking it only when strictly beyond the
    // running extreme keeps the first row over all of them, as a scan does.
    const std::size_t firstBlock = (first + BLOCK_ROWS - 1) / BLOCK_ROWS;
    const std::size_t endBlock = end / BLOCK_ROWS;
    if (firstBlock >= endBlock) {
        extremes.FoldRows(rows, first, end);
        return;
    }
    extremes.FoldRows(rows, first, firstBlock * BLOCK_ROWS);
    for (std::size_t b = firstBlock; b < endBlock; ++b) {
        const ColumnExtremes& block = m_blocks[b];
        for (std::size_t c = 0; c < 4; ++c) {
            const bool lower = block.minimum[c] < extremes.minimum[c];
            const bool higher = block.maximum[c] > extremes.maximum[c];
            extremes.minimum[c] = lower ? block.minimum[c] : extremes.minimum[c];
            extremes.minimumRow[c] = lower ? block.minimumRow[c] : extremes.minimumRow[c];
            extremes.maximum[c] = higher ? block.maximum[c] : extremes.maximum[c];
            extremes.maximumRow[c] = higher ? block.maximumRow[c] : extremes.maximumRow[c];
        }
    }
    extremes.FoldRows(rows, endBlock * BLOCK_ROWS, end);
}

}  // namespace shakemeter
