// What the PSD window draws by: log axes and their decade ticks, the dB axis of two recordings'
// ratio, the read-out under the mouse and the waterfall's colours.

#include <cmath>

#include <gtest/gtest.h>

#include "analysis/vibration/LogAxis.h"
#include "analysis/vibration/PsdReadout.h"
#include "analysis/vibration/RatioAxis.h"
#include "analysis/vibration/SpectrogramColours.h"

namespace {

using namespace shakemeter;
using namespace shakemeter::vibration;

TEST(LogAxis, DecadesMapEvenlyOntoPixelsEitherWay)
{
    const LogAxis across(1.0, 1000.0, 100.0, 400.0);
    EXPECT_DOUBLE_EQ(across.ToPixel(1.0), 100.0);
    EXPECT_DOUBLE_EQ(across.ToPixel(10.0), 200.0);
    EXPECT_DOUBLE_EQ(across.ToPixel(1000.0), 400.0);
    EXPECT_NEAR(across.FromPixel(across.ToPixel(37.0)), 37.0, 1e-9);
    // An upward axis: the larger value at the smaller pixel.
    const LogAxis up(1e-6, 1e-2, 300.0, 20.0);
    EXPECT_DOUBLE_EQ(up.ToPixel(1e-4), 160.0);
    EXPECT_GT(up.ToPixel(1e-5), up.ToPixel(1e-3));
    EXPECT_DOUBLE_EQ(up.ToPixel(0.0), 300.0);
    EXPECT_DOUBLE_EQ(up.ToPixel(-1.0), 300.0);
}

TEST(LogAxis, TicksAtEveryDecadeLabelledAndBetweenThemUnlabelled)
{
    const LogAxis axis(0.1, 100.0, 0.0, 300.0);
    const std::vector<LogTick> ticks = axis.Ticks();
    ASSERT_EQ(ticks.size(), 4u + 3u * 8u);
    std::vector<std::string> labels;
    for (const LogTick& t : ticks) {
        EXPECT_GE(t.pixel, -1e-9);
        EXPECT_LE(t.pixel, 300.0 + 1e-9);
        EXPECT_EQ(t.decade, !t.label.empty());
        if (t.decade)
            labels.push_back(t.label);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"0.1", "1", "10", "100"}));
    EXPECT_NEAR(ticks[1].value, 0.2, 1e-12);
    EXPECT_NEAR(ticks[1].pixel, 100.0 * std::log10(2.0), 1e-9);
    // An end between decades: the ticks stop at the last one inside.
    const std::vector<LogTick> toNyquist = LogAxis(1.0, 128.0, 0.0, 300.0).Ticks();
    ASSERT_EQ(toNyquist.size(), 9u + 9u + 1u);
    EXPECT_DOUBLE_EQ(toNyquist.back().value, 100.0);
    EXPECT_TRUE(toNyquist.back().decade);
    EXPECT_LT(toNyquist.back().pixel, 300.0);
    EXPECT_EQ(LogAxis::DecadeLabel(-3), "0.001");
    EXPECT_EQ(LogAxis::DecadeLabel(3), "1000");
    EXPECT_EQ(LogAxis::DecadeLabel(-7), "1e-7");
    EXPECT_EQ(LogAxis::DecadeLabel(5), "1e5");
}

TEST(LogAxis, SpanningRoundsOutToDecadesAndKeepsTheTopReadable)
{
    LogAxis a = LogAxis::Spanning(0.02, 3.0, 12, 0.0, 100.0);
    EXPECT_DOUBLE_EQ(a.lo(), 0.01);
    EXPECT_DOUBLE_EQ(a.hi(), 10.0);
    // Exactly a power of ten stays the end.
    a = LogAxis::Spanning(1.0, 128.0, 12, 0.0, 100.0);
    EXPECT_DOUBLE_EQ(a.lo(), 1.0);
    EXPECT_DOUBLE_EQ(a.hi(), 1000.0);
    // Rounding noise far below the top is cut off at maxDecades.
    a = LogAxis::Spanning(1e-30, 0.5, 12, 0.0, 100.0);
    EXPECT_DOUBLE_EQ(a.hi(), 1.0);
    EXPECT_NEAR(a.lo(), 1e-12, 1e-24);
    // One value: still one decade wide.
    a = LogAxis::Spanning(0.5, 0.5, 12, 0.0, 100.0);
    EXPECT_LT(a.lo(), a.hi());
    a = LogAxis::Spanning(0.0, 0.0, 12, 0.0, 100.0);
    EXPECT_DOUBLE_EQ(a.lo(), 1e-6);
    EXPECT_DOUBLE_EQ(a.hi(), 1.0);
}

PsdResult SmallResult()
{
    PsdResult r;
    r.fs = 256.0;
    r.segment = 8;
    r.df = 32.0;
    r.frequency = {0, 32, 64, 96, 128};
    r.axes[0].psd = {9, 1e-3, 2e-3, 3e-3, 4e-3};
    r.axes[1].psd = {9, 1e-4, 2e-4, 3e-4, 4e-4};
    r.axes[2].psd = {9, 1e-5, 2e-5, 3e-5, 4e-5};
    return r;
}

TEST(RatioAxis, SymmetricAboutZeroAndJustCoveringTheLargestRatio)
{
    EXPECT_EQ(RatioAxis::LimitFor(0.0), 1.0);
    EXPECT_EQ(RatioAxis::LimitFor(0.2), 1.0);
    EXPECT_EQ(RatioAxis::LimitFor(1.0), 1.0);
    EXPECT_EQ(RatioAxis::LimitFor(-1.5), 2.0);
    EXPECT_EQ(RatioAxis::LimitFor(4.2), 5.0);
    EXPECT_EQ(RatioAxis::LimitFor(6.02), 10.0);
    EXPECT_EQ(RatioAxis::LimitFor(37.0), 50.0);
    EXPECT_EQ(RatioAxis::LimitFor(120.0), 200.0);
    EXPECT_EQ(RatioAxis::LimitFor(std::nan("")), 1.0);

    // Growing upwards on screen: -limit at the bottom pixel, 0 dB in the middle.
    const RatioAxis up(20.0, 200.0, 40.0);
    EXPECT_DOUBLE_EQ(up.ToPixel(-20.0), 200.0);
    EXPECT_DOUBLE_EQ(up.ToPixel(0.0), 120.0);
    EXPECT_DOUBLE_EQ(up.ToPixel(20.0), 40.0);
    std::vector<std::string> labels;
    for (const RatioTick& t : up.Ticks()) {
        EXPECT_DOUBLE_EQ(t.pixel, up.ToPixel(t.db));
        labels.push_back(t.label);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"-20", "-15", "-10", "-5", "0", "+5", "+10", "+15", "+20"}));
    std::vector<std::string> halves;
    for (const RatioTick& t : RatioAxis(10.0, 0.0, 1.0).Ticks())
        halves.push_back(t.label);
    EXPECT_EQ(halves, (std::vector<std::string>{"-10", "-5", "0", "+5", "+10"}));
}

TEST(PsdReadout, NearestBinNeverTheConstantPartAndWithinTheResult)
{
    const PsdResult r = SmallResult();
    EXPECT_EQ(NearestBin(r, 0.0), 1u);
    EXPECT_EQ(NearestBin(r, -5.0), 1u);
    EXPECT_EQ(NearestBin(r, 47.0), 1u);
    EXPECT_EQ(NearestBin(r, 49.0), 2u);
    EXPECT_EQ(NearestBin(r, 1e6), 4u);
    EXPECT_EQ(NearestBin(PsdResult{}, 10.0), 0u);
    EXPECT_EQ(ReadoutText(PsdResult{}, 10.0), "");
}

TEST(PsdReadout, TextNamesTheBinAndEachAxisInTheUnit)
{
    PsdResult r = SmallResult();
    EXPECT_EQ(ReadoutText(r, 70.0), "64 Hz   X 2.000e-03   Y 2.000e-04   Z 2.000e-05 g\u00b2/Hz");
    r = r.converted(Unit::MetresPerSecondSquared);
    EXPECT_EQ(DensityUnitName(r.unit), "(m/s\u00b2)\u00b2/Hz");
    EXPECT_NE(ReadoutText(r, 70.0).find("X 1.923e-01"), std::string::npos) << ReadoutText(r, 70.0);
}

TEST(PsdReadout, ComparisonTextGivesBothDensitiesAndTheirRatioOrWhyThereIsNone)
{
    PsdResult shown = SmallResult();
    shown.axes[1].psd[2] = 0.0;
    // Half the sampling rate: its last bin is the shown 64 Hz, and 96 Hz lies past it.
    PsdResult compared = SmallResult();
    compared.fs = 128.0;
    compared.df = 16.0;
    compared.frequency = {0, 16, 32, 48, 64};
    const PsdComparison c = ComparePsd(shown, compared);
    EXPECT_EQ(ComparisonReadoutText(c, 70.0),
              "64 Hz   X 2.000e-03 / 4.000e-03 (+3.01 dB)   Y 0.000e+00 / 4.000e-04 "
              "(no ratio)   Z 2.000e-05 / 4.000e-05 (+3.01 dB) g\u00b2/Hz");
    EXPECT_EQ(ComparisonReadoutText(c, 100.0),
              "96 Hz   X 3.000e-03 / -   Y 3.000e-04 / -   Z 3.000e-05 / - g\u00b2/Hz");
}

TEST(SpectrogramColours, RangeFromTheFirstLineAndColoursFromBlackToWhite)
{
    const double line[] = {0.0, 2e-4, 0.03, 1e-6};
    const DbRange range = DbRange::For(line, 4);
    // 0.03 is -15.2 dB: the range tops at -10 dB and spans 80 dB.
    EXPECT_DOUBLE_EQ(range.top, -10.0);
    EXPECT_DOUBLE_EQ(range.bottom, -90.0);
    const double zeros[] = {0.0, 0.0};
    EXPECT_DOUBLE_EQ(DbRange::For(zeros, 2).top, 0.0);

    EXPECT_DOUBLE_EQ(ToDb(0.01), -20.0);
    EXPECT_LT(ToDb(0.0), -300.0);
    EXPECT_EQ(DbColour(-90.0, range), 0x000000u);
    EXPECT_EQ(DbColour(-200.0, range), 0x000000u);
    EXPECT_EQ(DbColour(-10.0, range), 0xffffffu);
    EXPECT_EQ(DbColour(50.0, range), 0xffffffu);
    // Louder is never darker.
    auto brightness = [](std::uint32_t c) { return (c >> 16 & 0xff) + (c >> 8 & 0xff) + (c & 0xff); };
    std::uint32_t before = 0;
    for (double db = -90.0; db <= -10.0; db += 2.0) {
        const std::uint32_t now = brightness(DbColour(db, range));
        EXPECT_GE(now + 40, before) << db;
        before = now;
    }
}

}  // namespace
