#include "analysis/export/Hdf5Export.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <vector>

#include <fcntl.h>
#include <hdf5.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "analysis/export/ExportText.h"
#include "analysis/vibration/TimeRows.h"

namespace shakemeter::exports {

namespace {

// Rows written per call: large enough that the library's per-call cost vanishes, small enough
// that the staging buffer stays in the cache.
constexpr std::size_t kBlockRows = 32768;

// Closes an HDF5 identifier of any kind when it leaves scope.
class Handle {
public:
    explicit Handle(hid_t id = H5I_INVALID_HID) : m_id(id) {}
    ~Handle() { reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    hid_t get() const { return m_id; }
    bool valid() const { return m_id >= 0; }
    // Closes now; false when closing failed (for a file: its last bytes did not reach the disk).
    bool reset()
    {
        const hid_t id = m_id;
        m_id = H5I_INVALID_HID;
        return id < 0 || H5Idec_ref(id) >= 0;
    }

private:
    hid_t m_id;
};

// The description of the innermost error on the library's stack, or "" when it holds none.
std::string LibraryReason()
{
    std::string reason;
    H5Ewalk2(
        H5E_DEFAULT, H5E_WALK_DOWNWARD,
        [](unsigned n, const H5E_error2_t* e, void* data) -> herr_t {
            if (n == 0 && e != nullptr && e->desc != nullptr)
                *static_cast<std::string*>(data) = e->desc;
            return 0;
        },
        &reason);
    return reason;
}

class Writer {
public:
    Writer(hid_t file, const vibration::TimeRows& rows) : m_file(file), m_rows(rows) {}

    std::string failure;

    // A float64 or int32 dataset of the row count, filled block by block by fill(first, count, buffer).
    template <typename T, typename Fill>
    bool Dataset(const char* name, const char* unit, Fill fill)
    {
        const hid_t type = std::is_same_v<T, double> ? H5T_IEEE_F64LE : H5T_STD_I32LE;
        const hid_t memType = std::is_same_v<T, double> ? H5T_NATIVE_DOUBLE : H5T_NATIVE_INT32;
        const hsize_t dims[1] = {m_rows.count};
        Handle space(H5Screate_simple(1, dims, nullptr));
        Handle set(space.valid() ? H5Dcreate2(m_file, name, type, space.get(), H5P_DEFAULT, H5P_DEFAULT, H5P_DEFAULT)
                                 : H5I_INVALID_HID);
        if (!set.valid())
            return Fail(std::string("cannot create the dataset ") + name);
        if (unit != nullptr && !StringAttribute(set.get(), "unit", unit))
            return false;
        std::vector<T> buffer(std::min(kBlockRows, m_rows.count));
        for (std::size_t first = 0; first < m_rows.count; first += kBlockRows) {
            const std::size_t n = std::min(kBlockRows, m_rows.count - first);
            fill(first, n, buffer.data());
            const hsize_t start[1] = {first};
            const hsize_t count[1] = {n};
            Handle memory(H5Screate_simple(1, count, nullptr));
            if (!memory.valid() ||
                H5Sselect_hyperslab(space.get(), H5S_SELECT_SET, start, nullptr, count, nullptr) < 0 ||
                H5Dwrite(set.get(), memType, memory.get(), space.get(), H5P_DEFAULT, buffer.data()) < 0)
                return Fail(std::string("cannot write the dataset ") + name);
        }
        return true;
    }

    bool StringAttribute(hid_t owner, const char* name, const std::string& value)
    {
        const char* text = value.c_str();
        return StringsAttribute(owner, name, &text, 1, false);
    }

    // Variable-length UTF-8 strings, which h5py reads as str and MATLAB as char arrays.
    bool StringsAttribute(hid_t owner, const char* name, const char* const* texts, std::size_t count, bool array)
    {
        Handle type(H5Tcopy(H5T_C_S1));
        if (!type.valid() || H5Tset_size(type.get(), H5T_VARIABLE) < 0 || H5Tset_cset(type.get(), H5T_CSET_UTF8) < 0)
            return Fail(std::string("cannot make the attribute ") + name);
        const hsize_t dims[1] = {count};
        Handle space(array ? H5Screate_simple(1, dims, nullptr) : H5Screate(H5S_SCALAR));
        return Attribute(owner, name, type.get(), space.get(), type.get(), texts);
    }

    template <typename T>
    bool NumbersAttribute(const char* name, const T* values, std::size_t count, bool array)
    {
        const hid_t type = std::is_same_v<T, double> ? H5T_IEEE_F64LE : H5T_STD_I32LE;
        const hid_t memType = std::is_same_v<T, double> ? H5T_NATIVE_DOUBLE : H5T_NATIVE_INT32;
        const hsize_t dims[1] = {count};
        Handle space(array ? H5Screate_simple(1, dims, nullptr) : H5Screate(H5S_SCALAR));
        return Attribute(m_file, name, type, space.get(), memType, values);
    }

private:
    bool Attribute(hid_t owner, const char* name, hid_t type, hid_t space, hid_t memType, const void* data)
    {
        Handle attribute(space >= 0 ? H5Acreate2(owner, name, type, space, H5P_DEFAULT, H5P_DEFAULT) : H5I_INVALID_HID);
        if (!attribute.valid() || H5Awrite(attribute.get(), memType, data) < 0)
            return Fail(std::string("cannot write the attribute ") + name);
        return true;
    }

    bool Fail(std::string what)
    {
        const std::string reason = LibraryReason();
        failure = reason.empty() ? std::move(what) : what + " (" + reason + ")";
        return false;
    }

    hid_t m_file;
    const vibration::TimeRows& m_rows;
};

// The logger's event texts are plain ASCII; any other byte would make the attribute invalid
// UTF-8, which readers refuse, so it is written as '?'.
std::string AsciiText(const std::string& text)
{
    std::string out = text;
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b >= 0x7F)
            c = '?';
    }
    return out;
}

bool WriteContent(hid_t file, const Recording& recording, const RecordingFacts& facts, const vibration::TimeRows& rows,
                  std::string& failure)
{
    Writer w(file, rows);
    static constexpr const char* kColumns[4] = {"x", "y", "z", "sum"};
    bool ok = true;
    for (int c = 0; c < 4 && ok; ++c) {
        ok = w.Dataset<double>(kColumns[c], "g", [&](std::size_t first, std::size_t n, double* out) {
            for (std::size_t k = 0; k < n; ++k)
                out[k] = rows.rows[first + k][c];
        });
    }
    ok = ok && w.Dataset<double>("time", "s", [&](std::size_t first, std::size_t n, double* out) {
        for (std::size_t k = 0; k < n; ++k)
            out[k] = static_cast<double>(rows.tick(first + k)) * rows.dt;
    });
    if (ok && !rows.evenlySampled()) {
        ok = w.Dataset<std::int32_t>("tick", nullptr, [&](std::size_t first, std::size_t n, std::int32_t* out) {
            std::copy_n(rows.ticks + first, n, out);
        });
    }

    const RecordingHeader& h = recording.m_header;
    const std::array<std::int32_t, 3> thresholds = {h.byThresholdX, h.byThresholdY, h.byThresholdZ};
    std::vector<std::string> events;
    for (const std::string& text : recording.m_pFreeFallEvents)
        events.push_back(AsciiText(text));
    std::vector<const char*> eventTexts;
    for (const std::string& text : events)
        eventTexts.push_back(text.c_str());
    const char* none = "";
    ok = ok && w.StringAttribute(file, "start_time", IsoLocalTime(facts.m_timeStart)) &&
         w.NumbersAttribute("interval_s", &rows.dt, 1, false) &&
         w.StringAttribute(file, "kind", KindName(recording.Kind())) &&
         w.StringAttribute(file, "mode", facts.m_summary.mode) &&
         w.NumbersAttribute("thresholds", thresholds.data(), thresholds.size(), true) &&
         w.StringsAttribute(file, "free_fall_events", eventTexts.empty() ? &none : eventTexts.data(), eventTexts.size(),
                            true) &&
         w.StringAttribute(file, "source", "shakemeter");
    if (!ok)
        failure = w.failure;
    return ok;
}

bool Refuse(FileWriteError* error, const std::string& path, const std::string& reason)
{
    if (error != nullptr)
        *error = FileWriteError{path, reason};
    return false;
}

}  // namespace

std::uint64_t Hdf5PayloadBytes(const Recording& recording)
{
    const vibration::TimeRows rows = vibration::TimeRowsOf(recording);
    const std::uint64_t perRow = 5 * sizeof(double) + (rows.evenlySampled() ? 0 : sizeof(std::int32_t));
    return static_cast<std::uint64_t>(rows.count) * perRow;
}

bool WriteHdf5File(const std::string& path, const Recording& recording, const RecordingFacts& facts,
                   FileWriteError* failed)
{
    namespace fs = std::filesystem;
    std::error_code error;
    // Writing through a symbolic link replaces the file it points to, not the link itself.
    const std::string written = fs::is_symlink(path, error) ? fs::weakly_canonical(path, error).string() : path;
    const vibration::TimeRows rows = vibration::TimeRowsOf(recording);
    // A dataset's extent is an hsize_t and the staging buffer a vector: both must hold the count.
    if (rows.count > std::numeric_limits<hsize_t>::max() / sizeof(double) ||
        rows.count > std::vector<double>().max_size())
        return Refuse(failed, path, "the recording has too many rows");

    // Refused as the other file writers refuse them: a folder, and a file the user protected
    // (without any write permission, even for a user the system would let write it).
    struct stat existing {};
    const bool exists = ::stat(written.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return Refuse(failed, path, std::strerror(EISDIR));
    const bool replaces = exists && S_ISREG(existing.st_mode);
    if (replaces && ((existing.st_mode & 0222) == 0 || ::access(written.c_str(), W_OK) != 0))
        return Refuse(failed, path, "the file is read-only");
    const fs::path folder = fs::path(written).parent_path().empty() ? fs::path(".") : fs::path(written).parent_path();
    struct statvfs disk {};
    if (::statvfs(folder.c_str(), &disk) == 0 &&
        static_cast<std::uint64_t>(disk.f_bavail) * disk.f_frsize < Hdf5PayloadBytes(recording))
        return Refuse(failed, path, "not enough free space on the disk");

    std::string temporary = TemporaryStem(written) + ".tmp-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return Refuse(failed, path, std::strerror(errno));
    // A replaced file keeps its permissions; a new one gets what the umask gives any new file.
    if (replaces) {
        ::fchmod(fd, existing.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    ::close(fd);

    // The library prints its error stack on failures by default; the reason goes into the message.
    H5E_auto2_t printer = nullptr;
    void* printerData = nullptr;
    H5Eget_auto2(H5E_DEFAULT, &printer, &printerData);
    H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
    std::string failure;
    bool ok = false;
    {
        Handle file(H5Fcreate(temporary.c_str(), H5F_ACC_TRUNC, H5P_DEFAULT, H5P_DEFAULT));
        if (!file.valid())
            failure = "cannot create the file";
        else
            ok = WriteContent(file.get(), recording, facts, rows, failure);
        if (file.valid() && !file.reset() && ok) {
            ok = false;
            failure = "cannot complete the file";
        }
    }
    H5Eset_auto2(H5E_DEFAULT, printer, printerData);

    if (ok) {
        // The bytes reach the disk before the name does, so a crash leaves the old file or the new one.
        const int sync = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
        if (sync < 0 || ::fsync(sync) != 0) {
            failure = std::strerror(errno);
            ok = false;
        }
        if (sync >= 0)
            ::close(sync);
    }
    if (ok && ::rename(temporary.c_str(), written.c_str()) != 0) {
        failure = std::strerror(errno);
        ok = false;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return Refuse(failed, path, failure);
    }
    return true;
}

}  // namespace shakemeter::exports
