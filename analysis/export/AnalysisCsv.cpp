#include "analysis/export/AnalysisCsv.h"

#include "analysis/export/ExportText.h"

namespace shakemeter::exports {

namespace {

using namespace vibration;

// A comma and the number, or the comma alone for a cell without a value.
void AppendOptional(std::string& line, const std::optional<double>& value)
{
    line += ',';
    if (value)
        AppendNumber(line, *value);
}

void AppendIndex(std::string& line, std::size_t index)
{
    line += std::to_string(index);
}

// The columns every detected event fills: type, rows, time and duration.
void StartEventLine(std::string& line, const char* type, std::size_t firstRow, std::size_t lastRow,
                    const std::string& time, double durationS)
{
    line = type;
    line += ',';
    AppendIndex(line, firstRow);
    line += ',';
    AppendIndex(line, lastRow);
    line += ',';
    AppendCsvField(line, time);
    line += ',';
    AppendNumber(line, durationS);
}

}  // namespace

void WriteEventsCsv(std::ostream& out, const Events& events, Unit unit, const std::vector<std::string>& loggedEvents)
{
    const Events e = events.converted(unit);
    const std::string u = UnitName(unit);
    out << "Type,First row,Last row,Time,Duration (s),Peak sum (" << u << "),Peak X (" << u << "),Peak Y (" << u
        << "),Peak Z (" << u << "),Face,Drop height (m),Drop height min (m),Drop height max (m),Impact speed (m/s),"
        << "Impact shock\n";
    std::string line;
    for (const Shock& s : e.shocks) {
        StartEventLine(line, "shock", s.firstRow, s.lastRow, s.time, s.durationS);
        line += ',';
        AppendNumber(line, s.peakSum);
        for (const double v : s.peak) {
            line += ',';
            AppendNumber(line, v);
        }
        line += ',';
        AppendCsvField(line, s.face);
        line += ",,,,,\n";
        out << line;
    }
    for (const FreeFall& f : e.freeFalls) {
        StartEventLine(line, "free fall", f.firstRow, f.lastRow, f.time, f.durationS);
        line += ",,,,,,";
        for (const double v : {f.heightM, f.heightMinM, f.heightMaxM, f.impactSpeedMS}) {
            AppendNumber(line, v);
            line += ',';
        }
        if (f.impact)
            AppendIndex(line, *f.impact);
        line += '\n';
        out << line;
    }
    for (const std::string& text : loggedEvents) {
        line = "logged free fall,,,";
        AppendCsvField(line, text);
        line += ",,,,,,,,,,,\n";
        out << line;
    }
}

void WritePsdComparisonCsv(std::ostream& out, const PsdComparison& comparison, Unit unit)
{
    const PsdComparison c = comparison.converted(unit);
    const std::string u = UnitName(unit);
    std::string line = "Frequency (Hz)";
    for (const char* group : {"shown", "compared"}) {
        for (const char* axis : {"X", "Y", "Z"})
            line += std::string(",") + axis + ' ' + group + " (" + u + "^2/Hz)";
    }
    line += ",X ratio (dB),Y ratio (dB),Z ratio (dB)\n";
    out << line;
    for (std::size_t k = 0; k < c.shown.frequency.size(); ++k) {
        line.clear();
        AppendNumber(line, c.shown.frequency[k]);
        for (const AxisPsd& axis : c.shown.axes)
            AppendOptional(line, k < axis.psd.size() ? std::optional<double>(axis.psd[k]) : std::nullopt);
        for (const auto& axis : c.comparedAtShown)
            AppendOptional(line, axis[k]);
        for (const auto& axis : c.ratioDb)
            AppendOptional(line, axis[k]);
        line += '\n';
        out << line;
    }
    line = "Grms (" + u + ")";
    for (const PsdResult* p : {&c.shown, &c.compared}) {
        for (const AxisPsd& axis : p->axes)
            AppendOptional(line, axis.grms);
    }
    line += ",,,\n";
    out << line;
}

void WritePsdCsv(std::ostream& out, const PsdResult& psd, Unit unit)
{
    const PsdResult p = psd.converted(unit);
    const std::string u = UnitName(unit);
    out << "Frequency (Hz),X (" << u << "^2/Hz),Y (" << u << "^2/Hz),Z (" << u << "^2/Hz)\n";
    std::string line;
    for (std::size_t k = 0; k < p.frequency.size(); ++k) {
        line.clear();
        AppendNumber(line, p.frequency[k]);
        for (const AxisPsd& axis : p.axes) {
            line += ',';
            AppendNumber(line, k < axis.psd.size() ? axis.psd[k] : 0.0);
        }
        line += '\n';
        out << line;
    }
    line = "Grms (" + u + ")";
    for (const AxisPsd& axis : p.axes) {
        line += ',';
        AppendNumber(line, axis.grms);
    }
    line += '\n';
    out << line;
}

}  // namespace shakemeter::exports
