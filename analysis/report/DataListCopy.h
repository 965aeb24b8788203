#pragma once
// The data list's rows as tab-separated text for the clipboard: a line of the column headings,
// then a line per row, each cell the list's own text without the blanks that align it. Columns
// the list gives no width (the sum and unit columns in frequency mode) are left out.

#include <string>
#include <vector>

#include "analysis/report/DataListCells.h"

namespace shakemeter {

// rows: 0-based row numbers in any order, each copied once, in row order; rows outside the list
// are passed over.
std::string DataListCopyText(const DataListCells& cells, std::vector<int> rows);

}  // namespace shakemeter
