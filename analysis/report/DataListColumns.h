#pragma once
// The seven columns of the data list in either graph mode: heading texts, widths in pixels.
// The blanks that end some headings are meant: the printed list spaces its columns by the
// headings' lengths. In frequency mode the vector sum and unit columns stay, empty and zero wide.

#include <array>
#include <string_view>

namespace shakemeter {

constexpr int DATA_LIST_COLUMNS = 7;

struct DataListColumn {
    std::string_view heading;
    int width = 0;
};

// The columns in display order; column c shows sub-item c.
const std::array<DataListColumn, DATA_LIST_COLUMNS>& DataListColumnsFor(bool frequencyMode);

// The width of the "No." column for a list of rowCount rows: its given width, or wider when the
// highest row number (rowCount digits of at most digitWidth pixels, plus the cell's padding)
// would not fit.
int DataListNumberWidth(int rowCount, int digitWidth, int padding);

}  // namespace shakemeter
