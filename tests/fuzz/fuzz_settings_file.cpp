// The settings file as the program finds it: any bytes at all. Reading never fails; what it
// reads writes back into a new file and into the very file it came from (every other line kept),
// and reads again as the same settings; a second round changes nothing more. The profile layer
// underneath finds a key it has just set, whatever the file around it looks like, and its text
// reads back as itself.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

#include "settings/ProfileFile.h"
#include "settings/SettingsFile.h"

namespace {

using namespace shakemeter;

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

const QString& Folder()
{
    // Saving is atomic and synced to disk; in memory (/dev/shm) a run costs microseconds, not
    // the milliseconds of a disk.
    static const QString folder = [] {
        const QString base =
            QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        const QString path = base + "/shakemeter-fuzz-settings-" + QString::number(::getpid());
        QDir().mkpath(path);
        return path;
    }();
    return folder;
}

void WriteBytes(const QString& path, const std::uint8_t* data, std::size_t size)
{
    QFile file(path);
    Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    Require(file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) == static_cast<qint64>(size));
}

Settings ReadAll(const QString& path)
{
    Settings settings;
    ReadFrameSettings(settings, path);
    ReadViewSettings(settings, path);
    return settings;
}

// Members that go through the file unchanged; the range limits are rounded to two decimals.
bool SameExactMembers(const Settings& a, const Settings& b)
{
    for (std::size_t i : {6, 7, 8, 9, 10, 11, 19, 20})
        if (a.m_lastSetup[i] != b.m_lastSetup[i])
            return false;
    return a.m_bShowX == b.m_bShowX && a.m_bShowY == b.m_bShowY && a.m_bShowZ == b.m_bShowZ &&
           a.m_bMarkPoints == b.m_bMarkPoints && a.m_bVertGrid == b.m_bVertGrid && a.m_bHorzGrid == b.m_bHorzGrid &&
           a.m_bShowVectorSum == b.m_bShowVectorSum && a.m_nColorBg == b.m_nColorBg && a.m_nColorX == b.m_nColorX &&
           a.m_nColorY == b.m_nColorY && a.m_nColorZ == b.m_nColorZ && a.m_nColorV == b.m_nColorV &&
           a.m_nColorGrid == b.m_nColorGrid && a.m_nRtRateIndex == b.m_nRtRateIndex;
}

// The found file lives in memory (a memfd read through /proc), as the recording fuzzer does it.
QString InMemory(const std::uint8_t* data, std::size_t size)
{
    static const int fd = ::memfd_create("fuzz-settings", 0);
    Require(fd >= 0 && ::ftruncate(fd, 0) == 0);
    Require(::pwrite(fd, data, size, 0) == static_cast<ssize_t>(size));
    return QStringLiteral("/proc/self/fd/") + QString::number(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ProfileFile profile;
    profile.LoadText(bytes);
    Settings first;
    ReadFrameSettings(first, profile);
    ReadViewSettings(first, profile);
    Require(first.m_strRtPoints.size() <= ProfileFile::MAX_STRING_CHARS);

    // The profile layer finds what it has just set, and its text reads back as itself.
    Require(profile.SetString("Fuzz Section", "Key", "value 1"));
    Require(profile.Value("fuzz section", "KEY") == std::optional<std::string>("value 1"));
    const std::string text = profile.Text();
    ProfileFile again;
    again.LoadText(text);
    Require(again.Text() == text);
    Require(again.Value("Fuzz Section", "Key") == std::optional<std::string>("value 1"));

    // Files cost far more than the rest (atomic saves): one input in 64, chosen by its
    // bytes so that a finding reproduces, also goes the whole way round through files.
    std::uint32_t mix = static_cast<std::uint32_t>(size);
    for (std::size_t i = 0; i < size; ++i)
        mix = mix * 31 + data[i];
    if (mix % 64 != 0)
        return 0;
    Require(ReadAll(InMemory(data, size)) == first);
    const QString found = Folder() + "/found.ini";
    const QString fresh = Folder() + "/fresh.ini";
    WriteBytes(found, data, size);
    QFile::remove(fresh);
    Require(WriteAllSettings(first, fresh));
    const Settings second = ReadAll(fresh);
    Require(SameExactMembers(first, second));
    Require(WriteAllSettings(second, fresh));
    Require(ReadAll(fresh) == second);
    // Written over the file it was read from (every other line kept), the settings read back the same.
    Require(WriteAllSettings(second, found));
    Require(ReadAll(found) == second);
    return 0;
}
