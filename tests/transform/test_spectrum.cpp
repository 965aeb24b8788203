#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <type_traits>
#include <vector>

#include "transform/Spectrum.h"
#include "recording/Recording.h"

namespace shakemeter {
namespace {

// The recording's rows go to the spectrum without a copy, so the two row types must be one.
static_assert(std::is_same_v<SpectrumRow, SampleRow>);

constexpr double kTrueTwoPi = 6.283185307179586;

std::vector<SpectrumRow> Table(const std::vector<SpectrumRow>& rows, double column3 = 0.0)
{
    std::vector<SpectrumRow> out(256, SpectrumRow{0.0, 0.0, 0.0, column3});
    ComputeSpectrumTable(rows.data(), rows.size(), out.data());
    return out;
}

TEST(SpectrumTable, EachAxisGetsItsOwnSpectrum)
{
    // X at rest under gravity, Y a 10 Hz cosine, Z silent: a transform that reused its consumed
    // input arrays for Y and Z would show the twiddle table's spectrum there. Rows past 256 and
    // the vector sum never count; column 3 is not written.
    std::vector<SpectrumRow> rows(300, SpectrumRow{100.0, 100.0, 100.0, 0.0});
    for (int j = 0; j < 256; ++j) {
        rows[j] = {1.0, 0.5 * std::cos(kTrueTwoPi * 10 * j / 256), 0.0, 9.9};
    }
    const auto out = Table(rows, -7.0);
    for (int k = 0; k < 256; ++k) {
        EXPECT_NEAR(out[k][0], k == 0 ? 256.0 : 0.0, 1e-9) << k;
        EXPECT_NEAR(out[k][1], k == 10 || k == 246 ? 64.0 : 0.0, 1e-6) << k;
        EXPECT_EQ(out[k][2], 0.0) << k;
        EXPECT_EQ(out[k][3], -7.0) << k;
    }
}

TEST(SpectrumTable, ShortRecordingIsPaddedWithZeros)
{
    // Exactly 10 rows allocated: reading row 10 or beyond is caught by the sanitizer build.
    std::vector<SpectrumRow> rows(10);
    for (int j = 0; j < 10; ++j) {
        rows[j] = {0.2 * j - 0.5, 1.0, 0.0, 0.0};
    }
    const auto out = Table(rows);
    for (int k = 0; k < 256; ++k) {
        std::complex<double> sum = 0.0;
        for (int j = 0; j < 10; ++j) {
            sum += rows[j][0] * std::polar(1.0, -kTrueTwoPi * ((j * k) % 256) / 256);
        }
        // The short circle constant moves each value by < 1.2e-9 per unit of input (here 5.8).
        EXPECT_NEAR(out[k][0], std::abs(sum), 7e-9) << k;
    }
    EXPECT_NEAR(out[0][1], 10.0, 1e-12);

    std::vector<SpectrumRow> none(256, SpectrumRow{4.0, 4.0, 4.0, 4.0});
    ComputeSpectrumTable(nullptr, 100, none.data());
    EXPECT_EQ(none[0], (SpectrumRow{0.0, 0.0, 0.0, 4.0}));
}

}  // namespace
}  // namespace shakemeter
