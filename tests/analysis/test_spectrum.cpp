#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "analysis/Spectrum.h"

namespace shakemeter {
namespace {

constexpr double kTrueTwoPi = 6.283185307179586;

double DirectMagnitude(const std::vector<double>& x, int bin)
{
    std::complex<double> sum = 0.0;
    for (std::size_t j = 0; j < x.size(); ++j) {
        sum += x[j] * std::polar(1.0, -kTrueTwoPi * static_cast<double>((j * bin) % 256) / 256.0);
    }
    return std::abs(sum);
}

std::vector<SpectrumRow> Table(const std::vector<SpectrumRow>& rows, double column3 = 0.0)
{
    std::vector<SpectrumRow> out(256, SpectrumRow{0.0, 0.0, 0.0, column3});
    ComputeSpectrumTable(rows.data(), rows.size(), out.data());
    return out;
}

TEST(SpectrumTable, EachAxisGetsItsOwnSpectrum)
{
    // X at rest under gravity, Y a 10 Hz cosine, Z silent: a transform that reused its
    // consumed input arrays for Y and Z would show X's or the twiddle table's spectrum there.
    std::vector<SpectrumRow> rows(256);
    for (int j = 0; j < 256; ++j) {
        rows[j] = {1.0, 0.5 * std::cos(kTrueTwoPi * 10 * j / 256), 0.0, 9.9};
    }
    const auto out = Table(rows);
    EXPECT_NEAR(out[0][0], 256.0, 1e-9);
    EXPECT_NEAR(out[10][1], 64.0, 1e-6);
    EXPECT_NEAR(out[246][1], 64.0, 1e-6);
    EXPECT_NEAR(out[0][1], 0.0, 1e-6);
    for (int k = 0; k < 256; ++k) {
        if (k != 0) {
            EXPECT_NEAR(out[k][0], 0.0, 1e-9) << k;
        }
        if (k != 10 && k != 246) {
            EXPECT_NEAR(out[k][1], 0.0, 1e-6) << k;
        }
        EXPECT_EQ(out[k][2], 0.0) << k;
    }
}

TEST(SpectrumTable, VectorSumColumnIsNotWritten)
{
    std::vector<SpectrumRow> rows(256, SpectrumRow{0.1, 0.2, 0.3, 5.0});
    const auto out = Table(rows, 0.0);
    for (const auto& row : out) {
        EXPECT_EQ(row[3], 0.0);
    }
    const auto marked = Table(rows, -7.0);
    EXPECT_EQ(marked[17][3], -7.0);
}

TEST(SpectrumTable, ShortRecordingIsPaddedWithZeros)
{
    // Exactly 10 rows allocated: reading row 10 or beyond is caught by the sanitizer build.
    std::vector<SpectrumRow> rows(10);
    std::vector<double> padded(256, 0.0);
    for (int j = 0; j < 10; ++j) {
        rows[j] = {0.2 * j - 0.5, 1.0, 0.0, 0.0};
        padded[j] = rows[j][0];
    }
    const auto out = Table(rows);
    // The transform's short circle constant moves each value by less than 1.2e-9 per unit of
    // the input's total magnitude (here 5.8).
    for (int k = 0; k < 256; ++k) {
        EXPECT_NEAR(out[k][0], DirectMagnitude(padded, k), 7e-9) << k;
    }
    EXPECT_NEAR(out[0][1], 10.0, 1e-12);
}

TEST(SpectrumTable, OnlyTheFirst256RowsCount)
{
    std::vector<SpectrumRow> rows(300, SpectrumRow{1.0, 0.0, 0.0, 0.0});
    for (int j = 256; j < 300; ++j) {
        rows[j] = {100.0, 100.0, 100.0, 0.0};
    }
    const auto out = Table(rows);
    EXPECT_NEAR(out[0][0], 256.0, 1e-9);
    EXPECT_EQ(out[0][1], 0.0);
}

TEST(SpectrumTable, NoRowsGiveAZeroSpectrum)
{
    std::vector<SpectrumRow> out(256, SpectrumRow{4.0, 4.0, 4.0, 4.0});
    ComputeSpectrumTable(nullptr, 100, out.data());
    for (const auto& row : out) {
        EXPECT_EQ(row, (SpectrumRow{0.0, 0.0, 0.0, 4.0}));
    }
    ComputeSpectrumTable(out.data(), 256, nullptr);  // nowhere to write: returns
}

}  // namespace
}  // namespace shakemeter
