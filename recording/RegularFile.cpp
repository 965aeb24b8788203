#include "recording/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace shakemeter {

RegularFile::~RegularFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

RegularFile::RegularFile(RegularFile&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

RegularFileOpening OpenRegularFile(const std::string& path)
{
    RegularFileOpening opening;
    // Without O_NONBLOCK opening a pipe waits for a writer; on a regular file it changes nothing.
    RegularFile file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.isOpen()) {
        opening.error = errno;
        return opening;
    }
    struct stat info {};
    if (::fstat(file.fd(), &info) != 0) {
        opening.error = errno;
        return opening;
    }
    if (!S_ISREG(info.st_mode)) {
        opening.error = S_ISDIR(info.st_mode) ? EISDIR : 0;
        return opening;
    }
    // A regular file reads as it always does (network file systems may honour the flag).
    ::fcntl(file.fd(), F_SETFL, ::fcntl(file.fd(), F_GETFL) & ~O_NONBLOCK);
    opening.size = static_cast<std::uint64_t>(info.st_size);
    opening.file = std::move(file);
    return opening;
}

}  // namespace shakemeter
