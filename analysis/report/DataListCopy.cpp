#include "analysis/report/DataListCopy.h"

#include <algorithm>

#include "analysis/report/DataListColumns.h"

namespace shakemeter {

namespace {

std::string_view Trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string DataListCopyText(const DataListCells& cells, std::vector<int> rows)
{
    const auto& columns = DataListColumnsFor(cells.FrequencyMode());
    std::vector<int> shown;
    for (int c = 0; c < DATA_LIST_COLUMNS; ++c) {
        if (columns[static_cast<std::size_t>(c)].width > 0)
            shown.push_back(c);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    const int count = cells.RowCount();

    std::string out;
    const auto line = [&](auto cellOf) {
        for (std::size_t k = 0; k < shown.size(); ++k) {
            if (k > 0)
                out += '\t';
            out += Trimmed(cellOf(shown[k]));
        }
        out += '\n';
    };
    line([&](int c) { return std::string(columns[static_cast<std::size_t>(c)].heading); });
    for (int row : rows) {
        if (row >= 0 && row < count)
            line([&](int c) { return cells.CellText(row, c); });
    }
    return out;
}

}  // namespace shakemeter
