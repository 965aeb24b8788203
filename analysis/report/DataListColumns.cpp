#include "analysis/report/DataListColumns.h"

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

}  // namespace shakemeter
