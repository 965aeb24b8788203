#include "graph/core/OverlayPlacement.h"

#include <algorithm>
#include <cmath>

namespace shakemeter {

namespace {

// A shift within this part of a shown sample of a whole number of samples is taken as that
// number: 5 s at 10 ms comes out as 500.00000000000006 samples, which would put every overlay
// point a pixel off the shown row at the same time.
constexpr double kWholeUnitTolerance = 1e-6;

}  // namespace

std::optional<OverlayPlacement> OverlayPlacement::Of(const GraphModel& model)
{
    const GraphOverlay* overlay = model.Overlay();
    const Recording* shown = model.document();
    if (overlay == nullptr || overlay->recording == nullptr || shown == nullptr || !model.HasView() ||
        model.FrequencyMode() || model.ShownCount() < 1 || model.RangeLast() < 1 || !model.ScalesUsable())
        return std::nullopt;
    const vibration::TimeRows shownRows = vibration::TimeRowsOf(*shown);
    OverlayPlacement placement;
    placement.m_recording = overlay->recording;
    placement.m_rows = vibration::TimeRowsOf(*overlay->recording);
    if (placement.m_rows.count == 0 || !PositiveFinite(shownRows.dt) || !PositiveFinite(placement.m_rows.dt))
        return std::nullopt;

    const GraphState& s = model.state();
    const int level = s.g_nZoomLevel;
    const int firstRow = model.RangeFirst() - 1;
    placement.m_shiftSeconds = OverlayShiftSeconds(*shown, *overlay->recording, overlay->alignment);
    double shiftUnits = placement.m_shiftSeconds / shownRows.dt;
    if (std::fabs(shiftUnits - std::nearbyint(shiftUnits)) < kWholeUnitTolerance)
        shiftUnits = std::nearbyint(shiftUnits);
    placement.m_ratio = placement.m_rows.dt == shownRows.dt ? 1.0 : placement.m_rows.dt / shownRows.dt;
    placement.m_unitOffset = shiftUnits - static_cast<double>(model.Tick(firstRow)) + s.m_nHShift;
    placement.m_spacing = s.m_dScale;
    placement.m_base = model.Position(firstRow, 0, level).x;
    placement.m_values = model.Mapping(level);
    return placement;
}

std::optional<vibration::RowRange> OverlayPlacement::RowsWithin(double left, double right) const
{
    // Columns grow with the rows: both ends are found by halving.
    std::size_t low = 0, high = m_rows.count;
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if (X(mid) < left)
            low = mid + 1;
        else
            high = mid;
    }
    const std::size_t first = low;
    high = m_rows.count;
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if (X(mid) < right + 1.0)
            low = mid + 1;
        else
            high = mid;
    }
    const std::size_t end = low;
    if (end <= first)
        return std::nullopt;
    return vibration::RowRange{first, end - 1};
}

std::optional<std::size_t> OverlayPlacement::RowAt(double x, double left, double right) const
{
    const std::optional<vibration::RowRange> within = RowsWithin(left, right);
    if (!within)
        return std::nullopt;
    std::size_t low = within->from, high = within->to + 1;
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if (X(mid) < x)
            low = mid + 1;
        else
            high = mid;
    }
    // low is the first row at or right of x; the one before it may be nearer.
    if (low > within->to)
        return within->to;
    if (low > within->from && std::fabs(X(low - 1) - x) <= std::fabs(X(low) - x))
        return low - 1;
    return low;
}

}  // namespace shakemeter
