#include "recording/RecordingFacts.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

#include "transform/Spectrum.h"
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

// The shown rows in ascending order. Ties go to the later row (>= and <=), and in
// frequency mode a column's peak bin follows its maximum only within the first half of the bins,
// the second half mirroring the first.
template <int Columns, bool Frequency>
void Accumulate(const SampleRow* rows, int count, Statistics& s)
{
    double max[Columns];
    double min[Columns];
    double sum[Columns];
    int maxAt[Columns];
    int minAt[Columns];
    int peakBin[Columns];
    for (int c = 0; c < Columns; ++c) {
        max[c] = s.max[c];
        min[c] = s.min[c];
        sum[c] = 0.0;
        maxAt[c] = minAt[c] = peakBin[c] = 0;
    }
    const int half = count / 2;
    // Blocks of rows are first summed and scanned for their own extremes without a branch; only
    // a block that reaches an extreme so far is gone through again row by row. After the first
    // blocks that is rare, which keeps a million rows close to the cost of summing them.
    constexpr int kBlock = 64;
    for (int first = 0; first < count; first += kBlock) {
        const int end = std::min(count, first + kBlock);
        double blockMax[Columns];
        double blockMin[Columns];
        for (int c = 0; c < Columns; ++c) {
            blockMax[c] = -HUGE_VAL;
            blockMin[c] = HUGE_VAL;
        }
        for (int i = first; i < end; ++i) {
            const SampleRow& row = rows[i];
            for (int c = 0; c < Columns; ++c) {
                const double v = row[c];
                sum[c] += v;
                blockMax[c] = v > blockMax[c] ? v : blockMax[c];
                blockMin[c] = v < blockMin[c] ? v : blockMin[c];
            }
        }
        int reached = 0;
        for (int c = 0; c < Columns; ++c)
            reached |= static_cast<int>(blockMax[c] >= max[c]) | static_cast<int>(blockMin[c] <= min[c]);
        if (!reached)
            continue;
        for (int i = first; i < end; ++i) {
            const SampleRow& row = rows[i];
            for (int c = 0; c < Columns; ++c) {
                const double v = row[c];
                if (v >= max[c]) {
                    max[c] = v;
                    maxAt[c] = i;
                    if (Frequency && i <= half)
                        peakBin[c] = i;
                }
                if (v <= min[c]) {
                    min[c] = v;
                    minAt[c] = i;
                }
            }
        }
    }
    for (int c = 0; c < Columns; ++c) {
        s.max[c] = max[c];
        s.min[c] = min[c];
        s.sum[c] = sum[c];
        s.maxAt[c] = maxAt[c];
        s.minAt[c] = minAt[c];
        s.peakBin[c] = peakBin[c];
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
        Accumulate<3, true>(m_pSpectrum.data(), n, stats);
    else
        Accumulate<4, false>(recording.m_pSamples.data(), n, stats);
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
