#pragma once
// Replacing files so that a reader only ever sees the old content or the complete new one: the
// bytes go to "<target>.tmp-XXXXXX" in the target's folder, are flushed to the disk, and only then
// renamed over the target. On any failure the temporary file is removed and the target is left as
// it was. Several files can be replaced as one unit: all of them are written first, then renamed.

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

bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         FileSystemCalls& calls = FileSystemCalls::System());

// Writes every (path, bytes) pair to its temporary file first; only when all are complete are they
// renamed into place, in the given order. A failure before the renames leaves every target
// untouched. A rename that fails after earlier ones succeeded (practically impossible within one
// folder once the temporary files exist) stops there and removes the remaining temporary files.
bool WriteFilesAtomically(std::vector<std::pair<std::string, std::string>> pathsAndBytes,
                          FileSystemCalls& calls = FileSystemCalls::System());

}  // namespace shakemeter
