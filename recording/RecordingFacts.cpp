#include "recording/RecordingFacts.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

#include "transform/Spectrum.h"
#include "recording/ColumnPairs.h"
#include "recording/FixedText.h"

namespace shakemeter {

namespace {

// Extremes start far outside anything the logger measures, so the first row always replaces them.
constexpr double kStartMax = -20000.0;
constexpr double kStartMin = 20000.0;
// A real-time reading starts with its first row 0.1 g inside the value range; the range then
// grows 1 g beyond each new extreme, but not for differences of rounding.
constexpr double kRealTimeStartMargin = 0.1;
constexpr double kRealTimeGrowMargin = 1.0;
constexpr double kRealTimeGrowTolerance = 0.0001;

std::string Printf2(double value)
{
    std::string text;
    AppendFixed2(text, value);
    return text;
}

std::string RateText(const RecordingHeader& header, bool realTime)
{
    // Written with to_chars: a GUI process runs under the user's numeric locale, where printf
    // would put a decimal comma into texts that the report and the files carry with a point.
    char buffer[64];
    const int interval = header.wInterval;
    if (interval == 0)
        return "1/" + std::to_string(SPECTRUM_SECOND_PARTS) + " ";
    if (realTime) {
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, interval * 0.001, std::chars_format::fixed, 2);
        return std::string(buffer, result.ptr);
    }
    const int count = interval >> 2;
    switch (interval & 3) {
    case RATE_UNIT_MS: {
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, count * 0.001, std::chars_format::fixed, 3);
        return std::string(buffer, result.ptr);
    }
    case RATE_UNIT_SECOND:
        return std::to_string(count);
    case RATE_UNIT_MINUTE:
        return std::to_string(count * 60);
    default:
        return std::to_string(count * 3600);
    }
}

std::string ThresholdText(bool motionMode, std::uint8_t threshold)
{
    if (!motionMode || threshold < 1 || threshold > 18)
        return "NONE";
    return std::to_string(threshold);
}

// The shown rows of a time-domain recording in ascending order; ties go to the later row (>= and
// <=). Each column is one running sum from its first row to its last, whatever the blocks below.
void AccumulateRows(const SampleRow* rows, std::size_t count, Statistics& s)
{
    RowLanes sum = Splat(0.0);
    // Blocks of rows are summed and scanned for their own extremes in one pass without a branch,
    // two columns per step. Only a block whose extreme reaches a column's extreme so far names a
    // row, the last one holding that value: any earlier row of the block that reached the extreme
    // was overtaken or tied by it. After the first blocks that is rare, which keeps a million
    // rows close to the cost of summing them.
    constexpr std::size_t kBlock = 64;
    for (std::size_t first = 0; first < count; first += kBlock) {
        const std::size_t end = std::min(count, first + kBlock);
        RowLanes top = Splat(-HUGE_VAL);
        RowLanes bottom = Splat(HUGE_VAL);
        for (std::size_t i = first; i < end; ++i) {
            const RowLanes v = LoadRow(rows[i]);
            sum.lo += v.lo;
            sum.hi += v.hi;
            top.lo = PairMax(v.lo, top.lo);
            top.hi = PairMax(v.hi, top.hi);
            bottom.lo = PairMin(v.lo, bottom.lo);
            bottom.hi = PairMin(v.hi, bottom.hi);
        }
        double blockMax[4];
        double blockMin[4];
        StoreRow(blockMax, top);
        StoreRow(blockMin, bottom);
        for (std::size_t c = 0; c < 4; ++c) {
            // The row's own value rather than the block's: of two equal zeros the later one's sign
            // is the one a row-by-row scan keeps.
            if (blockMax[c] >= s.max[c]) {
                const std::size_t at = LastRowHolding(rows, first, end, c, blockMax[c]);
                s.max[c] = rows[at][c];
                s.maxAt[c] = static_cast<int>(at);
            }
            if (blockMin[c] <= s.min[c]) {
                const std::size_t at = LastRowHolding(rows, first, end, c, blockMin[c]);
                s.min[c] = rows[at][c];
                s.minAt[c] = static_cast<int>(at);
            }
        }
    }
    StoreRow(s.sum.data(), sum);
}

// The bins of a spectrum (X, Y, Z) one by one, too few for anything faster to pay. Ties go to the
// later bin, and a column's peak bin follows its maximum only within the first half of the bins,
// the second half mirroring the first.
void AccumulateBins(const SampleRow* bins, std::size_t count, Statistics& s)
{
    const std::size_t half = count / 2;
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t c = 0; c < 3; ++c) {
            const double v = bins[i][c];
            s.sum[c] += v;
            if (v >= s.max[c]) {
                s.max[c] = v;
                s.maxAt[c] = static_cast<int>(i);
                if (i <= half)
                    s.peakBin[c] = static_cast<int>(i);
            }
            if (v <= s.min[c]) {
                s.min[c] = v;
                s.minAt[c] = static_cast<int>(i);
            }
        }
    }
}

}  // namespace

void RecordingFacts::Refresh(const Recording& recording)
{
    m_timeLabels.Forget();
    const RecordingHeader& header = m_recHeader;
    const bool realTime = recording.m_bRealTime != 0;

    m_timeStart = CalendarTime::FromLocal(HeaderStart(header));
    m_dInterval = SecondsPerSample(header, realTime);

    if (header.wInterval != 0 && m_bFrequencyMode) {
        m_bFrequencyMode = false;
        m_bLeftFrequencyMode = true;
    }
    // A header may promise more rows than were read (or, in frequency mode, than the spectrum has):
    // show only what exists rather than read past the end.
    const std::size_t shown =
        m_bFrequencyMode ? std::min({std::size_t{header.dwSampleCount}, recording.RowCount(), m_pSpectrum.size()})
                         : TimeDomainRowCount(recording);
    const int n = static_cast<int>(std::min<std::size_t>(shown, INT_MAX));
    m_nShownCount = n;
    m_nRangeFirst = 1;
    m_nRangeLast = n;

    // Statistics.
    const int columns = m_bFrequencyMode ? 3 : 4;
    Statistics stats;
    stats.max.fill(kStartMax);
    stats.min.fill(kStartMin);
    if (m_bFrequencyMode)
        AccumulateBins(m_pSpectrum.data(), static_cast<std::size_t>(n), stats);
    else
        AccumulateRows(recording.m_pSamples.data(), static_cast<std::size_t>(n), stats);
    double maxAll = 0.0;
    double minAll = 0.0;
    if (n > 0) {
        for (int c = 0; c < 4; ++c)
            stats.avg[c] = stats.sum[c] / n;
        maxAll = stats.max[0];
        minAll = stats.min[0];
        for (int c = 1; c < columns; ++c) {
            maxAll = std::max(maxAll, stats.max[c]);
            minAll = std::min(minAll, stats.min[c]);
        }
    } else {
        // Nothing to measure: zeros rather than the start values or a division by zero, and the
        // value range of a flat trace at 0 g.
        stats = Statistics{};
    }
    m_stats = stats;
    m_dAutoMax = maxAll + 1.0;
    m_dAutoMin = minAll - 1.0;

    // Spectral peak: the strongest axis, but not the constant component when any axis has a peak
    // elsewhere.
    if (m_bFrequencyMode) {
        int axis = 0;
        double best = stats.max[0];
        int bin = stats.peakBin[0];
        for (int c = 0; c < 3; ++c) {
            if (stats.max[c] >= best) {
                axis = c;
                best = stats.max[c];
                bin = stats.peakBin[c];
            }
        }
        if (bin == 0 && (stats.peakBin[0] != 0 || stats.peakBin[1] != 0 || stats.peakBin[2] != 0)) {
            double value[3];
            for (int c = 0; c < 3; ++c)
                value[c] = stats.peakBin[c] != 0 ? stats.max[c] : 0.0;
            axis = 0;
            best = value[0];
            for (int c = 0; c < 3; ++c) {
                if (value[c] >= best) {
                    axis = c;
                    best = value[c];
                }
            }
            bin = stats.peakBin[axis];
        }
        m_nPeakIndex = bin;
        m_nPeakAxis = axis;
        m_dPeakFrequency = bin;
    }

    // Summary texts.
    const bool motionMode = !realTime && header.wInterval != 0 && header.IsMotion();
    m_summary.startTime = m_timeStart.format("%d/%m/%y %H:%M:%S");
    m_summary.samplingRate = RateText(header, realTime);
    m_summary.samples = std::to_string(n);
    // Assigned from string objects: gcc 12 at -O3 reports a false overlap (-Wrestrict) when a
    // literal is assigned here.
    m_summary.unit = std::string("g");
    m_summary.mode = std::string(motionMode ? "Motion Detection" : "Normal");
    m_summary.threshold[0] = ThresholdText(motionMode, header.byThresholdX);
    m_summary.threshold[1] = ThresholdText(motionMode, header.byThresholdY);
    m_summary.threshold[2] = ThresholdText(motionMode, header.byThresholdZ);
    if (!m_bFrequencyMode) {
        for (int c = 0; c < 4; ++c) {
            // Without rows there is no moment to name.
            if (n > 0) {
                m_summary.max[c] = ValueAtText(stats.max[c], FormatSampleTime(recording, stats.maxAt[c]));
                m_summary.min[c] = ValueAtText(stats.min[c], FormatSampleTime(recording, stats.minAt[c]));
            } else {
                m_summary.max[c] = Printf2(stats.max[c]);
                m_summary.min[c] = Printf2(stats.min[c]);
            }
        }
    }
    // In frequency mode the vector sum has no spectrum; its average comes from a zero sum, and the
    // time-domain maxima and minima stay as they were.
    for (int c = 0; c < 4; ++c)
        m_summary.avg[c] = Printf2(stats.avg[c]);
}

void RecordingFacts::AdoptHeader(const RecordingHeader& header)
{
    // The spectrum belongs to the recording that goes.
    m_pSpectrum.clear();
    m_pSpectrum.shrink_to_fit();
    m_nSpectrumSize = 0;
    if (header.wInterval == 0)
        m_pSpectrum.assign(SPECTRUM_POINTS, SampleRow{});
    m_nPeakIndex = 0;
    m_nPeakAxis = 0;
    m_dPeakFrequency = 0.0;
    m_recHeader = header;
}

void RecordingFacts::SetShownRange(int first, int last)
{
    m_nRangeFirst = first;
    m_nRangeLast = last;
}

bool RecordingFacts::BeginRealTime(const RecordingHeader& header, const CalendarTime& start, const SampleRow& first)
{
    m_recHeader = header;
    m_timeStart = start;
    m_nShownCount = 1;
    m_dInterval = header.wInterval * 0.001;
    m_bFrequencyMode = false;
    m_nRangeLast = 1;
    m_nRangeFirst = 1;
    m_dSum = first;
    m_dMax = first;
    m_dMin = first;

    const double top = *std::max_element(m_dMax.begin(), m_dMax.end()) + kRealTimeStartMargin;
    const double bottom = *std::min_element(m_dMin.begin(), m_dMin.end()) - kRealTimeStartMargin;
    const bool changed = top != m_dAutoMax || bottom != m_dAutoMin;
    if (changed) {
        m_dAutoMax = top;
        m_dAutoMin = bottom;
    }

    m_summary.startTime = start.format("%d/%m/%y %H:%M:%S");
    m_summary.unit = std::string("g");
    m_summary.samplingRate = Printf2(m_dInterval);
    m_summary.samples = std::string("1");
    m_summary.mode = std::string("Normal");
    m_summary.threshold = {"NONE", "NONE", "NONE"};
    for (std::size_t i = 0; i < 4; ++i) {
        m_summary.max[i] = ValueAtText(first[i], m_summary.startTime);
        m_summary.min[i] = ValueAtText(first[i], m_summary.startTime);
        m_summary.avg[i] = Printf2(first[i]);
    }
    return changed;
}

bool RecordingFacts::AddRealTimeRow(const Recording& recording, int n, const SampleRow& row)
{
    const int count = n + 1;
    m_recHeader.dwSampleCount = static_cast<std::uint32_t>(count);
    for (std::size_t i = 0; i < 4; ++i) {
        const double value = row[i];
        if (m_dMax[i] < value) {
            m_dMax[i] = value;
            m_summary.max[i] = ValueAtText(value, FormatSampleTime(recording, n));
        }
        if (m_dMin[i] > value) {
            m_dMin[i] = value;
            m_summary.min[i] = ValueAtText(value, FormatSampleTime(recording, n));
        }
        m_dSum[i] += value;
    }

    const double top = *std::max_element(m_dMax.begin(), m_dMax.end()) + kRealTimeGrowMargin;
    const double bottom = *std::min_element(m_dMin.begin(), m_dMin.end()) - kRealTimeGrowMargin;
    const bool grew = m_dAutoMax - top < -kRealTimeGrowTolerance || m_dAutoMin - bottom > kRealTimeGrowTolerance;
    if (grew) {
        m_dAutoMax = top;
        m_dAutoMin = bottom;
    }

    m_nShownCount = count;
    m_nRangeLast = count;
    for (std::size_t i = 0; i < 4; ++i)
        m_summary.avg[i] = Printf2(m_dSum[i] / count);
    m_summary.samples = std::to_string(count);
    return grew;
}

SampleTimeLabels RecordingFacts::TimeLabels() const
{
    return SampleTimeLabels(m_timeStart, m_recHeader.wInterval == 0, m_dInterval);
}

SampleTimeLabels& RecordingFacts::Labels() const
{
    if (!m_timeLabels.Describes(m_timeStart, m_recHeader.wInterval == 0, m_dInterval))
        m_timeLabels = TimeLabels();
    return m_timeLabels;
}

void RecordingFacts::AppendSampleTime(std::string& out, const Recording& recording, int k) const
{
    AppendTickTime(out, recording.TickOf(static_cast<std::size_t>(std::max(k, 0))));
}

void RecordingFacts::AppendTickTime(std::string& out, std::int64_t tick) const
{
    Labels().Append(out, tick);
}

std::string RecordingFacts::FormatSampleTime(const Recording& recording, int k) const
{
    std::string label;
    AppendSampleTime(label, recording, k);
    return label;
}

void RecordingFacts::ComputeSpectrum(const Recording& recording)
{
    m_nSpectrumSize = SPECTRUM_POINTS;
    m_pSpectrum.assign(SPECTRUM_POINTS, SampleRow{});
    const std::size_t rows = std::min<std::size_t>(recording.RowCount(), SPECTRUM_POINTS);
    ComputeSpectrumTable(recording.m_pSamples.data(), rows, m_pSpectrum.data());
}

std::string ValueAtText(double value, const std::string& timeText)
{
    std::string out;
    out.reserve(16 + timeText.size());
    AppendFixed2(out, value);
    out.append(" @");
    out.append(timeText);
    return out;
}

}  // namespace shakemeter
