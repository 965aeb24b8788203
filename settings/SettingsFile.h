#pragma once
// The user's settings kept between runs in "ZEVORUVIDIVADUDAREZ.ini": the last logger setup,
// the graph's trace and grid switches, its preset value range and colours, and the real-time
// reading choices. The frame reads its keys at creation, the view its keys at its creation, the
// frame writes all of them at close. No failure is ever shown: an unreadable file gives the
// defaults, a failed write leaves the previous file (the bool results are for tests and logs).

#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/GraphDisplayOptions.h"

namespace shakemeter {

class ProfileFile;

constexpr const char* SETTINGS_FILE_NAME = "ZEVORUVIDIVADUDAREZ.ini";
// The program's folder in the per-user configuration location.
constexpr const char* SETTINGS_FOLDER_NAME = "shakemeter";
// The setup block the logger receives; bytes 6..20 are kept in the file.
constexpr std::size_t SETTINGS_SETUP_BLOCK_SIZE = 22;

struct Settings : GraphDisplayOptions {
    // Copy of the last setup block. Bytes 6..11, 19 and 20 come from the file; bytes 12..18 (the
    // time of the last setup) are written but never read, so they start at zero.
    std::array<std::uint8_t, SETTINGS_SETUP_BLOCK_SIZE> m_lastSetup = DefaultLastSetup();

    // Palette indexes (0 Red ... 13 Black), held as the byte the file gives.
    int m_nColorBg = 13;
    int m_nColorX = 0;
    int m_nColorY = 3;
    int m_nColorZ = 5;
    int m_nColorV = 1;
    int m_nColorGrid = 2;

    int m_nRtRateIndex = 2;               // 0 = 500 ms, 1 = 1 s, 2 = 2 s, 3 = 5 s, 4 = 10 s, 5 = 60 s
    std::string m_strRtPoints = "10000";  // as typed, up to 259 characters

    // 50 ms interval (code 200), normal mode, no thresholds, LED every 10 s, manual start.
    static constexpr std::array<std::uint8_t, SETTINGS_SETUP_BLOCK_SIZE> DefaultLastSetup()
    {
        std::array<std::uint8_t, SETTINGS_SETUP_BLOCK_SIZE> block{};
        block[6] = 200;
        block[19] = 10;
        return block;
    }

    bool operator==(const Settings&) const = default;
};

// The settings file in the program's per-user configuration folder (~/.config/shakemeter on
// Linux), the same for every program of the package.
QString SettingsFilePath();
// The settings file inside the given folder.
QString SettingsFilePathIn(const QString& folder);

// The frame's keys, in this order: LOGGERINFOR1..6, 14, 15 into m_lastSetup, the six colours,
// RTSAMP and RTSAMPPONT. Other members are left alone.
void ReadFrameSettings(Settings& settings, const QString& path = SettingsFilePath());
// The same keys from a profile already in memory.
void ReadFrameSettings(Settings& settings, const ProfileFile& profile);
void ReadViewSettings(Settings& settings, const ProfileFile& profile);

// The view's keys, in this order: VIEW1, VIEW2, VIEW3, VIEW7, VIEW4, VIEW5, VIEW6, Y TEMPLOW,
// Y TEMPHI. Other members are left alone.
void ReadViewSettings(Settings& settings, const QString& path = SettingsFilePath());
// The frame's keys and the view's, from one reading of the file.
Settings ReadAllSettings(const QString& path = SettingsFilePath());
// All 32 keys, also the unchanged ones, in the order a new file receives them: LOGGERINFOR1..15,
// VIEW1..7, the six colours, Y TEMPLOW, Y TEMPHI, RTSAMP, RTSAMPPONT. Other lines of an existing
// file stay. False when nothing could be written.
bool WriteAllSettings(const Settings& settings, const QString& path = SettingsFilePath());

// The range texts' conversion: leading blanks skipped, a decimal number (sign, digits, point,
// exponent) up to the first character that cannot continue it; anything else, or a number no
// double can hold, gives 0.
double ParseSettingsDecimal(std::string_view text);
// "%.2f" in every locale.
std::string FormatSettingsDecimal(double value);

}  // namespace shakemeter
