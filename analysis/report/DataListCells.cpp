#include "analysis/report/DataListCells.h"

#include <algorithm>

#include "analysis/report/DataListColumns.h"
#include "recording/FixedText.h"

namespace shakemeter {

int DataListCells::RowCount() const
{
    return std::max(m_view.m_nShownCount, 0);
}

std::string DataListCells::CellText(int row, int column) const
{
    std::string text;
    AppendCellText(text, row, column);
    return text;
}

void DataListCells::AppendCellText(std::string& out, int row, int column) const
{
    if (row < 0 || column < 0 || column >= DATA_LIST_COLUMNS)
        return;
    const auto r = static_cast<std::size_t>(row);
    if (m_view.m_bFrequencyMode) {
        if (r >= m_view.m_pSpectrum.size())
            return;
        const SampleRow& bin = m_view.m_pSpectrum[r];
        switch (column) {
        case 0:
            AppendDecimal(out, static_cast<std::int64_t>(row) + 1);
            break;
        case 1:
            // Bin r lies at r Hz.
            AppendFixed2(out, static_cast<double>(row));
            break;
        case 2:
        case 3:
        case 4:
            AppendFixed2(out, bin[static_cast<std::size_t>(column - 2)]);
            break;
        default:
            break;  // the vector sum has no spectrum, and the unit column is hidden
        }
        return;
    }
    if (r >= m_document.RowCount())
        return;
    const SampleRow& sample = m_document.m_pSamples[r];
    switch (column) {
    case 0:
        AppendDecimal(out, static_cast<std::int64_t>(row) + 1);
        break;
    case 1:
        m_view.AppendSampleTime(out, m_document, row);
        break;
    case 6:
        out += 'g';
        break;
    default:
        AppendFixed2(out, sample[static_cast<std::size_t>(column - 2)]);
        break;
    }
}

}  // namespace shakemeter
