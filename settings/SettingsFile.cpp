#include "settings/SettingsFile.h"

#include <QDir>
#include <QStandardPaths>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <system_error>

#include "settings/ProfileFile.h"

namespace shakemeter {

namespace {

constexpr const char* SECTION_LOGGER = "LOGGERInfo";
constexpr const char* SECTION_VIEW = "VIEWInfo";
constexpr const char* SECTION_YAXIS = "Y AXISInfo";
constexpr const char* SECTION_COLOR = "ColorInfo";
constexpr const char* SECTION_RTSAMP = "RTSAMPInfo";

// LOGGERINFOR<number> holds byte number + 5 of the setup block.
constexpr int LOGGER_KEY_FIRST_BYTE = 5;

std::string LoggerKey(int number)
{
    return "LOGGERINFOR" + std::to_string(number);
}

std::string ViewKey(int number)
{
    return "VIEW" + std::to_string(number);
}

// Values of type int (byte) keep only their low byte.
std::uint8_t LowByte(int value)
{
    return static_cast<std::uint8_t>(static_cast<unsigned>(value) & 0xFFu);
}

// The switch behind VIEW<number>.
template <class SettingsType>
auto& ViewSwitch(SettingsType& s, int number)
{
    return s.*kViewKeySwitches[static_cast<std::size_t>(number - 1)];
}

struct ColorKey {
    const char* key;
    int Settings::*member;
    int defaultIndex;
};

constexpr ColorKey COLOR_KEYS[] = {
    {"BGColor", &Settings::m_nColorBg, 13}, {"XColor", &Settings::m_nColorX, 0},
    {"YColor", &Settings::m_nColorY, 3},    {"ZColor", &Settings::m_nColorZ, 5},
    {"VColor", &Settings::m_nColorV, 1},    {"GRIDColor", &Settings::m_nColorGrid, 2},
};

}  // namespace

QString SettingsFilePath()
{
    // Named here rather than taken from the running program, so that the window program and the
    // command line (whatever their executable names) share one file.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return SettingsFilePathIn(QDir(folder).filePath(QString::fromLatin1(SETTINGS_FOLDER_NAME)));
}

QString SettingsFilePathIn(const QString& folder)
{
    return QDir(folder).filePath(QString::fromLatin1(SETTINGS_FILE_NAME));
}

void ReadFrameSettings(Settings& settings, const QString& path)
{
    ProfileFile profile;
    profile.Load(path);  // an unreadable file reads as empty: every key gets its default
    ReadFrameSettings(settings, profile);
}

Settings ReadAllSettings(const QString& path)
{
    ProfileFile profile;
    profile.Load(path);
    Settings settings;
    ReadFrameSettings(settings, profile);
    ReadViewSettings(settings, profile);
    return settings;
}

void ReadFrameSettings(Settings& settings, const ProfileFile& profile)
{
    const Settings defaults;
    for (int number : {1, 2, 3, 4, 5, 6, 14, 15}) {
        const std::size_t byte = static_cast<std::size_t>(number + LOGGER_KEY_FIRST_BYTE);
        settings.m_lastSetup[byte] =
            LowByte(profile.GetInt(SECTION_LOGGER, LoggerKey(number), defaults.m_lastSetup[byte]));
    }
    for (const ColorKey& color : COLOR_KEYS) {
        settings.*color.member = LowByte(profile.GetInt(SECTION_COLOR, color.key, color.defaultIndex));
    }
    settings.m_nRtRateIndex = profile.GetInt(SECTION_RTSAMP, "RTSAMP", defaults.m_nRtRateIndex);
    settings.m_strRtPoints = profile.GetString(SECTION_RTSAMP, "RTSAMPPONT", defaults.m_strRtPoints);
}

void ReadViewSettings(Settings& settings, const QString& path)
{
    ProfileFile profile;
    profile.Load(path);
    ReadViewSettings(settings, profile);
}

void ReadViewSettings(Settings& settings, const ProfileFile& profile)
{
    const Settings defaults;
    for (int number : {1, 2, 3, 7, 4, 5, 6}) {
        // Stored as a byte, then tested for non-zero: 256 reads as off.
        ViewSwitch(settings, number) =
            LowByte(profile.GetInt(SECTION_VIEW, ViewKey(number), ViewSwitch(defaults, number) ? 1 : 0)) != 0;
    }
    settings.m_dPresetYMin = ParseSettingsDecimal(profile.GetString(SECTION_YAXIS, "Y TEMPLOW", "-20.00"));
    settings.m_dPresetYMax = ParseSettingsDecimal(profile.GetString(SECTION_YAXIS, "Y TEMPHI", "20.00"));
}

bool WriteAllSettings(const Settings& settings, const QString& path)
{
    ProfileFile profile;
    if (!profile.Load(path)) {
        // Rewriting a file we could not read would throw away whatever else it holds.
        return false;
    }
    for (int number = 1; number <= 15; ++number) {
        const std::size_t byte = static_cast<std::size_t>(number + LOGGER_KEY_FIRST_BYTE);
        profile.SetString(SECTION_LOGGER, LoggerKey(number), std::to_string(settings.m_lastSetup[byte]));
    }
    for (int number = 1; number <= 7; ++number) {
        profile.SetString(SECTION_VIEW, ViewKey(number), ViewSwitch(settings, number) ? "1" : "0");
    }
    for (const ColorKey& color : COLOR_KEYS) {
        profile.SetString(SECTION_COLOR, color.key, std::to_string(settings.*color.member));
    }
    profile.SetString(SECTION_YAXIS, "Y TEMPLOW", FormatSettingsDecimal(settings.m_dPresetYMin));
    profile.SetString(SECTION_YAXIS, "Y TEMPHI", FormatSettingsDecimal(settings.m_dPresetYMax));
    profile.SetString(SECTION_RTSAMP, "RTSAMP", std::to_string(settings.m_nRtRateIndex));
    profile.SetString(SECTION_RTSAMP, "RTSAMPPONT", settings.m_strRtPoints);
    return profile.Save(path);
}

double ParseSettingsDecimal(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r' ||
                               text[i] == '\v' || text[i] == '\f')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t start = i;
    auto digits = [&] {
        std::size_t count = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            ++i;
            ++count;
        }
        return count;
    };
    std::size_t mantissaDigits = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissaDigits += digits();
    }
    if (mantissaDigits == 0) {
        return 0.0;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        const std::size_t mark = i;
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        if (digits() == 0) {
            i = mark;  // "1e" or "1e+": the exponent cannot be completed, the number ends before it
        }
    }
    // The scanned span is plain decimal syntax, which from_chars reads without any locale.
    double value = 0.0;
    const char* first = text.data() + start;
    const char* last = text.data() + i;
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error != std::errc() || end != last || !std::isfinite(value)) {
        return 0.0;
    }
    return negative ? -value : value;
}

std::string FormatSettingsDecimal(double value)
{
    char buffer[400];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    if (error != std::errc()) {
        return "0.00";
    }
    return std::string(buffer, end);
}

}  // namespace shakemeter
