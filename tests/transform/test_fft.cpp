#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "transform/Fft.h"

namespace shakemeter {
namespace {

constexpr double kTwoPiOfTransform = 6.283185306;
constexpr double kTrueTwoPi = 6.283185307179586;

struct Transform {
    std::vector<double> fr, fi;
    std::vector<double> pr, pi;  // what the routine left in the input arrays
};

Transform RunFft(std::vector<double> re, std::vector<double> im, int k, int inverse = 0, int polar = 0)
{
    const int n = 1 << k;
    Transform t{std::vector<double>(n), std::vector<double>(n), std::move(re), std::move(im)};
    ComputeFft(t.pr.data(), t.pi.data(), n, k, t.fr.data(), t.fi.data(), inverse, polar);
    return t;
}

TEST(FftKnownAnswers, ConstantCosineAndImpulse)
{
    const Transform flat = RunFft(std::vector<double>(256, 0.97), std::vector<double>(256, 0.0), 8);
    std::vector<double> cosine(256);
    for (int j = 0; j < 256; ++j) {
        cosine[j] = 1.5 * std::cos(kTrueTwoPi * 10 * j / 256);
    }
    const Transform tone = RunFft(cosine, std::vector<double>(256, 0.0), 8);
    for (int i = 0; i < 256; ++i) {
        EXPECT_NEAR(std::hypot(flat.fr[i], flat.fi[i]), i == 0 ? 256 * 0.97 : 0.0, 1e-9) << i;
        EXPECT_NEAR(std::hypot(tone.fr[i], tone.fi[i]), i == 10 || i == 246 ? 128 * 1.5 : 0.0, 1e-6) << i;
    }
    const Transform impulse = RunFft({1, 0, 0, 0, 0, 0, 0, 0}, std::vector<double>(8, 0.0), 3);
    EXPECT_EQ(impulse.fr, std::vector<double>(8, 1.0));
    EXPECT_EQ(impulse.fi, std::vector<double>(8, 0.0));
}

TEST(FftKnownAnswers, MatchesDirectTransformForEverySizeUpTo256)
{
    for (int k = 1; k <= 8; ++k) {
        const int n = 1 << k;
        std::vector<double> re(n), im(n);
        double total = 0.0;
        for (int j = 0; j < n; ++j) {
            // Irregular values, so that a wrong permutation or twiddle shows.
            re[j] = std::sin(0.37 * j * j + 1.0) + 0.25 * (j % 3);
            im[j] = std::cos(1.3 * j) - 0.1 * (j % 5);
            total += std::hypot(re[j], im[j]);
        }
        // The circle constant is 1.18e-9 short of 2*pi; the twiddle exponents along any butterfly
        // path add up to less than n, so each output's angle is off by less than 1.18e-9 rad.
        const double tolerance = 1.2e-9 * total + 1e-12;
        const Transform t = RunFft(re, im, k);
        for (int bin = 0; bin < n; ++bin) {
            std::complex<double> sum = 0.0;
            for (int j = 0; j < n; ++j) {
                sum += std::complex<double>(re[j], im[j]) * std::polar(1.0, -kTrueTwoPi * ((j * bin) % n) / n);
            }
            EXPECT_NEAR(t.fr[bin], sum.real(), tolerance) << "n " << n << " bin " << bin;
            EXPECT_NEAR(t.fi[bin], sum.imag(), tolerance) << "n " << n << " bin " << bin;
        }
    }
}

TEST(FftKnownAnswers, InverseOfForwardReturnsInput)
{
    std::vector<double> re(256), im(256);
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
    EXPECT_EQ(t.pr[2], a * a - b * b);
    EXPECT_EQ(t.pi[2], (a + b) * (a + b) - a * a - b * b);
    const Transform inverse = RunFft(std::vector<double>(n, 0.0), std::vector<double>(n, 0.0), 4, 1);
    EXPECT_EQ(inverse.pi[1], std::sin(kTwoPiOfTransform / n));
}

TEST(FftPolar, PhaseRules)
{
    // With n = 2 the output 0 of (x0, 0) is x0, so the polar step sees exactly the chosen pair.
    struct Case {
        double fr, fi, phase;
    };
    for (const Case& c : {Case{0.0, 5.0, -90.0},                         // the product fi*fr is 0, not positive
                          Case{1.0, 1.0, 45.0}, Case{-1.0, -1.0, 45.0},  // no quadrant
                          Case{1e-7, 1.0, 90.0}, Case{-1e-7, 1.0, -90.0},
                          Case{0.0, 0.0, 0.0}}) {  // a zero output has phase 0, never NaN
        const Transform t = RunFft({c.fr, 0.0}, {c.fi, 0.0}, 1, 0, 1);
        EXPECT_NEAR(t.pr[0], std::hypot(c.fr, c.fi), 1e-15);
        // 45 degrees comes out as 45.0000000084: the degree factor uses the short constant.
        EXPECT_NEAR(t.pi[0], c.phase, 1e-7) << "fr " << c.fr << " fi " << c.fi;
    }
    const Transform t = RunFft({1.0, 0.0}, {0.5, 0.0}, 1, 0, 1);
    EXPECT_EQ(t.pi[0], std::atan(0.5 / 1.0) * 360 / kTwoPiOfTransform);
}

TEST(FftUnusableSizes, LeaveEveryArrayAlone)
{
    struct Case {
        int n, k;
    };
    for (const Case c : {Case{6, 3}, Case{8, 2}, Case{8, 4}, Case{0, 0}, Case{-8, 3}, Case{8, 31}}) {
        // Arrays of 4 only: a routine that trusted n or k would run past them (ASan reports it).
        std::vector<double> pr{1, 2, 3, 4}, pi{5, 6, 7, 8}, fr(4, 9.0), fi(4, 9.0);
        ComputeFft(pr.data(), pi.data(), c.n, c.k, fr.data(), fi.data(), 0, 1);
        EXPECT_EQ(pr, (std::vector<double>{1, 2, 3, 4})) << c.n << "/" << c.k;
        EXPECT_EQ(pi, (std::vector<double>{5, 6, 7, 8}));
        EXPECT_EQ(fr, std::vector<double>(4, 9.0));
        EXPECT_EQ(fi, std::vector<double>(4, 9.0));
    }
}

}  // namespace
}  // namespace shakemeter
