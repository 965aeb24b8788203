#include "analysis/report/DataListColumns.h"

#include <algorithm>

namespace shakemeter {

namespace {

constexpr std::array<DataListColumn, DATA_LIST_COLUMNS> kTimeColumns{{
    {"No.  ", 50},
    {"Time           ", 200},
    {"X Value", 130},
    {"Y Value", 130},
    {"Z Value", 130},
    {"Vector Sum", 130},
    {"Unit", 130},
}};

constexpr std::array<DataListColumn, DATA_LIST_COLUMNS> kFrequencyColumns{{
    {"No.  ", 50},
    {"Frequency(HZ)  ", 200},
    {"X Value", 130},
    {"Y Value", 130},
    {"Z Value", 130},
    {"", 0},
    {"", 0},
}};

}  // namespace

const std::array<DataListColumn, DATA_LIST_COLUMNS>& DataListColumnsFor(bool frequencyMode)
{
    return frequencyMode ? kFrequencyColumns : kTimeColumns;
}

int DataListNumberWidth(int rowCount, int digitWidth, int padding)
{
    int digits = 1;
    for (int n = std::max(rowCount, 1); n >= 10; n /= 10)
        ++digits;
    return std::max(kTimeColumns[0].width, digits * std::max(digitWidth, 0) + std::max(padding, 0));
}

}  // namespace shakemeter
