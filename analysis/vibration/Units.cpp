#include "analysis/vibration/Units.h"

namespace shakemeter::vibration {

double UnitScale(Unit unit)
{
    return unit == Unit::G ? 1.0 : kStandardGravity;
}

const char* UnitName(Unit unit)
{
    return unit == Unit::G ? "g" : "m/s2";
}

std::optional<Unit> ParseUnit(std::string_view text)
{
    if (text == "g")
        return Unit::G;
    if (text == "m/s2")
        return Unit::MetresPerSecondSquared;
    return std::nullopt;
}

}  // namespace shakemeter::vibration
