#pragma once
// The unit the analysis reports accelerations in: g as recorded, or m/s^2 with standard gravity.

#include <optional>
#include <string_view>

namespace shakemeter::vibration {

// Standard gravity, exact by definition.
inline constexpr double kStandardGravity = 9.80665;

enum class Unit { G, MetresPerSecondSquared };

// The factor that turns a value in g into the unit.
double UnitScale(Unit unit);
// "g" or "m/s2", the texts the command line accepts and reports.
const char* UnitName(Unit unit);

// A copy of an analysis result in another unit: scaleValues(copy, factor) multiplies the copy's
// accelerations by the factor from the result's unit to the new one (powers of it where it is squared).
template <typename Result, typename ScaleValues>
Result InUnit(const Result& result, Unit to, ScaleValues scaleValues)
{
    Result out = result;
    scaleValues(out, UnitScale(to) / UnitScale(result.unit));
    out.unit = to;
    return out;
}
// The unit of a text of UnitName, or nothing for any other text.
std::optional<Unit> ParseUnit(std::string_view text);

}  // namespace shakemeter::vibration
