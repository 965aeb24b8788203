#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <type_traits>
#include <vector>

#include "analysis/Fft.h"
#include "analysis/Spectrum.h"
#include "recording/Recording.h"

namespace shakemeter {
namespace {

// The recording's rows go to the spectrum without a copy, so the two row types must be one.
static_assert(std::is_same_v<SpectrumRow, SampleRow>);

constexpr double kTwoPiOfTransform = 6.283185306;
constexpr double kTrueTwoPi = 6.283185307179586;

struct Transform {
    std::vector<double> fr;
    std::vector<double> fi;
    std::vector<double> pr;  // what the routine left in the input arrays
    std::vector<double> pi;
};

Transform RunFft(std::vector<double> re, std::vector<double> im, int k, int inverse = 0, int polar = 0)
{
    const int n = 1 << k;
    Transform t{std::vector<double>(n), std::vector<double>(n), std::move(re), std::move(im)};
    ComputeFft(t.pr.data(), t.pi.data(), n, k, t.fr.data(), t.fi.data(), inverse, polar);
    return t;
}

// Straightforward DFT with full-precision 2*pi.
std::vector<std::complex<double>> ReferenceDft(const std::vector<double>& re, const std::vector<double>& im)
{
    const std::size_t n = re.size();
    std::vector<std::complex<double>> out(n);
    for (std::size_t k = 0; k < n; ++k) {
        std::complex<double> sum = 0.0;
        for (std::size_t j = 0; j < n; ++j) {
            const double angle = -kTrueTwoPi * static_cast<double>((j * k) % n) / static_cast<double>(n);
            sum += std::complex<double>(re[j], im[j]) * std::polar(1.0, angle);
        }
        out[k] = sum;
    }
    return out;
}

// The transform's circle constant is 1.18e-9 short of 2*pi; along any butterfly path the twiddle
// exponents add up to less than n, so every output's angle is off by less than 1.18e-9 rad and its
// value by less than that times the input's total magnitude.
double ConstantTolerance(const std::vector<double>& re, const std::vector<double>& im)
{
    double total = 0.0;
    for (std::size_t j = 0; j < re.size(); ++j) {
        total += std::hypot(re[j], im[j]);
    }
    return 1.2e-9 * total + 1e-12;
}

TEST(FftKnownAnswers, ConstantGoesToBinZeroOnly)
{
    const double a = 0.97;
    const Transform t = RunFft(std::vector<double>(256, a), std::vector<double>(256, 0.0), 8);
    EXPECT_NEAR(t.fr[0], 256 * a, 1e-9);
    EXPECT_NEAR(t.fi[0], 0.0, 1e-9);
    for (int i = 1; i < 256; ++i) {
        EXPECT_NEAR(std::hypot(t.fr[i], t.fi[i]), 0.0, 1e-9) << "bin " << i;
    }
}

TEST(FftKnownAnswers, CosineAtTenHertzPeaksAtTenAndMirror)
{
    const double amplitude = 1.5;
    std::vector<double> re(256);
    for (int j = 0; j < 256; ++j) {
        re[j] = amplitude * std::cos(kTrueTwoPi * 10 * j / 256);
    }
    const Transform t = RunFft(re, std::vector<double>(256, 0.0), 8);
    for (int i = 0; i < 256; ++i) {
        const double magnitude = std::hypot(t.fr[i], t.fi[i]);
        if (i == 10 || i == 246) {
            EXPECT_NEAR(magnitude, 128 * amplitude, 1e-6) << "bin " << i;
        } else {
            EXPECT_NEAR(magnitude, 0.0, 1e-6) << "bin " << i;
        }
    }
}

TEST(FftKnownAnswers, UnitImpulseOfEightGivesAllOnes)
{
    std::vector<double> re(8, 0.0);
    re[0] = 1.0;
    const Transform t = RunFft(re, std::vector<double>(8, 0.0), 3);
    for (int i = 0; i < 8; ++i) {
        EXPECT_DOUBLE_EQ(t.fr[i], 1.0) << i;
        EXPECT_DOUBLE_EQ(t.fi[i], 0.0) << i;
    }
}

TEST(FftKnownAnswers, MatchesDirectTransformForEverySizeUpTo256)
{
    for (int k = 1; k <= 8; ++k) {
        const int n = 1 << k;
        std::vector<double> re(n);
        std::vector<double> im(n);
        for (int j = 0; j < n; ++j) {
            // Irregular, non-symmetric values so that a wrong permutation or twiddle shows.
            re[j] = std::sin(0.37 * j * j + 1.0) + 0.25 * (j % 3);
            im[j] = std::cos(1.3 * j) - 0.1 * (j % 5);
        }
        const auto expected = ReferenceDft(re, im);
        const double tolerance = ConstantTolerance(re, im);
        const Transform t = RunFft(re, im, k);
        for (int i = 0; i < n; ++i) {
            EXPECT_NEAR(t.fr[i], expected[i].real(), tolerance) << "n " << n << " bin " << i;
            EXPECT_NEAR(t.fi[i], expected[i].imag(), tolerance) << "n " << n << " bin " << i;
        }
    }
}

TEST(FftKnownAnswers, InverseOfForwardReturnsInput)
{
    std::vector<double> re(256);
    std::vector<double> im(256);
    for (int j = 0; j < 256; ++j) {
        re[j] = 0.01 * j - 1.0 + std::sin(0.1 * j);
        im[j] = (j % 7) * 0.3;
    }
    const Transform forward = RunFft(re, im, 8);
    // The forward call consumed its input arrays, so the inverse gets fresh copies of its result.
    const Transform back = RunFft(forward.fr, forward.fi, 8, 1);
    for (int j = 0; j < 256; ++j) {
        EXPECT_NEAR(back.fr[j], re[j], 1e-12) << j;
        EXPECT_NEAR(back.fi[j], im[j], 1e-12) << j;
    }
}

TEST(FftTwiddleTable, InputArraysHoldTheTableAfterwards)
{
    const int n = 16;
    const Transform t = RunFft(std::vector<double>(n, 3.0), std::vector<double>(n, -2.0), 4);
    EXPECT_EQ(t.pr[0], 1.0);
    EXPECT_EQ(t.pi[0], 0.0);
    EXPECT_EQ(t.pr[1], std::cos(kTwoPiOfTransform / n));
    EXPECT_EQ(t.pi[1], -std::sin(kTwoPiOfTransform / n));
    // Entry 2 by the three-multiplication product, in exactly that order of operations.
    const double a = t.pr[1], b = t.pi[1];
    const double P = a * a, Q = b * b, S = (a + b) * (a + b);
    EXPECT_EQ(t.pr[2], P - Q);
    EXPECT_EQ(t.pi[2], S - P - Q);
    for (int i = 0; i < n; ++i) {
        EXPECT_NEAR(t.pr[i], std::cos(kTwoPiOfTransform * i / n), 1e-12) << i;
        EXPECT_NEAR(t.pi[i], -std::sin(kTwoPiOfTransform * i / n), 1e-12) << i;
    }
}

TEST(FftTwiddleTable, InverseTableTurnsTheOtherWay)
{
    const int n = 8;
    const Transform t = RunFft(std::vector<double>(n, 0.0), std::vector<double>(n, 0.0), 3, 1);
    EXPECT_EQ(t.pr[1], std::cos(kTwoPiOfTransform / n));
    EXPECT_EQ(t.pi[1], std::sin(kTwoPiOfTransform / n));
}

TEST(FftPolar, PhaseRulesAndMagnitude)
{
    // With n = 2 the transform is a sum and a difference: (x0, 0) gives output 0 = x0, so the
    // polar step sees exactly the chosen (fr, fi).
    struct Case {
        double fr, fi, phase;
    };
    const Case cases[] = {
        {0.0, 5.0, -90.0},                // product fi*fr is 0, not positive
        {1.0, 1.0, 45.0},
        {-1.0, -1.0, 45.0},               // principal value: no quadrant
        {1e-7, 1.0, 90.0},                // |fr| < 0.000001*|fi| and same signs
        {-1e-7, 1.0, -90.0},
        {2.0, 0.0, 0.0},
        {0.0, 0.0, 0.0},                  // zero output: phase 0, never NaN
    };
    for (const Case& c : cases) {
        const Transform t = RunFft({c.fr, 0.0}, {c.fi, 0.0}, 1, 0, 1);
        EXPECT_NEAR(t.pr[0], std::hypot(c.fr, c.fi), 1e-15);
        // 45 degrees comes out as 45.0000000084: the degree factor uses the short constant.
        EXPECT_NEAR(t.pi[0], c.phase, 1e-7) << "fr " << c.fr << " fi " << c.fi;
        EXPECT_FALSE(std::isnan(t.pi[0]));
    }
    // The degree factor is 360 / 6.283185306 applied after the arctangent.
    const Transform t = RunFft({1.0, 0.0}, {0.5, 0.0}, 1, 0, 1);
    EXPECT_EQ(t.pi[0], std::atan(0.5 / 1.0) * 360 / kTwoPiOfTransform);
}

TEST(FftUnusableSizes, LeaveEveryArrayAlone)
{
    struct Case {
        int n, k;
    };
    for (const Case c : {Case{6, 3}, Case{8, 2}, Case{8, 4}, Case{0, 0}, Case{-8, 3}, Case{8, -1}, Case{8, 31}}) {
        // Arrays of 4 only: a routine that trusted n or k would run past them (ASan reports it).
        std::vector<double> pr{1, 2, 3, 4}, pi{5, 6, 7, 8}, fr{9, 9, 9, 9}, fi{9, 9, 9, 9};
        ComputeFft(pr.data(), pi.data(), c.n, c.k, fr.data(), fi.data(), 0, 1);
        EXPECT_EQ(pr, (std::vector<double>{1, 2, 3, 4})) << c.n << "/" << c.k;
        EXPECT_EQ(pi, (std::vector<double>{5, 6, 7, 8}));
        EXPECT_EQ(fr, (std::vector<double>{9, 9, 9, 9}));
        EXPECT_EQ(fi, (std::vector<double>{9, 9, 9, 9}));
    }
    std::vector<double> a(4, 1.0);
    ComputeFft(nullptr, a.data(), 4, 2, a.data(), a.data(), 0, 0);  // must simply return
}

TEST(FftUnusableSizes, SinglePointIsIdentity)
{
    const Transform t = RunFft({2.5}, {-1.0}, 0);
    EXPECT_EQ(t.fr[0], 2.5);
    EXPECT_EQ(t.fi[0], -1.0);
    EXPECT_EQ(t.pr[0], 1.0);
}

}  // namespace
}  // namespace shakemeter
