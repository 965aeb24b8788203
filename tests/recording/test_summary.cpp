// Statistics, value range, spectral peak and the summary texts of the shown recording.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "ScopedCommaLocale.h"
#include "test_summary_fixtures.h"

namespace shakemeter {
namespace {

using namespace testing;

constexpr const char* kBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";
constexpr std::uint16_t kOneSecond = 5;  // 1 x 4 + seconds

Recording FourRows()
{
    return MakeRecording(HeaderAt(2023, 3, 5, 14, 0, 0, kOneSecond), {
                                                                         {0.10, -1.00, 0.98, 1.40},
                                                                         {2.50, 0.00, 1.00, 2.70},
                                                                         {-0.30, -1.00, 1.02, 1.46},
                                                                         {2.50, 0.50, 0.99, 2.76},
                                                                     });
}

TEST(SummaryStatisticsTest, ExtremesNameTheLastRowThatReachedThem)
{
    ScopedTimeZone zone(kBerlin);
    Shown shown(FourRows());
    const SummaryTexts& t = shown.view.m_summary;
    using Columns = std::array<std::string, 4>;  // X, Y, Z, vector sum
    EXPECT_EQ(t.max, (Columns{"2.50 @ 05/03/23 14:00:03", "0.50 @ 05/03/23 14:00:03", "1.02 @ 05/03/23 14:00:02",
                              "2.76 @ 05/03/23 14:00:03"}));
    EXPECT_EQ(t.min, (Columns{"-0.30 @ 05/03/23 14:00:02", "-1.00 @ 05/03/23 14:00:02", "0.98 @ 05/03/23 14:00:00",
                              "1.40 @ 05/03/23 14:00:00"}));
    // Averages over signed values; -0.375 rounds to even like printf.
    EXPECT_EQ(t.avg, (Columns{"1.20", "-0.38", "1.00", "2.08"}));
    EXPECT_EQ(t.samples, "4");
    EXPECT_EQ(t.unit, "g");
    EXPECT_EQ(t.startTime, "05/03/23 14:00:00");
}

TEST(SummaryStatisticsTest, EqualMaximaAt1And5NameTheLaterSecond)
{
    ScopedTimeZone zone(kBerlin);
    std::vector<SampleRow> rows = FlatRows(7, 0.5);
    rows[1][0] = 3.0;
    rows[5][0] = 3.0;
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 0, 0, kOneSecond), rows));
    EXPECT_EQ(shown.view.m_summary.max[0], "3.00 @ 05/03/23 14:00:05");
    EXPECT_EQ(shown.view.m_stats.maxAt[0], 5);
    // Every other row holds the minimum; the last one is named.
    EXPECT_EQ(shown.view.m_summary.min[0], "0.50 @ 05/03/23 14:00:06");
}

TEST(SummaryStatisticsTest, LongRecordingsKeepTheTieRulesEverywhere)
{
    // Values between the extremes, never equal to them; the extremes are set early and reached
    // again far later, alone in their stretch of rows.
    std::vector<SampleRow> rows(1000);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double v = 0.5 + static_cast<double>((i * 37) % 100) * 0.001;
        rows[i] = {v, v, v, v};
    }
    rows[0][0] = -2.0;
    rows[63][0] = rows[64][0] = rows[900][0] = 5.0;
    rows[128][0] = -2.0;
    rows[1][1] = 3.0;
    rows[2][1] = -3.0;
    rows[10][1] = std::nan("");  // never an extreme
    rows[640][1] = rows[641][1] = 3.0;
    rows[999][1] = -3.0;
    rows[0][2] = 2.0;
    rows[1][2] = -1.0;
    rows[3][3] = 4.0;
    rows[4][3] = rows[500][3] = 0.0;
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 0, 0, kOneSecond), rows));
    const Statistics& s = shown.view.m_stats;
    EXPECT_EQ(s.maxAt, (std::array<int, 4>{900, 641, 0, 3}));
    EXPECT_EQ(s.minAt, (std::array<int, 4>{128, 999, 1, 500}));
    EXPECT_EQ(s.max, (std::array<double, 4>{5.0, 3.0, 2.0, 4.0}));
    EXPECT_EQ(s.min, (std::array<double, 4>{-2.0, -3.0, -1.0, 0.0}));
}

// Values over many magnitudes (up to 16 g), so that adding a column in any other order than row
// by row gives another sum; about one value in sixteen repeats an earlier one, so the tie rules
// meet rows again and again.
std::vector<SampleRow> ScatteredRows(std::size_t count, std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-40, 4);
    std::uniform_int_distribution<int> repeat(0, 15);
    std::vector<SampleRow> rows(count);
    for (std::size_t i = 0; i < count; ++i) {
        for (int c = 0; c < 4; ++c) {
            if (i > 0 && repeat(random) == 0)
                rows[i][c] = rows[std::uniform_int_distribution<std::size_t>(0, i - 1)(random)][c];
            else
                rows[i][c] = std::ldexp(mantissa(random), exponent(random));
        }
    }
    return rows;
}

// The statistics worked out long-hand: each column summed from the first row to the last, the
// extremes starting far outside the logger's range, ties going to the later row, and the peak
// bin of a spectrum following the maximum within the first half of the bins.
struct LongHandStatistics {
    std::array<double, 4> max{-20000.0, -20000.0, -20000.0, -20000.0};
    std::array<double, 4> min{20000.0, 20000.0, 20000.0, 20000.0};
    std::array<double, 4> sum{};
    std::array<int, 4> maxAt{};
    std::array<int, 4> minAt{};
    std::array<int, 4> peakBin{};

    LongHandStatistics(const std::vector<SampleRow>& rows, int count, int columns)
    {
        for (int i = 0; i < count; ++i) {
            for (int c = 0; c < columns; ++c) {
                const double v = rows[static_cast<std::size_t>(i)][static_cast<std::size_t>(c)];
                sum[c] = sum[c] + v;
                if (v >= max[c]) {
                    max[c] = v;
                    maxAt[c] = i;
                    if (i <= count / 2)
                        peakBin[c] = i;
                }
                if (v <= min[c]) {
                    min[c] = v;
                    minAt[c] = i;
                }
            }
        }
    }

    // Bit for bit, every column (a column left out keeps its start values in both).
    void ExpectSameAs(const Statistics& s) const
    {
        EXPECT_EQ(s.sum, sum);
        EXPECT_EQ(s.max, max);
        EXPECT_EQ(s.min, min);
        EXPECT_EQ(s.maxAt, maxAt);
        EXPECT_EQ(s.minAt, minAt);
    }
};

std::string Fixed2(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

TEST(SummaryStatisticsTest, SumsAddTheRowsInOrderAndEveryFigureIsExact)
{
    ScopedTimeZone zone(kBerlin);
    // Lengths around the sizes a scan might work in, and a long recording.
    const std::size_t lengths[] = {1, 2, 63, 64, 65, 127, 129, 1000, 100003};
    std::uint64_t seed = 11;
    for (const std::size_t length : lengths) {
        SCOPED_TRACE(length);
        const std::vector<SampleRow> rows = ScatteredRows(length, ++seed);
        const int n = static_cast<int>(length);
        const LongHandStatistics expected(rows, n, 4);
        Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 0, 0, kOneSecond), rows));
        const Statistics& s = shown.view.m_stats;
        const SummaryTexts& t = shown.view.m_summary;
        expected.ExpectSameAs(s);
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(s.avg[c], expected.sum[c] / n) << c;
            EXPECT_EQ(t.avg[c], Fixed2(expected.sum[c] / n)) << c;
            EXPECT_EQ(t.max[c], Fixed2(expected.max[c]) + " @" + shown.label(expected.maxAt[c])) << c;
            EXPECT_EQ(t.min[c], Fixed2(expected.min[c]) + " @" + shown.label(expected.minAt[c])) << c;
        }
        EXPECT_EQ(shown.view.m_dAutoMax, *std::max_element(expected.max.begin(), expected.max.end()) + 1.0);
        EXPECT_EQ(shown.view.m_dAutoMin, *std::min_element(expected.min.begin(), expected.min.end()) - 1.0);
    }

    // The rows are such that a sum in two interleaved halves, as a scan over pairs of rows would
    // form it, differs from the sum in row order: the comparison above sees any reordering.
    const std::vector<SampleRow> rows = ScatteredRows(100003, 20);
    const LongHandStatistics inOrder(rows, static_cast<int>(rows.size()), 4);
    bool reorderingShows = false;
    for (int c = 0; c < 4; ++c) {
        double even = 0.0;
        double odd = 0.0;
        for (std::size_t i = 0; i < rows.size(); ++i)
            (i % 2 == 0 ? even : odd) += rows[i][static_cast<std::size_t>(c)];
        reorderingShows = reorderingShows || even + odd != inOrder.sum[c];
    }
    EXPECT_TRUE(reorderingShows);
}

TEST(SummaryStatisticsTest, ValueRangeIsOneGBeyondTheExtremesOfAllColumns)
{
    Shown shown(FourRows());
    EXPECT_DOUBLE_EQ(shown.view.m_dAutoMax, 2.76 + 1.0);
    EXPECT_DOUBLE_EQ(shown.view.m_dAutoMin, -1.0 - 1.0);
    EXPECT_EQ(shown.view.m_dYMax, shown.view.m_dAutoMax);
    EXPECT_EQ(shown.view.m_dYMin, shown.view.m_dAutoMin);
    EXPECT_TRUE(shown.view.m_bAutoScaleY);
    EXPECT_EQ(shown.view.m_nRangeFirst, 1);
    EXPECT_EQ(shown.view.m_nRangeLast, 4);
}

TEST(SummaryStatisticsTest, RecordingWithoutRowsGetsZerosAndAUnitRange)
{
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 0, 0, kOneSecond), {}));
    EXPECT_EQ(shown.view.m_nShownCount, 0);
    EXPECT_EQ(shown.view.m_summary.samples, "0");
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(shown.view.m_summary.max[c], "0.00");
        EXPECT_EQ(shown.view.m_summary.min[c], "0.00");
        EXPECT_EQ(shown.view.m_summary.avg[c], "0.00");
    }
    EXPECT_DOUBLE_EQ(shown.view.m_dAutoMax, 1.0);
    EXPECT_DOUBLE_EQ(shown.view.m_dAutoMin, -1.0);
}

TEST(SummaryStatisticsTest, ShownCountNeverExceedsTheRowsPresent)
{
    Recording fresh = FourRows();
    fresh.m_header.dwSampleCount = 1000000;  // a header that promises more than was read
    Shown shown(std::move(fresh));
    EXPECT_EQ(shown.view.m_nShownCount, 4);
    EXPECT_EQ(shown.view.m_summary.samples, "4");
    EXPECT_EQ(shown.view.m_summary.avg[0], "1.20");
}

TEST(SummaryTextsTest, SamplingRateByKindAndUnit)
{
    struct Case {
        std::uint16_t interval;
        bool realTime;
        const char* text;
    };
    const Case cases[] = {
        {200, false, "0.050"},   // 50 ms
        {41, false, "10"},       // 10 s
        {22, false, "300"},      // 5 min
        {6, false, "60"},        // 1 min
        {7, false, "3600"},      // 1 h
        {500, true, "0.50"},     // real-time 500 ms
        {60000, true, "60.00"},  // real-time 60 s
        {0, false, "1/256 "},    // spectrum
    };
    for (const Case& c : cases) {
        Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 0, 0, c.interval), FlatRows(2), {}, c.realTime));
        EXPECT_EQ(shown.view.m_summary.samplingRate, c.text) << c.interval;
    }
}

TEST(SummaryTextsTest, RatesReadWithAPointUnderADecimalCommaLocale)
{
    testing::ScopedCommaLocale comma;
    if (!comma.active())
        GTEST_SKIP() << testing::ScopedCommaLocale::kMissing;
    char printed[16];
    std::snprintf(printed, sizeof printed, "%.3f", 0.05);
    ASSERT_STREQ(printed, "0,050") << "the locale must be one that printf writes a comma in";

    const std::pair<std::uint16_t, bool> rates[] = {{200, false}, {4, false}, {500, true}, {60000, true}};
    const char* const texts[] = {"0.050", "0.001", "0.50", "60.00"};
    for (std::size_t i = 0; i < std::size(rates); ++i) {
        Shown shown(
            MakeRecording(HeaderAt(2023, 3, 5, 14, 0, 0, rates[i].first), FlatRows(2, 1.5), {}, rates[i].second));
        EXPECT_EQ(shown.view.m_summary.samplingRate, texts[i]) << rates[i].first;
        EXPECT_EQ(shown.view.m_summary.avg[0], "1.50");
        EXPECT_EQ(shown.view.m_summary.max[0].substr(0, 6), "1.50 @");
    }
}

TEST(SummaryTextsTest, ThresholdsShowOnlyInMotionDetection)
{
    RecordingHeader header = HeaderAt(2023, 3, 5, 14, 0, 0, kOneSecond);
    header.byThresholdX = 5;
    header.byThresholdY = 0;
    header.byThresholdZ = 18;

    Shown normal(MakeRecording(header, FlatRows(2)));
    EXPECT_EQ(normal.view.m_summary.mode, "Normal");
    for (const std::string& t : normal.view.m_summary.threshold)
        EXPECT_EQ(t, "NONE");

    Shown motion(MakeRecording(header, FlatRows(2), {0, 1}));
    EXPECT_EQ(motion.view.m_summary.mode, "Motion Detection");
    EXPECT_EQ(motion.view.m_summary.threshold[0], "5");
    EXPECT_EQ(motion.view.m_summary.threshold[1], "NONE");
    EXPECT_EQ(motion.view.m_summary.threshold[2], "18");

    header.byThresholdX = 19;
    Shown tooHigh(MakeRecording(header, FlatRows(2), {0, 1}));
    EXPECT_EQ(tooHigh.view.m_summary.threshold[0], "NONE");

    // The motion bit does not make a real-time or spectrum recording a motion-detection one.
    header.byThresholdX = 5;
    Shown live(MakeRecording(header, FlatRows(2), {0, 1}, true));
    EXPECT_EQ(live.view.m_summary.mode, "Normal");
    EXPECT_EQ(live.view.m_summary.threshold[0], "NONE");
    header.wInterval = 0;
    Shown spectrum(MakeRecording(header, FlatRows(256), std::vector<std::int32_t>(256, 0)));
    EXPECT_EQ(spectrum.view.m_summary.mode, "Normal");
}

// A 256-sample capture: X a 10 Hz cosine of 0.5 g, Y at rest, Z gravity.
Recording Capture()
{
    std::vector<SampleRow> rows(256);
    for (int j = 0; j < 256; ++j) {
        const double x = 0.5 * std::cos(2 * M_PI * 10 * j / 256);
        rows[j] = {x, 0.0, 1.0, std::sqrt(x * x + 1.0)};
    }
    return MakeRecording(HeaderAt(2023, 3, 5, 14, 0, 0, 0), rows);
}

TEST(SpectrumSummaryTest, TimeModeShowsHalfTheCaptureAndFrequencyModeAllBins)
{
    Shown shown(Capture());
    EXPECT_EQ(shown.view.m_nShownCount, 128);
    EXPECT_EQ(shown.view.m_summary.samples, "128");
    EXPECT_EQ(shown.view.m_nSpectrumSize, 256);
    const SummaryTexts timeTexts = shown.view.m_summary;

    shown.view.m_bFrequencyMode = true;
    shown.view.RefreshSummary(shown.document);
    EXPECT_EQ(shown.view.m_nShownCount, 256);
    EXPECT_EQ(shown.view.m_nRangeLast, 256);
    EXPECT_EQ(shown.view.m_summary.samples, "256");
    // The maxima and minima keep their time-domain texts; the averages are of the bins, the
    // vector sum's from nothing.
    EXPECT_EQ(shown.view.m_summary.max, timeTexts.max);
    EXPECT_EQ(shown.view.m_summary.min, timeTexts.min);
    EXPECT_EQ(shown.view.m_summary.avg[1], "0.00");
    EXPECT_EQ(shown.view.m_summary.avg[2], "1.00");  // 256 at bin 0, averaged over 256 bins
    EXPECT_EQ(shown.view.m_summary.avg[3], "0.00");
    EXPECT_NEAR(shown.view.m_dAutoMax, 257.0, 1e-9);  // Z's constant component

    // The constant component of Z is not the peak while X has one at 10 Hz.
    EXPECT_EQ(shown.view.m_nPeakIndex, 10);
    EXPECT_EQ(shown.view.m_nPeakAxis, 0);
    EXPECT_EQ(shown.view.m_dPeakFrequency, 10.0);

    shown.view.m_bFrequencyMode = false;
    shown.view.RefreshSummary(shown.document);
    EXPECT_EQ(shown.view.m_nShownCount, 128);
    EXPECT_EQ(shown.view.m_summary.max, timeTexts.max);
}

// Frequency mode over a hand-made spectrum table.
struct SpectrumCase : Shown {
    SpectrumCase() : Shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 0, 0, 0), FlatRows(256))) {}
    void set(int axis, double everywhere, int bin = -1, double atBin = 0.0)
    {
        for (SampleRow& row : view.m_pSpectrum)
            row[axis] = everywhere;
        if (bin >= 0)
            view.m_pSpectrum[bin][axis] = atBin;
    }
    void refresh()
    {
        view.m_bFrequencyMode = true;
        view.RefreshSummary(document);
    }
};

TEST(SpectrumSummaryTest, BinStatisticsAreExact)
{
    SpectrumCase s;
    const std::vector<SampleRow> bins = ScatteredRows(SPECTRUM_POINTS, 5);
    s.view.m_pSpectrum = bins;
    s.refresh();
    const LongHandStatistics expected(bins, SPECTRUM_POINTS, 3);
    const Statistics& stats = s.view.m_stats;
    expected.ExpectSameAs(stats);
    EXPECT_EQ(stats.peakBin, expected.peakBin);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(s.view.m_summary.avg[c], Fixed2(expected.sum[c] / SPECTRUM_POINTS)) << c;
    EXPECT_EQ(stats.avg[3], 0.0);
}

TEST(SpectrumPeakTest, ConstantComponentGivesWayToAPeakOfAnotherAxis)
{
    SpectrumCase s;
    s.set(0, 1.0, 0, 300.0);
    s.set(1, 0.5, 12, 50.0);
    s.view.m_pSpectrum[244][1] = 50.0;  // the mirror image of bin 12
    s.set(2, 0.2, 0, 100.0);
    s.refresh();
    EXPECT_EQ(s.view.m_nPeakAxis, 1);
    EXPECT_EQ(s.view.m_nPeakIndex, 12);
    EXPECT_EQ(s.view.m_dPeakFrequency, 12.0);
}

TEST(SpectrumPeakTest, EqualPeaksGoToTheLaterAxis)
{
    SpectrumCase s;
    s.set(0, 1.0, 7, 40.0);
    s.set(1, 1.0, 3, 20.0);
    s.set(2, 1.0, 9, 40.0);
    s.refresh();
    EXPECT_EQ(s.view.m_nPeakAxis, 2);
    EXPECT_EQ(s.view.m_nPeakIndex, 9);
}

TEST(SpectrumPeakTest, PeakBinStaysInTheFirstHalf)
{
    SpectrumCase s;
    s.set(0, 1.0, 200, 80.0);  // strongest only in the mirrored half
    s.set(1, 0.0);
    s.set(2, 0.0);
    s.refresh();
    EXPECT_EQ(s.view.m_nPeakAxis, 0);
    EXPECT_EQ(s.view.m_nPeakIndex, 128);  // the last bin <= 128 that equalled the running maximum
}

TEST(FrequencyModeTest, OnlyASpectrumRecordingStaysInFrequencyMode)
{
    ScopedTimeZone zone(kBerlin);
    Shown shown(FourRows(), true);
    EXPECT_FALSE(shown.view.m_bFrequencyMode);
    EXPECT_TRUE(shown.view.m_bLeftFrequencyMode);
    EXPECT_EQ(shown.view.m_nShownCount, 4);
    EXPECT_EQ(shown.view.m_summary.max[0], "2.50 @ 05/03/23 14:00:03");
}

TEST(FrequencyModeTest, ALongSpectrumFileShowsOnlyTheBinsThatExist)
{
    Shown shown(MakeRecording(HeaderAt(2023, 3, 5, 14, 0, 0, 0), FlatRows(300, 1.0)), true);
    EXPECT_EQ(shown.view.m_nShownCount, 256);
    EXPECT_EQ(shown.view.m_summary.avg[0], "1.00");
}

TEST(ReplaceRecordingTest, InstallsHeaderAndSpectrumTableWithTheRecording)
{
    Recording document;
    RecordingView view;
    ReplaceRecording(document, view, Capture());
    EXPECT_EQ(view.m_nDisplayMode, 1);
    EXPECT_EQ(view.m_recHeader, document.m_header);
    EXPECT_EQ(view.m_pSpectrum.size(), 256u);

    view.m_nDisplayMode = 2;
    ReplaceRecording(document, view, FourRows());
    EXPECT_EQ(view.m_nDisplayMode, 2);
    EXPECT_TRUE(view.m_pSpectrum.empty());
    EXPECT_EQ(document.RowCount(), 4u);
    EXPECT_EQ(view.m_recHeader.wInterval, kOneSecond);
}

}  // namespace
}  // namespace shakemeter
