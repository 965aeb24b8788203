#pragma once
// Opening a file for reading only when it is a regular file. A path may name a pipe, a device or a
// folder: a pipe would keep the reader waiting for a writer, a device could be read without end,
// so such a path is refused before anything is read.

#include <cstdint>
#include <string>

namespace shakemeter {

// A descriptor open for reading, closed when it goes.
class RegularFile {
public:
    RegularFile() = default;
    explicit RegularFile(int fd) : m_fd(fd) {}
    ~RegularFile();
    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    int fd() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

struct RegularFileOpening {
    RegularFile file;
    // When the file is not open: the system's error number, EISDIR for a folder, 0 for something
    // that is neither a regular file nor a folder (a pipe, a device, a socket).
    int error = 0;
    // The file's size in bytes when it was opened.
    std::uint64_t size = 0;
};

// Opens `path` read-only without waiting on a pipe's writer; what is open is a regular file that
// then reads as any other does.
RegularFileOpening OpenRegularFile(const std::string& path);

}  // namespace shakemeter
