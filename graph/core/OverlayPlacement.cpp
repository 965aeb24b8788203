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

std::size_t OverlayPlacement::FirstRowFrom(double x, std::size_t from, std::size_t end) const
{
    while (from < end) {
        const std::size_t mid = from + (end - from) / 2;
        if (X(mid) < x)
            from = mid + 1;
        else
            end = mid;
    }
    return from;
}

std::optional<vibration::RowRange> OverlayPlacement::RowsWithin(double left, double right) const
{
    const std::size_t first = FirstRowFrom(left, 0, m_rows.count);
    const std::size_t end = FirstRowFrom(right + 1.0, first, m_rows.count);
    if (end <= first)
        return std::nullopt;
    return vibration::RowRange{first, end - 1};
}

std::optional<std::size_t> OverlayPlacement::RowAt(double x, double left, double right) const
{
    const std::optional<vibration::RowRange> within = RowsWithin(left, right);
    if (!within)
        return std::nullopt;
    // The first row at or right of x; the one before it may be nearer.
    const std::size_t row = FirstRowFrom(x, within->from, within->to + 1);
    if (row > within->to)
        return within->to;
    if (row > within->from && std::fabs(X(row - 1) - x) <= std::fabs(X(row) - x))
        return row - 1;
    return row;
}

}  // namespace shakemeter
