#pragma once
// The facts of the shown recording, without any widget: the decoded header, the shown range, the
// spectrum and its peak, the statistics, the automatic value range and the twenty summary texts,
// and the running statistics of a real-time reading. Read by the graph, the list, the report and
// the link; changed only through these methods, which compute every fact from the recording.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "recording/CalendarTime.h"
#include "recording/Recording.h"
#include "recording/SampleTimeLabels.h"
#include "transform/Spectrum.h"

namespace shakemeter {

constexpr int SPECTRUM_POINTS = SPECTRUM_FFT_SIZE;

// The twenty texts of the summary panel, also lines 3 to 9 of the text report.
struct SummaryTexts {
    std::string startTime;
    std::string samplingRate;
    std::string samples;
    std::string unit;
    std::string mode;
    std::array<std::string, 3> threshold;  // X, Y, Z
    std::array<std::string, 4> max;        // X, Y, Z, vector sum
    std::array<std::string, 4> min;
    std::array<std::string, 4> avg;
};

struct Statistics {
    std::array<double, 4> max{};
    std::array<double, 4> min{};
    std::array<double, 4> sum{};
    std::array<double, 4> avg{};
    std::array<int, 4> maxAt{};
    std::array<int, 4> minAt{};
    std::array<int, 4> peakBin{};
};

class RecordingFacts {
public:
    RecordingHeader m_recHeader;
    CalendarTime m_timeStart;
    double m_dInterval = 0.0;
    int m_nShownCount = 0;
    int m_nRangeFirst = 0;
    int m_nRangeLast = 0;
    bool m_bFrequencyMode = false;

    std::vector<SampleRow> m_pSpectrum;  // 256 rows (X, Y, Z magnitudes) for a spectrum recording
    int m_nSpectrumSize = 0;
    int m_nPeakIndex = 0;
    int m_nPeakAxis = 0;
    double m_dPeakFrequency = 0.0;

    double m_dAutoMax = 0.0;
    double m_dAutoMin = 0.0;

    Statistics m_stats;
    SummaryTexts m_summary;

    // Running sums, maxima and minima of a real-time reading (X, Y, Z, vector sum).
    std::array<double, 4> m_dSum{};
    std::array<double, 4> m_dMax{};
    std::array<double, 4> m_dMin{};

    // Set by Refresh when it had to leave frequency mode because the recording is not a
    // spectrum; the widget restores the summary panel's height and clears the flag.
    bool m_bLeftFrequencyMode = false;

    // Header decoding, shown range, statistics, automatic range, spectral peak, summary texts.
    // The shown count never exceeds the rows the recording holds (nor, in frequency mode, the
    // rows of the spectrum), and a recording without rows gets zero statistics.
    void Refresh(const Recording& recording);
    // Takes the header of a new recording; the old recording's spectrum and peak go, and a
    // spectrum recording (wInterval 0) gets an empty table of SPECTRUM_POINTS rows.
    void AdoptHeader(const RecordingHeader& header);
    // Fills m_pSpectrum from the first 256 rows (fewer rows are padded with zeros).
    void ComputeSpectrum(const Recording& recording);
    void SetFrequencyMode(bool on) { m_bFrequencyMode = on; }
    void ClearLeftFrequencyMode() { m_bLeftFrequencyMode = false; }
    void SetShownRange(int first, int last);
    // The same facts with no row shown: the summary lines of a report without its table.
    void HideRows() { m_nShownCount = 0; }

    // The first row of a real-time reading: header, start, interval, one row shown, running
    // statistics and summary texts. True when the automatic range changed.
    bool BeginRealTime(const RecordingHeader& header, const CalendarTime& start, const SampleRow& first);
    // Row n (0-based) of a real-time reading, already stored in the recording and counted in its
    // header: running statistics, their texts, shown range and sample count. True when the
    // automatic range grew.
    bool AddRealTimeRow(const Recording& recording, int n, const SampleRow& row);

    // Time label of 0-based row k; always starts with a blank.
    std::string FormatSampleTime(const Recording& recording, int k) const;
    // The same label appended to out; the text report calls it once per row.
    void AppendSampleTime(std::string& out, const Recording& recording, int k) const;
    // The label of a tick count (a position on the time axis in sampling intervals), the form
    // every row label takes; the graph's time axis labels its steps with it.
    void AppendTickTime(std::string& out, std::int64_t tick) const;
    // A label writer of its own for these settings, for a long listing that may run off the
    // user-interface thread.
    SampleTimeLabels TimeLabels() const;

private:
    // The labels of the current start and interval. Rebuilt when either changed, so that a
    // real-time reading, which sets its own start without a Refresh, never gets the text of
    // another start; Refresh makes it forget its minute, since the time zone may have changed.
    // Used from the user-interface thread only.
    SampleTimeLabels& Labels() const;
    mutable SampleTimeLabels m_timeLabels;
};

// "%.2f @" and a time text, as the summary names a maximum or minimum and the moment it occurred.
std::string ValueAtText(double value, const std::string& timeText);

}  // namespace shakemeter
