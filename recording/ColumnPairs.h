#pragma once
// The four columns of a row as two pairs of neighbouring columns (X with Y, Z with the vector
// sum), each pair the width of the vector register every x86-64 processor has, so that a loop
// over rows works on two columns per step. Every column keeps a lane of its own: adding pairs
// adds each column exactly as a scalar addition would, rows in the same order.

#include <cstddef>
#include <cstring>

#include "recording/RowExtremes.h"

namespace shakemeter {

typedef double ColumnPair __attribute__((vector_size(16)));

struct RowLanes {
    ColumnPair lo;  // X, Y
    ColumnPair hi;  // Z, vector sum
};

inline RowLanes LoadRow(const SampleRow& row)
{
    RowLanes v;
    std::memcpy(&v.lo, row.data(), sizeof v.lo);
    std::memcpy(&v.hi, row.data() + 2, sizeof v.hi);
    return v;
}

inline void StoreRow(double* out, const RowLanes& v)
{
    std::memcpy(out, &v.lo, sizeof v.lo);
    std::memcpy(out + 2, &v.hi, sizeof v.hi);
}

inline RowLanes Splat(double value)
{
    return {ColumnPair{value, value}, ColumnPair{value, value}};
}

// A NaN in a is passed over (the second operand wins when they are unordered), as a row-by-row
// comparison passes over it.
inline ColumnPair PairMax(ColumnPair a, ColumnPair b)
{
    return a > b ? a : b;
}

inline ColumnPair PairMin(ColumnPair a, ColumnPair b)
{
    return a < b ? a : b;
}

// The last of rows first..end-1 whose column holds value (compared with ==, so either zero
// matches the other); first when none does, as for a block of nothing but NaN.
inline std::size_t LastRowHolding(const SampleRow* rows, std::size_t first, std::size_t end, std::size_t column,
                                  double value)
{
    std::size_t i = end - 1;
    while (i > first && rows[i][column] != value)
        --i;
    return i;
}

}  // namespace shakemeter
