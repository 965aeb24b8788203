// The spectrum reading's store: every capture kept, the running mean and max hold against a
// computation over the stored lines and against one Welch estimate of all captures; the Grms of a
// pure tone, and a capture's line in g and in m/s^2 against the tone's known density.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include <gtest/gtest.h>

#include "analysis/vibration/CaptureHistory.h"

namespace {

using namespace shakemeter;
using namespace shakemeter::vibration;

constexpr double kFs = 256.0;

std::vector<SampleRow> Noise(std::mt19937& random, std::size_t count = 256)
{
    std::normal_distribution<double> g(0.0, 0.3);
    std::vector<SampleRow> rows(count);
    for (SampleRow& r : rows)
        r = {g(random), 0.5 * g(random), 1.0 + 2.0 * g(random), 0.0};
    return rows;
}

std::vector<SampleRow> Tone(double hz, double amplitude, std::size_t count = 256)
{
    std::vector<SampleRow> rows(count);
    for (std::size_t n = 0; n < count; ++n) {
        const double v = amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(n) / kFs + 0.3);
        rows[n] = {v, 0.0, 1.0, 0.0};
    }
    return rows;
}

TEST(CaptureHistory, RunningMeanAndMaxHoldEqualTheirComputationOverEveryCapture)
{
    std::mt19937 random(11);
    CaptureHistory history;
    WelchPsd pooled(256);
    std::vector<std::vector<SampleRow>> captures;
    for (int c = 0; c < 25; ++c) {
        captures.push_back(Noise(random));
        ASSERT_TRUE(history.Append(captures.back().data(), 256, kFs));
        pooled.AddSegments(captures.back().data(), RowRange{0, 255});
    }
    ASSERT_EQ(history.size(), 25u);
    const PsdResult& average = history.Average();
    const PsdResult direct = pooled.Result(kFs);
    EXPECT_EQ(average.segments, 25u);
    for (int axis = 0; axis < 3; ++axis) {
        for (std::size_t k = 0; k < history.bins(); ++k) {
            double sum = 0.0;
            double peak = 0.0;
            for (std::size_t i = 0; i < history.size(); ++i) {
                sum += history.Line(i, axis)[k];
                peak = std::max(peak, history.Line(i, axis)[k]);
            }
            EXPECT_NEAR(average.axes[axis].psd[k], sum / 25.0, 1e-12 * (1.0 + sum)) << axis << " " << k;
            EXPECT_NEAR(average.axes[axis].maxHold[k], peak, 1e-12 * (1.0 + peak)) << axis << " " << k;
            EXPECT_DOUBLE_EQ(average.axes[axis].psd[k], direct.axes[axis].psd[k]);
        }
        EXPECT_DOUBLE_EQ(average.axes[axis].grms, direct.axes[axis].grms);
    }
    // The last capture alone is a one-segment estimate of its own rows.
    WelchPsd alone(256);
    alone.AddSegments(captures.back().data(), RowRange{0, 255});
    const PsdResult last = alone.Result(kFs);
    for (int axis = 0; axis < 3; ++axis)
        EXPECT_EQ(history.Last().axes[axis].psd, last.axes[axis].psd);
}

TEST(CaptureHistory, AnHourOfCapturesIsKeptWhole)
{
    std::mt19937 random(5);
    CaptureHistory history;
    std::vector<SampleRow> first;
    std::vector<SampleRow> rows;
    for (int c = 0; c < 1800; ++c) {
        rows = Noise(random);
        if (c == 0)
            first = rows;
        ASSERT_TRUE(history.Append(rows.data(), rows.size(), kFs));
    }
    EXPECT_EQ(history.size(), 1800u);
    for (const auto& [index, capture] : {std::pair{std::size_t{0}, &first}, std::pair{std::size_t{1799}, &rows}}) {
        WelchPsd alone(256);
        alone.AddSegments(capture->data(), RowRange{0, 255});
        const PsdResult expected = alone.Result(kFs);
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_TRUE(
                std::equal(expected.axes[axis].psd.begin(), expected.axes[axis].psd.end(), history.Line(index, axis)))
                << index << " " << axis;
    }
}

TEST(CaptureHistory, GrmsOfAToneIsItsRms)
{
    // On a bin and between two bins: the Hann window spreads the tone, the sum keeps its power.
    for (double hz : {32.0, 30.5, 7.25}) {
        CaptureHistory history;
        const std::vector<SampleRow> rows = Tone(hz, 0.8);
        for (int c = 0; c < 3; ++c)
            ASSERT_TRUE(history.Append(rows.data(), rows.size(), kFs));
        const PsdResult& r = history.Average();
        EXPECT_DOUBLE_EQ(r.df, 1.0);
        EXPECT_NEAR(r.axes[0].grms, 0.8 / std::sqrt(2.0), 0.02 * 0.8 / std::sqrt(2.0)) << hz;
        EXPECT_LT(r.axes[2].grms, 1e-9) << "a constant has no density beyond its mean";
        const auto peak = std::max_element(r.axes[0].psd.begin(), r.axes[0].psd.end()) - r.axes[0].psd.begin();
        EXPECT_NEAR(r.frequency[static_cast<std::size_t>(peak)], hz, 0.5) << hz;
    }
}

TEST(CaptureHistory, AWaterfallLineInEitherUnitIsTheKnownDensityOfATone)
{
    // A tone of amplitude A on a bin, Hann-windowed over N samples at fs: A^2 N / (3 fs) in its bin,
    // a quarter of that in each neighbour and nothing elsewhere; in m/s^2 each value is the same
    // density times standard gravity squared.
    CaptureHistory history;
    const std::vector<SampleRow> rows = Tone(32.0, 0.8);
    ASSERT_TRUE(history.Append(rows.data(), rows.size(), kFs));
    const double peak = 0.8 * 0.8 * 256.0 / (3.0 * kFs);
    for (const auto& [unit, scale] :
         {std::pair{Unit::G, 1.0}, std::pair{Unit::MetresPerSecondSquared, 9.80665 * 9.80665}}) {
        const std::vector<double> line = DensitiesInUnit(history.Line(0, 0), history.bins(), unit);
        ASSERT_EQ(line.size(), 129u);
        for (std::size_t k = 0; k < line.size(); ++k) {
            const double expected = k == 32 ? peak : (k == 31 || k == 33) ? peak / 4.0 : 0.0;
            EXPECT_NEAR(line[k], expected * scale, 1e-9 * peak * scale) << UnitName(unit) << " bin " << k;
        }
    }
}

TEST(CaptureHistory, ACaptureThatDoesNotFitIsRefusedAndClearStartsAgain)
{
    std::mt19937 random(3);
    CaptureHistory history;
    const std::vector<SampleRow> rows = Noise(random, 300);
    EXPECT_FALSE(history.Append(rows.data(), 255, kFs));
    EXPECT_FALSE(history.Append(nullptr, 256, kFs));
    EXPECT_FALSE(history.Append(rows.data(), 256, 0.0));
    EXPECT_TRUE(history.empty());
    // A longer capture is transformed over its first 256 rows.
    ASSERT_TRUE(history.Append(rows.data(), 300, kFs));
    // Captures of one reading share a rate: the mean of two rates would be no density at all.
    EXPECT_FALSE(history.Append(rows.data(), 256, 512.0));
    EXPECT_EQ(history.size(), 1u);
    EXPECT_EQ(history.Average().segments, 1u);

    history.Clear();
    EXPECT_TRUE(history.empty());
    ASSERT_TRUE(history.Append(rows.data(), 256, 512.0));
    EXPECT_EQ(history.Average().segments, 1u);
    EXPECT_DOUBLE_EQ(history.Average().fs, 512.0);
}

}  // namespace
