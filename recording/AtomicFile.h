#pragma once
// Replacing files so that a reader only ever sees the old content or the complete new one: the
// bytes go to "<target>.tmp-XXXXXX" in the target's folder, are flushed to the disk, and only then
// renamed over the target. On any failure the temporary file is removed and the target is left as
// it was. Several files can be replaced as one unit: all of them are written first, then renamed.
// A target that is a folder, a read-only file or in a read-only folder is refused before anything
// is written: renaming over it would replace a file the user protected, or fail half-way through
// a unit.

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace shakemeter {

// The system calls the writer makes. The default forwards to the operating system; tests derive
// from it to fail one call at a chosen point.
class FileSystemCalls {
public:
    virtual ~FileSystemCalls() = default;
    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t write(int fd, const void* data, std::size_t size);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int rename(const char* from, const char* to);
    virtual int unlink(const char* path);

    static FileSystemCalls& System();
};

// Why a write failed: the target that could not be replaced and the reason, as the system
// states it ("No space left on device") or "the file is read-only".
struct FileWriteError {
    std::string path;
    std::string reason;
};

// What the temporary files of `target` are named from in its folder, before ".tmp-" and six
// characters: the target's path, its name shortened where the suffix would pass the system's
// limit for a name.
std::string TemporaryStem(const std::string& target);

bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         FileSystemCalls& calls = FileSystemCalls::System(), FileWriteError* error = nullptr);

// Writes every (path, bytes) pair to its temporary file first; only when all are complete are they
// renamed into place, in the given order. A failure before the renames leaves every target
// untouched. A rename that fails after earlier ones succeeded (practically impossible within one
// folder once the temporary files exist) puts the files already replaced back as they were
// (through hard links made before the renames; without them, new files are removed) and removes
// the remaining temporary files.
bool WriteFilesAtomically(std::vector<std::pair<std::string, std::string>> pathsAndBytes,
                          FileSystemCalls& calls = FileSystemCalls::System(), FileWriteError* error = nullptr);

}  // namespace shakemeter
