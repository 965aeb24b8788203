#include "analysis/export/RangeCsv.h"

#include "recording/FixedText.h"

namespace shakemeter::exports {

std::string BuildRangeCsv(const Recording& recording, const RecordingFacts& facts, vibration::RowRange range,
                          vibration::Unit unit)
{
    const std::string u = vibration::UnitName(unit);
    std::string out = "No.,Time,X (" + u + "),Y (" + u + "),Z (" + u + "),Vector Sum (" + u + ")\n";
    const std::size_t count = vibration::TimeRowsOf(recording).count;
    if (count == 0 || range.from > range.to || range.from >= count)
        return out;
    const std::size_t last = std::min(range.to, count - 1);
    const double scale = vibration::UnitScale(unit);
    out.reserve(out.size() + (last - range.from + 1) * 64);
    std::string label;
    for (std::size_t k = range.from; k <= last; ++k) {
        AppendDecimal(out, static_cast<std::int64_t>(k) + 1);
        out += ',';
        label.clear();
        facts.AppendSampleTime(label, recording, static_cast<int>(k));
        out.append(label, label.empty() || label[0] != ' ' ? 0 : 1, std::string::npos);
        for (int c = 0; c < 4; ++c) {
            out += ',';
            AppendFixed2(out, recording.m_pSamples[k][c] * scale);
        }
        out += '\n';
    }
    return out;
}

}  // namespace shakemeter::exports
