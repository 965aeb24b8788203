// stats, psd and events: the vibration analysis of recording files, as a table or as JSON.

#include "tools/cli/AnalysisVerbs.h"

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "analysis/export/AnalysisCsv.h"
#include "analysis/export/RecordingSummary.h"
#include "analysis/vibration/RangeStatistics.h"
#include "analysis/vibration/TimeRows.h"
#include "recording/RecordingFile.h"
#include "tools/cli/Verbs.h"

namespace shakemeter::cli {

namespace {

using Json = nlohmann::ordered_json;
using namespace vibration;

constexpr int EXIT_OK = 0;
constexpr int EXIT_REFUSED = 1;

constexpr const char* kColumnKeys[4] = {"x", "y", "z", "sum"};
constexpr const char* kColumnNames[4] = {"X", "Y", "Z", "Vector Sum"};
constexpr const char* kAxisKeys[3] = {"x", "y", "z"};

int Refuse(const std::string& file, const std::string& reason)
{
    std::fprintf(stderr, "shakemeter-cli: %s: %s\n", file.c_str(), reason.c_str());
    return EXIT_REFUSED;
}

// Reads a recording file; on failure names the file and the reason and gives false.
bool Load(const std::string& path, Recording& recording)
{
    RecordingFileResult result = ReadRecordingFile(path);
    if (!result.ok()) {
        std::fprintf(stderr, "shakemeter-cli: cannot read %s: %s\n", path.c_str(),
                     exports::RecordingReadFailure(path, result.error).c_str());
        return false;
    }
    recording = std::move(result.recording);
    return true;
}

// A number for the tables: six significant digits, no trailing noise.
std::string Number(double v)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", v);
    return buffer;
}

Json OptionalIndex(const std::optional<std::size_t>& index)
{
    return index ? Json(*index) : Json(nullptr);
}

// Texts from a file (the logger's event texts) need not be UTF-8; JSON must be, so a stray byte
// becomes U+FFFD instead of ending the program.
std::string Dump(const Json& doc)
{
    return doc.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string PsdUnit(Unit unit)
{
    return unit == Unit::G ? "g^2/Hz" : "(m/s2)^2/Hz";
}

}  // namespace

int RunStats(const StatsRequest& request)
{
    Recording recording;
    if (!Load(request.file, recording))
        return EXIT_REFUSED;
    const TimeRows rows = TimeRowsOf(recording);
    const RangeChoice choice = ChooseRange(rows.count, request.from, request.to);
    if (!choice.range)
        return Refuse(request.file, choice.refusal);
    const RangeStatistics s = ComputeRangeStatistics(rows.rows, *choice.range).converted(request.unit);

    if (request.json) {
        Json columns = Json::object();
        for (int c = 0; c < 4; ++c) {
            const ColumnStatistics& col = s.columns[c];
            columns[kColumnKeys[c]] = Json{{"max", col.max},
                                           {"min", col.min},
                                           {"max_row", col.maxRow},
                                           {"min_row", col.minRow},
                                           {"mean", col.mean},
                                           {"rms", col.rms},
                                           {"ac_rms", col.acRms},
                                           {"peak_to_peak", col.peakToPeak},
                                           {"crest_factor", col.crestFactor ? Json(*col.crestFactor) : Json(nullptr)}};
        }
        const Json doc = {{"rows", s.range.size()},
                          {"from", s.range.from},
                          {"to", s.range.to},
                          {"unit", UnitName(s.unit)},
                          {"columns", columns}};
        std::printf("%s\n", Dump(doc).c_str());
        return EXIT_OK;
    }
    std::printf("%s: rows %zu to %zu (%zu rows), values in %s\n", request.file.c_str(), s.range.from, s.range.to,
                s.range.size(), UnitName(s.unit));
    std::printf("%-11s %12s %9s %12s %9s %12s %12s %12s %12s %12s\n", "column", "max", "max_row", "min", "min_row",
                "mean", "rms", "ac_rms", "peak_to_peak", "crest_factor");
    for (int c = 0; c < 4; ++c) {
        const ColumnStatistics& col = s.columns[c];
        std::printf("%-11s %12s %9zu %12s %9zu %12s %12s %12s %12s %12s\n", kColumnNames[c], Number(col.max).c_str(),
                    col.maxRow, Number(col.min).c_str(), col.minRow, Number(col.mean).c_str(), Number(col.rms).c_str(),
                    Number(col.acRms).c_str(), Number(col.peakToPeak).c_str(),
                    col.crestFactor ? Number(*col.crestFactor).c_str() : "-");
    }
    return EXIT_OK;
}

int RunPsd(const PsdRequest& request)
{
    WelchPsd welch(request.segment);
    double fs = 0.0;
    // One file at a time: only the estimate is kept between files.
    for (const std::string& file : request.files) {
        Recording recording;
        if (!Load(file, recording))
            return EXIT_REFUSED;
        const TimeRows rows = TimeRowsOf(recording);
        if (!rows.evenlySampled())
            return Refuse(file, "a motion-detection recording is not evenly sampled, so it has no spectral density");
        if (!rows.hasInterval())
            return Refuse(file,
                          "the recording's interval counts no time, so it has no sampling rate and no spectral "
                          "density");
        const RangeChoice choice = ChooseRange(rows.count, request.from, request.to);
        if (!choice.range)
            return Refuse(file, choice.refusal);
        if (choice.range->size() < request.segment)
            return Refuse(file, "rows " + std::to_string(choice.range->from) + " to " +
                                    std::to_string(choice.range->to) +
                                    " are fewer than one segment of L = " + std::to_string(request.segment) + " rows");
        const double fileFs = 1.0 / rows.dt;
        if (fs == 0.0) {
            fs = fileFs;
        } else if (std::fabs(fileFs - fs) > 1e-9 * fs) {
            return Refuse(file, "sampled at " + Number(fileFs) + " Hz, " + request.files.front() + " at " + Number(fs) +
                                    " Hz; pooled files must share the sampling rate");
        }
        welch.AddSegments(rows.rows, *choice.range);
    }
    const PsdResult result = welch.Result(fs).converted(request.unit);
    if (!request.csv.empty()) {
        std::ostringstream table;
        exports::WritePsdCsv(table, result, request.unit);
        return WriteOutput(request.csv, table.str()) ? EXIT_OK : EXIT_REFUSED;
    }

    if (request.json) {
        Json doc = {{"fs", result.fs}, {"segment", result.segment},     {"segments", result.segments},
                    {"df", result.df}, {"unit", UnitName(result.unit)}, {"frequency", result.frequency}};
        for (int axis = 0; axis < 3; ++axis) {
            const AxisPsd& a = result.axes[axis];
            doc[kAxisKeys[axis]] = Json{{"psd", a.psd}, {"max_hold", a.maxHold}, {"grms", a.grms}};
        }
        std::printf("%s\n", Dump(doc).c_str());
        return EXIT_OK;
    }
    std::printf("fs %s Hz, segment %zu rows, %zu segments, df %s Hz, density in %s\n", Number(result.fs).c_str(),
                result.segment, result.segments, Number(result.df).c_str(), PsdUnit(result.unit).c_str());
    std::printf("Grms: X %s  Y %s  Z %s %s\n", Number(result.axes[0].grms).c_str(), Number(result.axes[1].grms).c_str(),
                Number(result.axes[2].grms).c_str(), UnitName(result.unit));
    std::printf("%12s %12s %12s %12s %12s %12s %12s\n", "frequency_hz", "psd_x", "psd_y", "psd_z", "max_hold_x",
                "max_hold_y", "max_hold_z");
    for (std::size_t k = 0; k < result.frequency.size(); ++k) {
        std::printf("%12s", Number(result.frequency[k]).c_str());
        for (int axis = 0; axis < 3; ++axis)
            std::printf(" %12s", Number(result.axes[axis].psd[k]).c_str());
        for (int axis = 0; axis < 3; ++axis)
            std::printf(" %12s", Number(result.axes[axis].maxHold[k]).c_str());
        std::printf("\n");
    }
    return EXIT_OK;
}

int RunEvents(const EventsRequest& request)
{
    Recording recording;
    if (!Load(request.file, recording))
        return EXIT_REFUSED;
    Events events = DetectEvents(TimeRowsOf(recording), request.options).converted(request.unit);
    LabelEvents(events, recording);
    const EventOptions& o = request.options;
    if (!request.csv.empty()) {
        std::ostringstream table;
        exports::WriteEventsCsv(table, events, request.unit, recording.m_pFreeFallEvents);
        return WriteOutput(request.csv, table.str()) ? EXIT_OK : EXIT_REFUSED;
    }

    if (request.json) {
        Json shocks = Json::array();
        for (const Shock& s : events.shocks) {
            shocks.push_back(Json{{"first_row", s.firstRow},
                                  {"last_row", s.lastRow},
                                  {"time", s.time},
                                  {"duration_s", s.durationS},
                                  {"peak_sum", s.peakSum},
                                  {"peak_row", s.peakRow},
                                  {"peak", Json{{"x", s.peak[0]}, {"y", s.peak[1]}, {"z", s.peak[2]}}},
                                  {"face", s.face}});
        }
        Json falls = Json::array();
        for (const FreeFall& f : events.freeFalls) {
            falls.push_back(Json{{"first_row", f.firstRow},
                                 {"last_row", f.lastRow},
                                 {"time", f.time},
                                 {"duration_s", f.durationS},
                                 {"height_m", f.heightM},
                                 {"height_min_m", f.heightMinM},
                                 {"height_max_m", f.heightMaxM},
                                 {"impact_speed_m_s", f.impactSpeedMS},
                                 {"impact", OptionalIndex(f.impact)}});
        }
        const Json doc = {{"shock_level", o.shockLevel},
                          {"fall_level", o.fallLevel},
                          {"shocks", shocks},
                          {"free_falls", falls},
                          {"logger_events", recording.m_pFreeFallEvents}};
        std::printf("%s\n", Dump(doc).c_str());
        return EXIT_OK;
    }
    std::printf("Shocks (vector sum >= %s g, peaks in %s): %zu\n", Number(o.shockLevel).c_str(), UnitName(events.unit),
                events.shocks.size());
    if (!events.shocks.empty()) {
        std::printf("%4s %10s %10s  %-24s %10s %10s %9s %9s %9s %9s %5s\n", "#", "first_row", "last_row", "time",
                    "duration_s", "peak_sum", "peak_row", "peak_x", "peak_y", "peak_z", "face");
        for (std::size_t i = 0; i < events.shocks.size(); ++i) {
            const Shock& s = events.shocks[i];
            std::printf("%4zu %10zu %10zu  %-24s %10s %10s %9zu %9s %9s %9s %5s\n", i, s.firstRow, s.lastRow,
                        s.time.c_str(), Number(s.durationS).c_str(), Number(s.peakSum).c_str(), s.peakRow,
                        Number(s.peak[0]).c_str(), Number(s.peak[1]).c_str(), Number(s.peak[2]).c_str(),
                        s.face.c_str());
        }
    }
    std::printf("Free falls (vector sum <= %s g for %zu rows or more): %zu\n", Number(o.fallLevel).c_str(),
                o.minFallRows, events.freeFalls.size());
    if (!events.freeFalls.empty()) {
        std::printf("%4s %10s %10s  %-24s %10s %9s %12s %12s %16s %6s\n", "#", "first_row", "last_row", "time",
                    "duration_s", "height_m", "height_min_m", "height_max_m", "impact_speed_m_s", "impact");
        for (std::size_t i = 0; i < events.freeFalls.size(); ++i) {
            const FreeFall& f = events.freeFalls[i];
            const std::string impact = f.impact ? std::to_string(*f.impact) : "-";
            std::printf("%4zu %10zu %10zu  %-24s %10s %9s %12s %12s %16s %6s\n", i, f.firstRow, f.lastRow,
                        f.time.c_str(), Number(f.durationS).c_str(), Number(f.heightM).c_str(),
                        Number(f.heightMinM).c_str(), Number(f.heightMaxM).c_str(), Number(f.impactSpeedMS).c_str(),
                        impact.c_str());
        }
    }
    std::printf("Free-fall events the logger recorded: %zu\n", recording.m_pFreeFallEvents.size());
    for (const std::string& text : recording.m_pFreeFallEvents)
        std::printf("  %s\n", text.c_str());
    return EXIT_OK;
}

}  // namespace shakemeter::cli
