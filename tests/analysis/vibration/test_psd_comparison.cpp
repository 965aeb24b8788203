// Two densities compared bin by bin: the ratio of a recording and a scaled copy of it, densities
// of different sampling intervals met by interpolation, zero densities, and the unit switch.

#include <cmath>
#include <functional>
#include <random>

#include <gtest/gtest.h>

#include "analysis/vibration/PsdComparison.h"
#include "analysis/vibration/VibrationFixtures.h"

namespace {

using namespace shakemeter;
using namespace shakemeter::vibration;
using namespace shakemeter::testing;

PsdResult Welch(const std::vector<SampleRow>& rows, std::size_t segment, double fs)
{
    WelchPsd welch(segment);
    welch.AddSegments(rows.data(), RowRange{0, rows.size() - 1});
    return welch.Result(fs);
}

// A density given by a function of frequency, the same on every axis but for a factor per axis.
PsdResult Density(double fs, std::size_t segment, const std::function<double(double)>& f)
{
    PsdResult r;
    r.fs = fs;
    r.segment = segment;
    r.segments = 1;
    r.df = fs / static_cast<double>(segment);
    for (std::size_t k = 0; k <= segment / 2; ++k)
        r.frequency.push_back(static_cast<double>(k) * r.df);
    for (int axis = 0; axis < 3; ++axis) {
        for (double frequency : r.frequency)
            r.axes[axis].psd.push_back((axis + 1) * f(frequency));
        r.axes[axis].grms = axis + 1.0;
    }
    return r;
}

TEST(PsdComparison, ScaledCopyGivesItsPowerRatioInEveryBin)
{
    std::mt19937_64 random(21);
    std::normal_distribution<double> noise(0.2, 0.6);
    std::vector<SampleRow> shown(3000);
    std::vector<SampleRow> compared(3000);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const double x = noise(random);
        const double z = noise(random);
        // X doubled, Y nothing on the shown side, Z halved.
        shown[i] = RowWithSum(x, 0.0, z);
        compared[i] = RowWithSum(2.0 * x, noise(random), 0.5 * z);
    }
    const PsdComparison c = ComparePsd(Welch(shown, 128, 100.0), Welch(compared, 128, 100.0));
    ASSERT_EQ(c.shown.frequency.size(), 65u);
    EXPECT_EQ(c.comparedBins, 65u);  // the same sampling reaches every bin
    for (std::size_t k = 1; k < 65; ++k) {
        SCOPED_TRACE(::testing::Message() << "bin " << k);
        ASSERT_TRUE(c.ratioDb[0][k].has_value());
        EXPECT_NEAR(*c.ratioDb[0][k], 10.0 * std::log10(4.0), 1e-9);
        EXPECT_NEAR(*c.ratioDb[2][k], -10.0 * std::log10(4.0), 1e-9);
        // Bin by bin with the same sampling: the compared density exactly as computed.
        EXPECT_EQ(*c.comparedAtShown[1][k], c.compared.axes[1].psd[k]);
        // A zero density has no ratio rather than an infinite one.
        EXPECT_EQ(c.shown.axes[1].psd[k], 0.0);
        EXPECT_FALSE(c.ratioDb[1][k].has_value());
    }
    EXPECT_NEAR(c.compared.axes[0].grms, 2.0 * c.shown.axes[0].grms, 1e-9 * c.shown.axes[0].grms);
    EXPECT_NEAR(c.compared.axes[2].grms, 0.5 * c.shown.axes[2].grms, 1e-9 * c.shown.axes[2].grms);
}

TEST(PsdComparison, DifferentSamplingIsInterpolatedUpToTheComparedNyquistFrequency)
{
    // A density linear in frequency is met exactly by linear interpolation between its bins.
    const auto linear = [](double f) { return 1.0 + 0.5 * f; };
    const PsdResult shown = Density(100.0, 64, [](double) { return 2.0; });
    const PsdResult slower = Density(40.0, 64, linear);  // Nyquist 20 Hz, bins 0.625 Hz apart
    const PsdComparison c = ComparePsd(shown, slower);
    // Shown bins are 1.5625 Hz apart: 0 .. 18.75 Hz lie within 20 Hz, 20.3125 Hz does not.
    EXPECT_EQ(c.comparedBins, 13u);
    for (std::size_t k = 0; k < shown.frequency.size(); ++k) {
        SCOPED_TRACE(::testing::Message() << "bin " << k);
        for (int axis = 0; axis < 3; ++axis) {
            if (k >= 13) {
                EXPECT_FALSE(c.comparedAtShown[axis][k].has_value());
                EXPECT_FALSE(c.ratioDb[axis][k].has_value());
                continue;
            }
            const double expected = (axis + 1) * linear(shown.frequency[k]);
            ASSERT_TRUE(c.comparedAtShown[axis][k].has_value());
            EXPECT_NEAR(*c.comparedAtShown[axis][k], expected, 1e-12 * expected);
            EXPECT_NEAR(*c.ratioDb[axis][k], 10.0 * std::log10(expected / (2.0 * (axis + 1))), 1e-12);
        }
    }
    // The last bin sits exactly on the compared Nyquist frequency: it is compared, not left out.
    const PsdComparison edge = ComparePsd(shown, Density(37.5, 64, linear));
    EXPECT_EQ(edge.comparedBins, 13u);
    EXPECT_NEAR(*edge.comparedAtShown[0][12], linear(18.75), 1e-12);

    // A faster compared recording reaches every shown bin.
    const PsdComparison faster = ComparePsd(shown, Density(300.0, 64, linear));
    EXPECT_EQ(faster.comparedBins, shown.frequency.size());
    EXPECT_NEAR(*faster.comparedAtShown[2].back(), 3.0 * linear(50.0), 1e-12);
    // Each density keeps its own Grms, from its own bins.
    EXPECT_EQ(faster.compared.axes[1].grms, 2.0);
}

TEST(PsdComparison, ZeroDensitiesGiveNoRatioAndUnitsChangeOnlyTheDensities)
{
    EXPECT_FALSE(RatioDb(0.0, 1.0).has_value());
    EXPECT_FALSE(RatioDb(1.0, 0.0).has_value());
    EXPECT_FALSE(RatioDb(std::nan(""), 1.0).has_value());
    EXPECT_FALSE(RatioDb(1.0, HUGE_VAL).has_value());
    EXPECT_NEAR(*RatioDb(2.0, 20.0), 10.0, 1e-12);

    const PsdResult shown = Density(64.0, 32, [](double f) { return f < 10.0 ? 0.0 : 1.0; });
    const PsdResult compared = Density(64.0, 32, [](double) { return 0.5; }).converted(Unit::MetresPerSecondSquared);
    // The compared side is taken in the shown side's unit before the ratio.
    const PsdComparison c = ComparePsd(shown, compared);
    EXPECT_EQ(c.compared.unit, Unit::G);
    EXPECT_FALSE(c.ratioDb[0][4].has_value());  // 8 Hz: nothing shown there
    EXPECT_NEAR(*c.ratioDb[0][5], 10.0 * std::log10(0.5), 1e-12);
    EXPECT_NEAR(*c.comparedAtShown[0][5], 0.5, 1e-12);

    const PsdComparison m = c.converted(Unit::MetresPerSecondSquared);
    const double g2 = kStandardGravity * kStandardGravity;
    EXPECT_NEAR(*m.comparedAtShown[0][5], 0.5 * g2, 1e-12 * g2);
    EXPECT_NEAR(m.shown.axes[0].psd[5], g2, 1e-12 * g2);
    EXPECT_EQ(m.ratioDb[0][5], c.ratioDb[0][5]);
}

}  // namespace
