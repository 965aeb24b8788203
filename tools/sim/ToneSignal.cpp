#include "tools/sim/ToneSignal.h"

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <sstream>

namespace shakemeter {

namespace {

bool ParseNumber(const std::string& text, double& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(value);
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.emplace_back();
    return parts;
}

}  // namespace

ToneSignal::ToneSignal(std::vector<Tone> tones) : m_tones(std::move(tones)) {}

std::vector<Tone> ToneSignal::DefaultTones()
{
    return {Tone{12.25, 0.5, kToneAxisX}, Tone{40.1, 0.2, kToneAxisY}};
}

std::array<double, 3> ToneSignal::At(double seconds) const
{
    std::array<double, 3> g{0.0, 0.0, 1.0};
    for (const Tone& tone : m_tones) {
        const double value = tone.amplitudeG * std::sin(2.0 * std::numbers::pi * tone.frequencyHz * seconds);
        if (tone.axes & kToneAxisX)
            g[0] += value;
        if (tone.axes & kToneAxisY)
            g[1] += value;
        if (tone.axes & kToneAxisZ)
            g[2] += value;
    }
    return g;
}

std::optional<std::vector<Tone>> ToneSignal::Parse(const std::string& text, std::string& error)
{
    std::vector<Tone> tones;
    for (const std::string& item : Split(text, ',')) {
        const std::vector<std::string> fields = Split(item, ':');
        Tone tone;
        if (fields.size() < 2 || fields.size() > 3 || !ParseNumber(fields[0], tone.frequencyHz) ||
            !ParseNumber(fields[1], tone.amplitudeG)) {
            error = "invalid tone '" + item + "' (expected HZ:G or HZ:G:AXES)";
            return std::nullopt;
        }
        if (tone.frequencyHz < 0 || tone.frequencyHz > 100000) {
            error = "tone frequency out of range 0..100000 Hz in '" + item + "'";
            return std::nullopt;
        }
        if (std::fabs(tone.amplitudeG) > 16) {
            error = "tone amplitude out of range -16..16 g in '" + item + "'";
            return std::nullopt;
        }
        if (fields.size() == 3) {
            tone.axes = 0;
            for (char axis : fields[2]) {
                const unsigned bit = axis == 'x' || axis == 'X'   ? kToneAxisX
                                     : axis == 'y' || axis == 'Y' ? kToneAxisY
                                     : axis == 'z' || axis == 'Z' ? kToneAxisZ
                                                                  : 0;
                if (bit == 0) {
                    error = "invalid tone axes '" + fields[2] + "' (use x, y and z)";
                    return std::nullopt;
                }
                tone.axes |= bit;
            }
            if (tone.axes == 0) {
                error = "no axis given for tone '" + item + "'";
                return std::nullopt;
            }
        }
        tones.push_back(tone);
    }
    if (tones.empty()) {
        error = "no tone given";
        return std::nullopt;
    }
    return tones;
}

}  // namespace shakemeter
