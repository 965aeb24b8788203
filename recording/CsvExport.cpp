#include "recording/CsvExport.h"

#include <algorithm>

#include "recording/FixedText.h"

namespace shakemeter {

std::string BuildCsv(const Recording& recording, const RecordingView& view)
{
    std::string out;
    const bool frequency = view.m_bFrequencyMode && !view.m_pSpectrum.empty();
    if (frequency) {
        out += "No.,Frequency (Hz),X,Y,Z\n";
        const int bins = std::min<int>(view.m_nShownCount, static_cast<int>(view.m_pSpectrum.size()));
        for (int k = 0; k < bins; ++k) {
            AppendDecimal(out, k + 1);
            out += ',';
            AppendFixed2(out, k);  // bin k lies at k Hz
            for (int c = 0; c < 3; ++c) {
                out += ',';
                AppendFixed2(out, view.m_pSpectrum[k][c]);
            }
            out += '\n';
        }
        return out;
    }
    out += "No.,Time,X (g),Y (g),Z (g),Vector Sum (g)\n";
    const int rows = std::min<int>(view.m_nShownCount, static_cast<int>(recording.RowCount()));
    out.reserve(out.size() + static_cast<std::size_t>(rows) * 64);
    for (int k = 0; k < rows; ++k) {
        AppendDecimal(out, k + 1);
        out += ',';
        const std::string label = view.FormatSampleTime(recording, k);
        out.append(label, label.empty() || label[0] != ' ' ? 0 : 1, std::string::npos);
        for (int c = 0; c < 4; ++c) {
            out += ',';
            AppendFixed2(out, recording.m_pSamples[k][c]);
        }
        out += '\n';
    }
    return out;
}

}  // namespace shakemeter
