#pragma once
// The magnitude spectrum of a 256-sample capture: one table row per bin, bin k at k Hz.

#include <array>
#include <cstddef>

namespace shakemeter {

// One row of four doubles: X, Y, Z and (for samples) the vector sum. The same type as the
// recording's SampleRow, so the recording's rows are passed without copying.
using SpectrumRow = std::array<double, 4>;

// Transform size and log2 of it.
constexpr int SPECTRUM_FFT_SIZE = 256;
constexpr int SPECTRUM_FFT_ORDER = 8;

// Fills columns 0..2 (X, Y, Z) of the 256 rows of out256 with the unnormalised magnitudes
// |sum_j x_j e^(-2*pi*i*j*k/256)| of the first 256 rows. With fewer rows the missing samples are
// zeros (rows is never read past rowCount); further rows are ignored. Column 3 is not written.
void ComputeSpectrumTable(const SpectrumRow* rows, std::size_t rowCount, SpectrumRow* out256);

}  // namespace shakemeter
