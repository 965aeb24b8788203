// Welch PSD and Grms: a quantised sine in a spectrum capture, white noise, and the whole estimate
// against a direct DFT evaluated here on random data, pooled over two row sets.

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>

#include <gtest/gtest.h>

#include "analysis/vibration/VibrationFixtures.h"
#include "analysis/vibration/WelchPsd.h"

namespace {

using namespace shakemeter;
using namespace shakemeter::vibration;
using namespace shakemeter::testing;

// The estimate straight from its definition: O(L^2) per segment, no FFT.
struct DirectEstimate {
    std::vector<double> psd;
    std::vector<double> maxHold;
    std::size_t segments = 0;
};

void AddDirect(DirectEstimate& e, const std::vector<SampleRow>& rows, std::size_t from, std::size_t to, int axis,
               std::size_t L, double fs)
{
    e.psd.resize(L / 2 + 1, 0.0);
    e.maxHold.resize(L / 2 + 1, 0.0);
    double windowPower = 0.0;
    std::vector<double> w(L);
    for (std::size_t n = 0; n < L; ++n) {
        w[n] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(n) / static_cast<double>(L));
        windowPower += w[n] * w[n];
    }
    for (std::size_t start = from; start + L - 1 <= to; start += L / 2) {
        double mean = 0.0;
        for (std::size_t n = 0; n < L; ++n)
            mean += rows[start + n][axis];
        mean /= static_cast<double>(L);
        for (std::size_t k = 0; k <= L / 2; ++k) {
            std::complex<double> X = 0.0;
            for (std::size_t n = 0; n < L; ++n)
                X += w[n] * (rows[start + n][axis] - mean) *
                     std::polar(1.0, -2 * std::numbers::pi * static_cast<double>(k * n % L) / static_cast<double>(L));
            double P = std::norm(X) / (fs * windowPower);
            if (k > 0 && k < L / 2)
                P *= 2;
            e.psd[k] += P;
            e.maxHold[k] = std::max(e.maxHold[k], P);
        }
        ++e.segments;
    }
}

std::vector<SampleRow> RandomRows(std::size_t count, unsigned seed)
{
    std::mt19937_64 random(seed);
    std::normal_distribution<double> noise(0.3, 0.7);
    std::vector<SampleRow> rows(count);
    for (SampleRow& row : rows)
        row = RowWithSum(noise(random), noise(random) * 0.5, 1.0 + noise(random));
    return rows;
}

TEST(WelchPsd, MatchesADirectDftOnRandomData)
{
    const std::size_t L = 64;
    const double fs = 20.0;
    const std::vector<SampleRow> first = RandomRows(700, 11);
    const std::vector<SampleRow> second = RandomRows(300, 12);
    WelchPsd welch(L);
    // Segments start at the range's first row and only full ones count: 7..650 holds 19.
    EXPECT_EQ(welch.AddSegments(first.data(), RowRange{7, 650}), 19u);
    EXPECT_EQ(welch.AddSegments(second.data(), RowRange{0, 299}), 8u);
    const PsdResult result = welch.Result(fs);
    EXPECT_EQ(result.segments, 27u);
    EXPECT_EQ(result.segment, L);
    EXPECT_DOUBLE_EQ(result.df, fs / L);
    ASSERT_EQ(result.frequency.size(), L / 2 + 1);
    EXPECT_DOUBLE_EQ(result.frequency[L / 2], fs / 2);

    for (int axis = 0; axis < 3; ++axis) {
        DirectEstimate direct;
        AddDirect(direct, first, 7, 650, axis, L, fs);
        AddDirect(direct, second, 0, 299, axis, L, fs);
        ASSERT_EQ(direct.segments, 27u);
        double power = 0.0;
        for (std::size_t k = 0; k <= L / 2; ++k) {
            const double expected = direct.psd[k] / 27.0;
            EXPECT_NEAR(result.axes[axis].psd[k], expected, 1e-10 * (1 + expected)) << "axis " << axis << " bin " << k;
            EXPECT_NEAR(result.axes[axis].maxHold[k], direct.maxHold[k], 1e-10 * (1 + direct.maxHold[k]));
            power += expected;
        }
        EXPECT_NEAR(result.axes[axis].grms, std::sqrt(power * fs / L), 1e-10);
    }
}

TEST(WelchPsd, QuantisedSineInASpectrumCapture)
{
    // A 1.00 g sine at 32 Hz on Z over 1 g on X, as a capture stores it (0.01 g steps).
    std::vector<SampleRow> rows;
    for (int n = 0; n < 256; ++n) {
        const double z = Quantised(std::sin(2 * std::numbers::pi * 32.0 * n / 256.0 + 0.3));
        rows.push_back(RowWithSum(1.0, 0.0, z));
    }
    const Recording capture = SpectrumRecording(rows);
    const TimeRows shown = TimeRowsOf(capture);
    ASSERT_EQ(shown.count, 128u);  // the time domain shows the first half of a capture
    ASSERT_DOUBLE_EQ(1.0 / shown.dt, 256.0);

    WelchPsd welch(128);
    EXPECT_EQ(welch.AddSegments(shown.rows, RowRange{0, shown.count - 1}), 1u);
    const PsdResult result = welch.Result(1.0 / shown.dt);
    EXPECT_DOUBLE_EQ(result.df, 2.0);
    const AxisPsd& z = result.axes[2];
    EXPECT_NEAR(z.grms, 0.7071, 0.01);
    const auto peak = std::max_element(z.psd.begin(), z.psd.end()) - z.psd.begin();
    EXPECT_DOUBLE_EQ(result.frequency[static_cast<std::size_t>(peak)], 32.0);
    // A constant axis has no power at all once each segment's mean is taken away.
    EXPECT_NEAR(result.axes[0].grms, 0.0, 1e-12);
    // One segment: its max hold is the estimate.
    EXPECT_EQ(z.maxHold, z.psd);

    // The same in m/s^2: the density scales with the square, Grms with the factor.
    const PsdResult si = result.converted(Unit::MetresPerSecondSquared);
    EXPECT_NEAR(si.axes[2].grms, z.grms * 9.80665, 1e-12);
    EXPECT_NEAR(si.axes[2].psd[16], z.psd[16] * 9.80665 * 9.80665, 1e-12 * si.axes[2].psd[16]);
}

TEST(WelchPsd, WhiteNoiseLevel)
{
    const double sigma = 0.5;
    const double fs = 1000.0;
    std::mt19937_64 random(5);
    std::normal_distribution<double> noise(0.0, sigma);
    std::vector<SampleRow> rows(400000);
    for (SampleRow& row : rows)
        row = RowWithSum(noise(random), noise(random), noise(random));
    WelchPsd welch(256);
    welch.AddSegments(rows.data(), RowRange{0, rows.size() - 1});
    const PsdResult result = welch.Result(fs);
    EXPECT_EQ(result.segments, (rows.size() - 256) / 128 + 1);
    const double expected = 2 * sigma * sigma / fs;
    for (const AxisPsd& axis : result.axes) {
        double mean = 0.0;
        for (std::size_t k = 1; k < 128; ++k)
            mean += axis.psd[k];
        mean /= 127.0;
        EXPECT_NEAR(mean, expected, expected * 0.02);
        EXPECT_NEAR(axis.grms, sigma, sigma * 0.02);
        for (std::size_t k = 0; k <= 128; ++k)
            EXPECT_GE(axis.maxHold[k], axis.psd[k]);
    }
}

TEST(WelchPsd, SegmentLengthsAndCounts)
{
    EXPECT_TRUE(WelchPsd::IsValidSegment(16));
    EXPECT_TRUE(WelchPsd::IsValidSegment(256));
    EXPECT_TRUE(WelchPsd::IsValidSegment(65536));
    EXPECT_FALSE(WelchPsd::IsValidSegment(8));
    EXPECT_FALSE(WelchPsd::IsValidSegment(131072));
    EXPECT_FALSE(WelchPsd::IsValidSegment(100));
    EXPECT_FALSE(WelchPsd::IsValidSegment(0));

    EXPECT_EQ(WelchPsd::SegmentsIn(RowRange{0, 254}, 256), 0u);
    EXPECT_EQ(WelchPsd::SegmentsIn(RowRange{0, 255}, 256), 1u);
    EXPECT_EQ(WelchPsd::SegmentsIn(RowRange{0, 382}, 256), 1u);
    EXPECT_EQ(WelchPsd::SegmentsIn(RowRange{0, 383}, 256), 2u);
    EXPECT_EQ(WelchPsd::SegmentsIn(RowRange{100, 483}, 256), 2u);

    // Rows after the last full segment are not read: changing them changes nothing.
    std::vector<SampleRow> rows = RandomRows(300, 9);
    WelchPsd a(256);
    a.AddSegments(rows.data(), RowRange{0, 299});
    for (std::size_t k = 256; k < 300; ++k)
        rows[k] = SampleRow{50, 50, 50, 50};
    WelchPsd b(256);
    b.AddSegments(rows.data(), RowRange{0, 299});
    EXPECT_EQ(a.Result(100).axes[0].psd, b.Result(100).axes[0].psd);
}

}  // namespace
