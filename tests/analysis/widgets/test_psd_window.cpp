// The PSD window against the analysis core: the density and Grms it shows for the whole recording
// and for the visible rows, its refusals, the read-out, a spectrum reading's captures with their
// waterfall, and the visible rows of two recordings with the ratio of their densities.

#include <cmath>
#include <numbers>
#include <random>

#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QTest>

#include "analysis/vibration/PsdComparison.h"
#include "analysis/vibration/PsdReadout.h"
#include "analysis/vibration/VibrationFixtures.h"
#include "analysis/widgets/PsdPlotWidget.h"
#include "analysis/widgets/PsdWindow.h"
#include "analysis/widgets/WaterfallWidget.h"

namespace {

using namespace shakemeter;
using namespace shakemeter::vibration;
using namespace shakemeter::testing;

std::vector<SampleRow> NoiseRows(std::size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> g(0.0, 0.4);
    std::vector<SampleRow> rows(count);
    for (std::size_t n = 0; n < count; ++n) {
        const double tone = 0.5 * std::sin(2.0 * std::numbers::pi * 20.0 * static_cast<double>(n) / 256.0);
        rows[n] = RowWithSum(g(random) + tone, 0.3 * g(random), 1.0 + g(random));
    }
    return rows;
}

PsdResult CoreOf(const Recording& recording, RowRange range, std::size_t segment)
{
    const TimeRows rows = TimeRowsOf(recording);
    WelchPsd welch(segment);
    welch.AddSegments(rows.rows, range);
    return welch.Result(1.0 / rows.dt);
}

struct PsdWindowFixture : ::testing::Test {
    Recording recording = SpectrumRecording(NoiseRows(2048, 1));
    RowRange visible{300, 1200};
    Unit unit = Unit::G;
    PsdWindow window{PsdWindow::Inputs{[this]() -> const Recording* { return &recording; },
                                       [this]() -> std::optional<RowRange> { return visible; },
                                       [this] { return unit; }}};

    PsdResult Core(RowRange range, std::size_t segment) const { return CoreOf(recording, range, segment); }
};

void ExpectSame(const PsdResult& shown, const PsdResult& core)
{
    EXPECT_EQ(shown.frequency, core.frequency);
    EXPECT_EQ(shown.segments, core.segments);
    EXPECT_EQ(shown.unit, core.unit);
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_EQ(shown.axes[axis].psd, core.axes[axis].psd) << axis;
        EXPECT_DOUBLE_EQ(shown.axes[axis].grms, core.axes[axis].grms) << axis;
    }
}

TEST_F(PsdWindowFixture, ShowsTheCoresDensityOfTheWholeRecordingOrTheVisibleRows)
{
    // A spectrum capture's time rows are its first half, as everywhere in the analysis.
    const std::size_t count = TimeRowsOf(recording).count;
    window.Recompute();
    ExpectSame(window.Shown(), Core({0, count - 1}, 256));
    EXPECT_EQ(window.GrmsText(), QStringLiteral("Grms   X %1   Y %2   Z %3 g")
                                     .arg(window.Shown().axes[0].grms, 0, 'g', 4)
                                     .arg(window.Shown().axes[1].grms, 0, 'g', 4)
                                     .arg(window.Shown().axes[2].grms, 0, 'g', 4));

    window.SetSegment(64);
    EXPECT_EQ(window.segment(), 64u);
    // A length the window does not offer changes nothing.
    window.SetSegment(100);
    EXPECT_EQ(window.segment(), 64u);
    ExpectSame(window.Shown(), Core({0, count - 1}, 64));

    // The graph's rows are cut at the last time row (1023 of this capture's 2048 samples).
    window.SetSource(PsdWindow::Source::VisibleRange);
    ExpectSame(window.Shown(), Core({300, 1023}, 64));
    EXPECT_TRUE(window.StatusText().startsWith(QStringLiteral("Rows 301 to 1024")))
        << window.StatusText().toStdString();

    unit = Unit::MetresPerSecondSquared;
    window.Recompute();
    visible = {100, 700};
    window.Recompute();
    ExpectSame(window.Shown(), Core(visible, 64).converted(Unit::MetresPerSecondSquared));
    EXPECT_TRUE(window.GrmsText().endsWith(QStringLiteral(" m/s2")));
}

TEST_F(PsdWindowFixture, OnlyTheSegmentLengthsTheCoreAcceptsAreOffered)
{
    QComboBox* box = nullptr;
    std::vector<std::size_t> offered;
    for (QComboBox* b : window.findChildren<QComboBox*>()) {
        if (b->count() > 3) {
            box = b;
            for (int i = 0; i < b->count(); ++i)
                offered.push_back(b->itemData(i).toULongLong());
        }
    }
    ASSERT_NE(box, nullptr);
    ASSERT_FALSE(offered.empty());
    for (std::size_t s : offered)
        EXPECT_TRUE(WelchPsd::IsValidSegment(s)) << s;
    EXPECT_EQ(offered.front(), 16u);
    EXPECT_EQ(offered.back(), 65536u);
    EXPECT_EQ(window.segment(), kDefaultSegment);
}

TEST_F(PsdWindowFixture, RefusesWhatHasNoDensityAndShowsNothingThen)
{
    window.SetSegment(2048);
    window.Recompute();
    EXPECT_TRUE(window.Shown().frequency.empty());
    EXPECT_TRUE(window.StatusText().contains(QStringLiteral("fewer than one segment of 2048 rows")));
    EXPECT_TRUE(window.GrmsText().isEmpty());

    recording = LoggedRecording(NoiseRows(600, 2), 200, std::vector<std::int32_t>(600, 1));
    recording.m_header.byMode = MODE_MOTION;
    window.SetSegment(64);
    window.Recompute();
    EXPECT_TRUE(window.Shown().frequency.empty());
    EXPECT_TRUE(window.StatusText().contains(QStringLiteral("not evenly sampled")));

    recording = Recording{};
    window.Recompute();
    EXPECT_EQ(window.StatusText(), QStringLiteral("No recording is shown."));
}

TEST_F(PsdWindowFixture, ReadoutIsTheCoresTextOfTheBinUnderTheMouse)
{
    window.resize(700, 600);
    window.Recompute();
    window.ShowReadoutAt(20.2);
    EXPECT_EQ(window.ReadoutText().toStdString(), ReadoutText(window.Shown(), 20.2));
    EXPECT_TRUE(window.ReadoutText().startsWith(QStringLiteral("20 Hz")));
    // The plot's axis maps the pixel of a frequency back onto it.
    const LogAxis axis = window.Plot()->FrequencyAxis();
    EXPECT_NEAR(axis.FromPixel(axis.ToPixel(20.0)), 20.0, 1e-9);
    // From the first bin's decade to the last bin, 128 Hz.
    EXPECT_DOUBLE_EQ(axis.lo(), 1.0);
    EXPECT_DOUBLE_EQ(axis.hi(), 128.0);
}

Recording Capture(unsigned seed)
{
    Recording r = SpectrumRecording(NoiseRows(256, seed));
    return r;
}

TEST_F(PsdWindowFixture, ASpectrumReadingKeepsEveryCaptureAndItsWaterfallLine)
{
    window.BeginReading();
    std::vector<SampleRow> firstRows;
    for (unsigned c = 0; c < 1800; ++c) {
        const Recording capture = Capture(100 + c);
        window.AddCapture(capture);
        if (c == 0) {
            // The first capture brings the reading forward.
            EXPECT_EQ(window.source(), PsdWindow::Source::SpectrumReading);
            firstRows = capture.m_pSamples;
        }
    }
    EXPECT_EQ(window.History().size(), 1800u);
    ASSERT_EQ(window.Waterfall()->lines(), 1800u);
    EXPECT_EQ(window.Waterfall()->bins(), 129u);
    // What the plot shows is the history's mean and max hold.
    ExpectSame(window.Shown(), window.History().Average());
    EXPECT_TRUE(window.StatusText().startsWith(QStringLiteral("1800 captures of 256 rows")));

    // Line i of the picture is capture i's own density, coloured over the first capture's range (axis X).
    const QImage lines = window.Waterfall()->Lines();
    const DbRange range = window.Waterfall()->range();
    for (std::size_t i : {std::size_t{0}, std::size_t{917}, std::size_t{1799}}) {
        const double* line = window.History().Line(i, 0);
        for (int k : {1, 20, 128})
            EXPECT_EQ(lines.pixel(k, static_cast<int>(i)) & 0xffffffu, DbColour(ToDb(line[k]), range)) << i << " " << k;
    }
    WelchPsd first(256);
    first.AddSegments(firstRows.data(), RowRange{0, 255});
    EXPECT_EQ(first.Result(256.0).axes[2].psd,
              std::vector<double>(window.History().Line(0, 2), window.History().Line(0, 2) + 129));

    // A new reading starts empty; the recording's density is still one choice away.
    window.BeginReading();
    EXPECT_TRUE(window.History().empty());
    EXPECT_EQ(window.Waterfall()->lines(), 0u);
    EXPECT_TRUE(window.Shown().frequency.empty());
    window.SetSource(PsdWindow::Source::WholeRecording);
    EXPECT_FALSE(window.Shown().frequency.empty());
}

TEST_F(PsdWindowFixture, TheWaterfallFollowsTheChosenAxisAndUnit)
{
    for (unsigned c = 0; c < 5; ++c)
        window.AddCapture(Capture(c));
    const double before = window.Waterfall()->range().top;
    auto boxes = window.findChildren<QComboBox*>();
    QComboBox* axisBox = nullptr;
    for (QComboBox* b : boxes)
        if (b->count() == 3 && b->itemText(0) == QStringLiteral("X"))
            axisBox = b;
    ASSERT_NE(axisBox, nullptr);
    axisBox->setCurrentIndex(2);
    EXPECT_EQ(window.Waterfall()->lines(), 5u);
    const QImage lines = window.Waterfall()->Lines();
    const DbRange range = window.Waterfall()->range();
    EXPECT_EQ(lines.pixel(20, 4) & 0xffffffu, DbColour(ToDb(window.History().Line(4, 2)[20]), range));

    // m/s2: every density 9.80665^2 times larger, about 19.8 dB up.
    axisBox->setCurrentIndex(0);
    unit = Unit::MetresPerSecondSquared;
    window.Recompute();
    EXPECT_GT(window.Waterfall()->range().top, before + 10.0);
    EXPECT_EQ(window.Shown().unit, Unit::MetresPerSecondSquared);
}

struct PsdComparisonFixture : PsdWindowFixture {
    Recording compared = SpectrumRecording(NoiseRows(2048, 7));
    std::optional<RowRange> comparedRows = RowRange{200, 900};
    bool overlay = true;
    // The visible rows as the window cuts them at the capture's last time row.
    static constexpr RowRange kShownRows{300, 1023};

    PsdComparisonFixture()
    {
        window.SetComparedInput([this]() -> std::optional<PsdWindow::Compared> {
            if (!overlay)
                return std::nullopt;
            return PsdWindow::Compared{&compared, comparedRows, QStringLiteral("second.vibration")};
        });
        window.SetSegment(64);
    }

    PsdResult ComparedCore(RowRange range) const { return CoreOf(compared, range, 64); }

    void ExpectComparison(const PsdComparison& expected) const
    {
        ASSERT_TRUE(window.Comparison().has_value());
        const PsdComparison& shown = *window.Comparison();
        ExpectSame(shown.shown, expected.shown);
        ExpectSame(shown.compared, expected.compared);
        EXPECT_EQ(shown.comparedBins, expected.comparedBins);
        EXPECT_EQ(shown.comparedAtShown, expected.comparedAtShown);
        EXPECT_EQ(shown.ratioDb, expected.ratioDb);
    }
};

TEST_F(PsdComparisonFixture, VisibleRangeShowsBothDensitiesTheirRatioAndBothGrms)
{
    window.resize(700, 700);
    window.SetSource(PsdWindow::Source::VisibleRange);
    ExpectComparison(ComparePsd(Core(kShownRows, 64), ComparedCore(*comparedRows)));
    ExpectSame(window.Shown(), Core(kShownRows, 64));
    EXPECT_TRUE(window.RatioPlot()->isVisibleTo(&window));
    const QStringList status = window.StatusText().split(QLatin1Char('\n'));
    ASSERT_EQ(status.size(), 2);
    EXPECT_TRUE(status[0].startsWith(QStringLiteral("Rows 301 to 1024, fs 256 Hz")));
    EXPECT_TRUE(status[1].startsWith(QStringLiteral("Compared with second.vibration: rows 201 to 901, fs 256 Hz")))
        << status[1].toStdString();
    const PsdComparison& c = *window.Comparison();
    EXPECT_EQ(window.GrmsText(), QStringLiteral("Grms   X %1   Y %2   Z %3 g\nGrms compared   X %4   Y %5   Z %6 g")
                                     .arg(c.shown.axes[0].grms, 0, 'g', 4)
                                     .arg(c.shown.axes[1].grms, 0, 'g', 4)
                                     .arg(c.shown.axes[2].grms, 0, 'g', 4)
                                     .arg(c.compared.axes[0].grms, 0, 'g', 4)
                                     .arg(c.compared.axes[1].grms, 0, 'g', 4)
                                     .arg(c.compared.axes[2].grms, 0, 'g', 4));
    window.ShowReadoutAt(20.2);
    EXPECT_EQ(window.ReadoutText().toStdString(), ComparisonReadoutText(c, 20.2));
    // The ratio pane's frequencies line up with the density plot's.
    EXPECT_DOUBLE_EQ(window.RatioPlot()->FrequencyAxis().lo(), window.Plot()->FrequencyAxis().lo());
    EXPECT_DOUBLE_EQ(window.RatioPlot()->FrequencyAxis().hi(), window.Plot()->FrequencyAxis().hi());

    // In m/s2 the densities and Grms scale; the ratios do not change.
    unit = Unit::MetresPerSecondSquared;
    window.Recompute();
    ExpectComparison(ComparePsd(Core(kShownRows, 64).converted(unit), ComparedCore(*comparedRows).converted(unit)));
    EXPECT_TRUE(window.GrmsText().endsWith(QStringLiteral(" m/s2")));
}

TEST_F(PsdComparisonFixture, WithoutAComparisonTheWindowIsAsAlone)
{
    // No overlay, or the whole recording: exactly the single density, no ratio pane.
    overlay = false;
    window.SetSource(PsdWindow::Source::VisibleRange);
    EXPECT_FALSE(window.Comparison().has_value());
    EXPECT_FALSE(window.RatioPlot()->isVisibleTo(&window));
    EXPECT_FALSE(window.StatusText().contains(QLatin1Char('\n')));
    EXPECT_FALSE(window.GrmsText().contains(QLatin1Char('\n')));
    ExpectSame(window.Shown(), Core(kShownRows, 64));

    overlay = true;
    window.Recompute();
    EXPECT_TRUE(window.Comparison().has_value());
    window.SetSource(PsdWindow::Source::WholeRecording);
    EXPECT_FALSE(window.Comparison().has_value());
    EXPECT_FALSE(window.RatioPlot()->isVisibleTo(&window));
}

TEST_F(PsdComparisonFixture, ACompareRecordingWithoutADensityLeavesTheShownOneAndSaysWhy)
{
    window.SetSource(PsdWindow::Source::VisibleRange);
    const auto second = [&] { return window.StatusText().section(QLatin1Char('\n'), 1); };

    comparedRows.reset();
    window.Recompute();
    EXPECT_FALSE(window.Comparison().has_value());
    ExpectSame(window.Shown(), Core(kShownRows, 64));
    EXPECT_EQ(second(),
              QStringLiteral("Compared with second.vibration: none of its rows fall in the time span shown."));
    EXPECT_FALSE(window.RatioPlot()->isVisibleTo(&window));

    comparedRows = RowRange{10, 60};
    window.Recompute();
    EXPECT_EQ(second(),
              QStringLiteral("Compared with second.vibration: rows 11 to 61 are fewer than one segment of 64 rows."));

    compared = LoggedRecording(NoiseRows(600, 2), 200, std::vector<std::int32_t>(600, 1));
    compared.m_header.byMode = MODE_MOTION;
    comparedRows = RowRange{0, 599};
    window.Recompute();
    EXPECT_FALSE(window.Comparison().has_value());
    EXPECT_TRUE(second().endsWith(QStringLiteral("not evenly sampled, so it has no spectral density.")));
    EXPECT_FALSE(window.Shown().frequency.empty());
}

TEST_F(PsdComparisonFixture, ADifferentSamplingIsInterpolatedAtTheShownBins)
{
    // 100 rows a second against the capture's 256: its 50 Hz Nyquist frequency ends the ratio.
    compared = LoggedRecording(NoiseRows(1500, 9), 10 * 4 + RATE_UNIT_MS);
    comparedRows = RowRange{0, 1499};
    window.SetSource(PsdWindow::Source::VisibleRange);
    const TimeRows rows = TimeRowsOf(compared);
    ASSERT_DOUBLE_EQ(1.0 / rows.dt, 100.0);
    ExpectComparison(ComparePsd(Core(kShownRows, 64), ComparedCore(RowRange{0, 1499})));
    EXPECT_EQ(window.Comparison()->comparedBins, 13u);  // 0 .. 48 Hz in 4 Hz bins
    EXPECT_TRUE(window.StatusText().endsWith(
        QStringLiteral("interpolated at the shown frequencies up to its Nyquist frequency of 50 Hz")))
        << window.StatusText().toStdString();
}

TEST_F(PsdComparisonFixture, RowsWhoseIntervalCountsNoTimeHaveNoDensity)
{
    // Interval code 1: milliseconds, but none of them. Its frequencies would all be infinite.
    window.SetSource(PsdWindow::Source::VisibleRange);
    const Recording good = recording;
    recording = LoggedRecording(NoiseRows(600, 2), 1);
    window.Recompute();
    EXPECT_TRUE(window.Shown().frequency.empty());
    EXPECT_FALSE(window.Comparison().has_value());
    EXPECT_EQ(window.StatusText().toStdString(),
              "The recording's interval counts no time, so it has no sampling rate and no spectral density.");
    EXPECT_TRUE(window.GrmsText().isEmpty());

    // As the compared recording it leaves the shown density alone.
    recording = good;
    compared = LoggedRecording(NoiseRows(600, 2), 1);
    comparedRows = RowRange{0, 599};
    window.Recompute();
    EXPECT_FALSE(window.Comparison().has_value());
    ExpectSame(window.Shown(), Core(kShownRows, 64));
    EXPECT_EQ(window.StatusText().section(QLatin1Char('\n'), 1).toStdString(),
              "Compared with second.vibration: its interval counts no time, so it has no spectral density.");
}

}  // namespace

TEST_F(PsdWindowFixture, EscapeClosesTheWindow)
{
    window.ShowAndRecompute();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(window.isVisible());
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}
