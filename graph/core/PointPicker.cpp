#include "graph/core/PointPicker.h"

#include <algorithm>
#include <cmath>

#include "graph/core/AxisText.h"
#include "recording/PixelMath.h"

namespace shakemeter {

int PointPicker::PickIndex(int x)
{
    GraphState& s = m_model.m_state;
    s.g_nCursorIndex = NearestIndex(m_model, x, s.g_nCursorIndex);
    return s.g_nCursorIndex;
}

int PointPicker::NearestIndex(const GraphModel& model, int x, int fallback)
{
    const GraphState& s = model.m_state;
    const int shown = model.ShownCount();
    if (shown == 1)
        return 0;
    const int first = model.RangeFirst();
    const int last = model.RangeLast();
    if (shown < 2 || last <= first)
        return fallback;
    const int level = s.g_nZoomLevel;
    const int firstRow = first - 1;
    int index = fallback;
    if (!model.HasTicks()) {
        const double firstX = model.X(firstRow, level);
        const double spacing = model.X(firstRow + 1, level) - firstX;
        if (IsUsableDivisor(spacing)) {
            int i = TruncToInt((x - firstX) / spacing + first - 1.0 - s.m_nHShift);
            const int shifted = i + s.m_nHShift;
            if (shifted >= 0 && shifted + 1 <= last - 1) {
                const double fromLeft = x - model.X(shifted, level);
                const double toRight = model.X(shifted + 1, level) - x;
                if (fromLeft > toRight)
                    ++i;
            }
            index = i;
        }
    } else {
        const double shiftPixels = s.m_nHShift * s.m_dScale;
        for (int i = firstRow + 1; i <= last - 1; ++i) {
            const double xi = model.X(i, level) + shiftPixels;
            if (x <= xi) {
                const double before = x - model.X(i - 1, level) - shiftPixels;
                index = before <= xi - x ? i - 1 : i;
                break;
            }
        }
    }
    return std::min(index, last - 1);
}

bool PointPicker::UpdateReadout(int index)
{
    GraphState& s = m_model.m_state;
    const int n = m_model.ShownCount();
    if (!m_model.HasView() || index < 0 || index >= n || index >= m_model.TableRows())
        return false;
    const bool frequency = m_model.FrequencyMode();
    const std::string place = frequency ? FormatFixed(index, 2) : m_model.SampleTimeText(index);
    // Appended piece by piece: gcc 12 at -O3 warns falsely about "literal" + string.
    const auto labelled = [](const char* label, const std::string& value) {
        std::string text(label);
        text += value;
        return text;
    };
    s.g_strReadoutHead = labelled("Data Point No.:", FormatInteger(index + 1));
    s.g_strReadoutHead += frequency ? "      Frequency:" : "    Time:";
    s.g_strReadoutHead += place;
    s.g_strReadoutX = labelled("X:", FormatFixed(m_model.Value(index, 0), 2));
    s.g_strReadoutY = labelled("Y:", FormatFixed(m_model.Value(index, 1), 2));
    s.g_strReadoutZ = labelled("Z:", FormatFixed(m_model.Value(index, 2), 2));
    s.g_strReadoutV = labelled("Vector Sum:", frequency ? std::string() : FormatFixed(m_model.Value(index, 3), 2));
    s.g_nReadoutOffset = 100;
    return true;
}

}  // namespace shakemeter
