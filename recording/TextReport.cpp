#include "recording/TextReport.h"

#include <algorithm>
#include <ostream>
#include <vector>

#include "recording/FixedText.h"

namespace shakemeter {

namespace {

constexpr char kCrLf[] = "\r\n";
constexpr char kListHeader[] = "NO.\tX Value\tY Value\tZ Value\tVector Sum Value\tUNIT\tTIME\t";
// A written stream receives the report in pieces of about this size.
constexpr std::size_t kFlushBytes = std::size_t{1} << 20;

void AppendLine(std::string& out, const std::string& text)
{
    out += text;
    out += kCrLf;
}

void AppendAxisLine(std::string& out, const char* axis, const SummaryTexts& t, int c, bool withThreshold)
{
    out += ">>";
    out += axis;
    out += " MAX: ";
    out += t.max[c];
    out += "  ";
    out += axis;
    out += " MIN: ";
    out += t.min[c];
    out += "  ";
    out += axis;
    out += " AVG: ";
    out += t.avg[c];
    if (withThreshold) {
        out += "   ";
        out += axis;
        out += " Threshold: ";
        out += t.threshold[c];
    }
    out += kCrLf;
}

// Writes the report into buffer, handing it to flush whenever it has grown past kFlushBytes.
template <class Flush>
void EmitReport(std::string& buffer, Flush&& flush, const Recording& recording, const RecordingView& view)
{
    const SummaryTexts& t = view.m_summary;
    const std::string hyphens(150, '-');

    AppendLine(buffer, std::string(33, ' ') + "Test Report");
    buffer += kCrLf;
    AppendLine(buffer, ">>Start Time: " + t.startTime);
    AppendLine(buffer, ">>Sampling rate: " + t.samplingRate + "sec" + "    Samplings: " + t.samples);
    AppendLine(buffer, ">>Unit: " + t.unit + "   Mode: " + t.mode);
    AppendAxisLine(buffer, "X", t, 0, true);
    AppendAxisLine(buffer, "Y", t, 1, true);
    AppendAxisLine(buffer, "Z", t, 2, true);
    AppendAxisLine(buffer, "Vector Sum", t, 3, false);
    AppendLine(buffer, hyphens);

    // The header's count is only a promise; list the texts that are really there.
    const std::size_t events =
        std::min<std::size_t>(recording.m_header.wFreeFallCount, recording.m_pFreeFallEvents.size());
    if (events >= 1) {
        AppendLine(buffer, "Free Fall Recordings: " + std::to_string(events));
        buffer += kCrLf;
        AppendLine(buffer, "NO.\tTime\t");
        for (std::size_t i = 0; i < events; ++i) {
            AppendDecimal(buffer, static_cast<std::int64_t>(i + 1));
            buffer += " \t ";
            buffer += recording.m_pFreeFallEvents[i];
            buffer += " \t";
            buffer += kCrLf;
        }
    }
    AppendLine(buffer, hyphens);
    AppendLine(buffer, "Vibration Data List(X,Y,Z,Vector Sum)");
    buffer += kCrLf;

    const std::size_t shown =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(view.m_nShownCount, 0)), recording.RowCount());
    // The number of blocks is counted in a full-width integer: kept in 8 bits it would wrap at
    // 256 blocks (15,360,000 rows), repeat the list header too few times and, at an exact
    // multiple of 256 blocks, take the recording for one without blocks.
    const std::size_t blocks = (shown + REPORT_BLOCK_ROWS - 1) / REPORT_BLOCK_ROWS;
    for (std::size_t g = 0; g < blocks; ++g)
        buffer += kListHeader;
    buffer += kCrLf;

    // Line r holds row r of every block: rows r, r + 60000, r + 120000, ... as far as they exist,
    // so no row of a long recording is left out. Each block has a label writer of its own: the
    // rows of one line lie blocks apart in time, and one writer would convert every label anew.
    const std::size_t lines = std::min<std::size_t>(shown, REPORT_BLOCK_ROWS);
    std::vector<SampleTimeLabels> labels(blocks, view.TimeLabels());
    const SampleRow* rows = recording.m_pSamples.data();
    constexpr std::size_t kShortUnit = 16;
    char numbers[4 * (kFixedTextMax + 1) + 32 + kShortUnit];
    for (std::size_t r = 1; r <= lines; ++r) {
        for (std::size_t row = r, g = 0; row <= shown; row += REPORT_BLOCK_ROWS, ++g) {
            const SampleRow& sample = rows[row - 1];
            char* p = WriteDecimal(numbers, static_cast<std::int64_t>(row));
            *p++ = '\t';
            for (int c = 0; c < 4; ++c) {
                p = WriteFixed2(p, sample[c]);
                *p++ = '\t';
            }
            if (t.unit.size() <= kShortUnit) {
                p = std::copy(t.unit.begin(), t.unit.end(), p);
                *p++ = '\t';
                buffer.append(numbers, p);
            } else {
                buffer.append(numbers, p);
                buffer += t.unit;
                buffer += '\t';
            }
            labels[g].Append(buffer, recording.TickOf(row - 1));
            buffer.append(" \t", 2);
        }
        buffer += kCrLf;
        if (buffer.size() >= kFlushBytes)
            flush(buffer);
    }
    flush(buffer);
}

}  // namespace

std::string FormatTextReport(const Recording& recording, const RecordingView& view)
{
    std::string report;
    // A row takes about 60 to 70 bytes; one allocation for the usual report.
    const std::size_t shown = static_cast<std::size_t>(std::max(view.m_nShownCount, 0));
    report.reserve(4096 + std::min<std::size_t>(shown, recording.RowCount()) * 80);
    EmitReport(
        report, [](std::string&) {}, recording, view);
    return report;
}

bool WriteTextReport(std::ostream& out, const Recording& recording, const RecordingView& view)
{
    std::string buffer;
    buffer.reserve(kFlushBytes + 64 * 1024);
    EmitReport(
        buffer,
        [&out](std::string& pending) {
            out.write(pending.data(), static_cast<std::streamsize>(pending.size()));
            pending.clear();
        },
        recording, view);
    return static_cast<bool>(out);
}

std::string DefaultReportBaseName(const CalendarTime& now)
{
    return now.format("%y-%m-%d  %H.%M.%S");
}

std::string DefaultSaveFileName(const CalendarTime& now)
{
    return DefaultReportBaseName(now) + ".Vibration";
}

SaveFileNamePair SaveFileNames(const std::string& chosenPath)
{
#ifdef _WIN32
    const std::size_t nameStart = chosenPath.find_last_of("/\\");
#else
    const std::size_t nameStart = chosenPath.find_last_of('/');
#endif
    const std::size_t dot = chosenPath.rfind('.');
    const bool dotInName = dot != std::string::npos && (nameStart == std::string::npos || dot > nameStart);
    const std::string base = dotInName ? chosenPath.substr(0, dot) : chosenPath;
    return {base + ".Vibration", base + ".xls"};
}

}  // namespace shakemeter
