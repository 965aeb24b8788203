#include "analysis/export/RecordingSummary.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <thread>

#include "analysis/export/ExportText.h"
#include "analysis/vibration/RangeStatistics.h"
#include "analysis/vibration/TimeRows.h"

namespace shakemeter::exports {

namespace {

using namespace vibration;

constexpr const char* kAxes[3] = {"X", "Y", "Z"};

// Appends printf's text whatever its length: the file column is as wide as the longest path,
// which no fixed buffer bounds.
template <class... Values>
void AppendFormatted(std::string& out, const char* format, Values... values)
{
    const int length = std::snprintf(nullptr, 0, format, values...);
    if (length <= 0)
        return;
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(length) + 1);
    std::snprintf(out.data() + at, static_cast<std::size_t>(length) + 1, format, values...);
    out.resize(at + static_cast<std::size_t>(length));
}

std::string Short(double v)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.4g", v);
    return buffer;
}

}  // namespace

std::string RecordingReadFailure(const std::string& path, RecordingFileError error)
{
    std::error_code ignored;
    switch (error) {
    case RecordingFileError::InvalidFormat:
        return std::string("not a recording file (") + kInvalidFormatMessage + ")";
    case RecordingFileError::Truncated:
        return "the recording is cut short";
    case RecordingFileError::TooLarge:
        return "the file is too large to be a recording";
    default:
        if (!std::filesystem::exists(path, ignored))
            return "no such file";
        if (std::filesystem::is_directory(path, ignored))
            return "is a folder, not a file";
        return "cannot be opened for reading";
    }
}

RecordingSummary SummarizeRecording(const std::string& path, const EventOptions& options)
{
    RecordingSummary line;
    line.file = path;
    RecordingFileResult read = ReadRecordingFile(path);
    if (!read.ok()) {
        line.failure = RecordingReadFailure(path, read.error);
        return line;
    }
    const Recording& recording = read.recording;
    line.startTime = IsoLocalTime(CalendarTime::FromLocal(HeaderStart(recording.m_header)));
    line.kind = KindName(recording.Kind());
    const TimeRows rows = TimeRowsOf(recording);
    line.intervalS = rows.dt;
    line.rows = rows.count;
    if (rows.count == 0)
        return line;
    const RangeStatistics s = ComputeRangeStatistics(rows.rows, RowRange{0, rows.count - 1});
    for (int axis = 0; axis < 3; ++axis) {
        line.max[axis] = s.columns[axis].max;
        line.min[axis] = s.columns[axis].min;
        line.rms[axis] = s.columns[axis].rms;
    }
    const Events events = DetectEvents(rows, options);
    line.shocks = events.shocks.size();
    for (const Shock& shock : events.shocks)
        line.largestShock = std::max(line.largestShock, shock.peakSum);
    line.falls = events.freeFalls.size();
    for (const FreeFall& fall : events.freeFalls)
        line.highestDropM = std::max(line.highestDropM, fall.heightM);
    return line;
}

std::vector<RecordingSummary> SummarizeRecordings(const std::vector<std::string>& paths, unsigned jobs,
                                                  const EventOptions& options,
                                                  const std::function<void(std::size_t, std::size_t)>& progress)
{
    std::vector<RecordingSummary> lines(paths.size());
    if (jobs == 0)
        jobs = std::max(1u, std::thread::hardware_concurrency());
    jobs = static_cast<unsigned>(std::min<std::size_t>(jobs, std::max<std::size_t>(1, paths.size())));

    std::atomic<std::size_t> next{0};
    std::size_t done = 0;
    std::mutex progressMutex;
    const auto work = [&] {
        for (std::size_t i = next++; i < paths.size(); i = next++) {
            // Each line has its own slot, so no two threads write the same memory.
            lines[i] = SummarizeRecording(paths[i], options);
            if (progress) {
                const std::lock_guard lock(progressMutex);
                progress(++done, paths.size());
            }
        }
    };
    std::vector<std::thread> workers;
    for (unsigned j = 1; j < jobs; ++j)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers)
        worker.join();
    return lines;
}

std::string FormatSummaryTable(const std::vector<RecordingSummary>& lines)
{
    std::size_t fileWidth = 4;
    for (const RecordingSummary& line : lines)
        fileWidth = std::max(fileWidth, line.file.size());
    std::string out;
    AppendFormatted(out, "%-*s  %-25s  %-9s  %10s  %9s", static_cast<int>(fileWidth), "file", "start", "kind",
                    "interval_s", "rows");
    for (const char* axis : kAxes) {
        AppendFormatted(out, "  %7s_max %7s_min %7s_rms", axis, axis, axis);
    }
    out += "  shocks  largest_g  falls  highest_m\n";
    for (const RecordingSummary& line : lines) {
        if (!line.readable()) {
            AppendFormatted(out, "%-*s  cannot read: %s\n", static_cast<int>(fileWidth), line.file.c_str(),
                            line.failure.c_str());
            continue;
        }
        AppendFormatted(out, "%-*s  %-25s  %-9s  %10s  %9zu", static_cast<int>(fileWidth), line.file.c_str(),
                        line.startTime.c_str(), line.kind.c_str(), Short(line.intervalS).c_str(), line.rows);
        for (int axis = 0; axis < 3; ++axis) {
            if (line.rows == 0) {
                AppendFormatted(out, "  %11s %11s %11s", "-", "-", "-");
            } else {
                AppendFormatted(out, "  %11s %11s %11s", Short(line.max[axis]).c_str(), Short(line.min[axis]).c_str(),
                                Short(line.rms[axis]).c_str());
            }
        }
        AppendFormatted(out, "  %6zu  %9s  %5zu  %9s\n", line.shocks,
                        line.shocks > 0 ? Short(line.largestShock).c_str() : "-", line.falls,
                        line.falls > 0 ? Short(line.highestDropM).c_str() : "-");
    }
    return out;
}

std::string FormatSummaryCsv(const std::vector<RecordingSummary>& lines)
{
    std::string out = "File,Start time,Kind,Interval (s),Rows";
    for (const char* axis : kAxes) {
        for (const char* what : {" max (g)", " min (g)", " RMS (g)"}) {
            out += ',';
            out += axis;
            out += what;
        }
    }
    out += ",Shocks,Largest shock (g),Falls,Highest drop (m),Error\n";
    for (const RecordingSummary& line : lines) {
        AppendCsvField(out, line.file);
        if (!line.readable()) {
            out += ",,,,,,,,,,,,,,,,,,";
            AppendCsvField(out, line.failure);
            out += '\n';
            continue;
        }
        out += ',';
        AppendCsvField(out, line.startTime);
        out += ',';
        out += line.kind;
        out += ',';
        AppendNumber(out, line.intervalS);
        out += ',';
        out += std::to_string(line.rows);
        for (int axis = 0; axis < 3; ++axis) {
            for (const double v : {line.max[axis], line.min[axis], line.rms[axis]}) {
                out += ',';
                if (line.rows > 0)
                    AppendNumber(out, v);
            }
        }
        out += ',' + std::to_string(line.shocks) + ',';
        if (line.shocks > 0)
            AppendNumber(out, line.largestShock);
        out += ',' + std::to_string(line.falls) + ',';
        if (line.falls > 0)
            AppendNumber(out, line.highestDropM);
        out += ",\n";
    }
    return out;
}

}  // namespace shakemeter::exports
