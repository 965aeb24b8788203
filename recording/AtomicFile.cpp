#include "recording/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace shakemeter {

int FileSystemCalls::open(const char* path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

ssize_t FileSystemCalls::write(int fd, const void* data, std::size_t size)
{
    return ::write(fd, data, size);
}

int FileSystemCalls::fsync(int fd)
{
    return ::fsync(fd);
}

int FileSystemCalls::close(int fd)
{
    return ::close(fd);
}

int FileSystemCalls::rename(const char* from, const char* to)
{
    return ::rename(from, to);
}

int FileSystemCalls::unlink(const char* path)
{
    return ::unlink(path);
}

FileSystemCalls& FileSystemCalls::System()
{
    static FileSystemCalls calls;
    return calls;
}

namespace {

// Writing through a symbolic link replaces the file it points to, not the link itself.
std::string ResolveTarget(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) != nullptr)
            return resolved;
    }
    return path;
}

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string RandomSuffix()
{
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof(kAlphabet)) - 2);
    std::string suffix(6, 'x');
    for (char& c : suffix)
        c = kAlphabet[pick(generator)];
    return suffix;
}

// One file in flight: its resolved target and its temporary file once written.
struct PendingFile {
    std::string target;
    std::string temporary;
};

bool WriteAll(FileSystemCalls& calls, int fd, std::string_view bytes)
{
    const char* at = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = calls.write(fd, at, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0)
            return false;
        at += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

// Creates, fills and flushes the temporary file of `pending`. On failure nothing is left behind.
bool WriteTemporary(FileSystemCalls& calls, PendingFile& pending, std::string_view bytes)
{
    int fd = -1;
    std::string temporary;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = pending.target + ".tmp-" + RandomSuffix();
        // 0666 lets the umask decide, as for any new file of the user.
        fd = calls.open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;

    // A replaced file keeps its permissions.
    struct stat existing {};
    if (::stat(pending.target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(fd, existing.st_mode & 07777);

    bool ok = WriteAll(calls, fd, bytes) && calls.fsync(fd) == 0;
    if (calls.close(fd) != 0)
        ok = false;
    if (!ok) {
        calls.unlink(temporary.c_str());
        return false;
    }
    pending.temporary = std::move(temporary);
    return true;
}

void SyncFolder(const std::string& target)
{
    const int fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Every (target, bytes) pair is written to a temporary file before any is renamed into place.
bool ReplaceFiles(const std::vector<std::pair<std::string, std::string_view>>& targetsAndBytes,
                  FileSystemCalls& calls)
{
    std::vector<PendingFile> pending(targetsAndBytes.size());
    auto removeTemporaries = [&calls, &pending](std::size_t from) {
        for (std::size_t i = from; i < pending.size(); ++i) {
            if (!pending[i].temporary.empty())
                calls.unlink(pending[i].temporary.c_str());
            pending[i].temporary.clear();
        }
    };

    for (std::size_t i = 0; i < targetsAndBytes.size(); ++i) {
        if (targetsAndBytes[i].first.empty()) {
            removeTemporaries(0);
            return false;
        }
        pending[i].target = ResolveTarget(targetsAndBytes[i].first);
        if (!WriteTemporary(calls, pending[i], targetsAndBytes[i].second)) {
            removeTemporaries(0);
            return false;
        }
    }

    for (std::size_t i = 0; i < pending.size(); ++i) {
        if (calls.rename(pending[i].temporary.c_str(), pending[i].target.c_str()) != 0) {
            removeTemporaries(i);
            return false;
        }
        pending[i].temporary.clear();
        SyncFolder(pending[i].target);
    }
    return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, FileSystemCalls& calls)
{
    return ReplaceFiles({{path, bytes}}, calls);
}

bool WriteFilesAtomically(std::vector<std::pair<std::string, std::string>> pathsAndBytes,
                          FileSystemCalls& calls)
{
    std::vector<std::pair<std::string, std::string_view>> views;
    views.reserve(pathsAndBytes.size());
    for (const auto& [path, bytes] : pathsAndBytes)
        views.emplace_back(path, bytes);
    return ReplaceFiles(views, calls);
}

}  // namespace shakemeter
