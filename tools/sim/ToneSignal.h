#pragma once
// The acceleration the simulated logger feels while it is read live or captured for the
// spectrum: 1 g of gravity on Z plus sine components, each on chosen axes.

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace shakemeter {

constexpr unsigned kToneAxisX = 1;
constexpr unsigned kToneAxisY = 2;
constexpr unsigned kToneAxisZ = 4;

struct Tone {
    double frequencyHz = 0;
    double amplitudeG = 0;
    unsigned axes = kToneAxisX;
    bool operator==(const Tone&) const = default;
};

class ToneSignal {
public:
    explicit ToneSignal(std::vector<Tone> tones = DefaultTones());

    // X, Y, Z in g at the given time since reading began.
    std::array<double, 3> At(double seconds) const;
    const std::vector<Tone>& Tones() const { return m_tones; }

    // Components used when none are given. Their frequencies are not whole hertz, so that live
    // samples taken at whole or half seconds still move.
    static std::vector<Tone> DefaultTones();

    // "HZ:G[:AXES][,HZ:G[:AXES]...]", AXES a combination of x, y and z (default x).
    // Frequencies 0..100000 Hz, amplitudes -16..16 g. On failure returns nullopt and sets error.
    static std::optional<std::vector<Tone>> Parse(const std::string& text, std::string& error);

private:
    std::vector<Tone> m_tones;
};

}  // namespace shakemeter
