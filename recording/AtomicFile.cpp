#include "recording/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
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

constexpr std::size_t kTemporarySuffixLength = 11;  // ".tmp-" and six characters

// One file in flight: its resolved target, what stood there when it was looked at, and its
// temporary file once written.
struct PendingFile {
    std::string target;
    bool existed = false;
    mode_t mode = 0;  // of what existed
    std::string temporary;
    std::string previous;  // a second name of the replaced file, while the unit is renamed
};

// Looks at the target once: what the checks, the permissions of the new file and the unit's
// second names all go by. Writing through a symbolic link replaces the file it points to, not the
// link itself.
PendingFile LookAt(const std::string& path)
{
    PendingFile pending;
    pending.target = path;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return pending;
    if (S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        // A link that points nowhere is replaced itself, as a target that does not exist.
        if (::realpath(path.c_str(), resolved) == nullptr)
            return pending;
        pending.target = resolved;
        if (::stat(resolved, &info) != 0)
            return pending;
    }
    pending.existed = true;
    pending.mode = info.st_mode;
    return pending;
}

// The system's reason for the error number a failed call left; a call that failed without
// naming one is reported as an input/output error.
std::string ReasonOf(int error)
{
    return std::strerror(error != 0 ? error : EIO);
}

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

// Creates, fills and flushes the temporary file of `pending`. On failure nothing is left behind
// and `reason` says why.
bool WriteTemporary(FileSystemCalls& calls, PendingFile& pending, std::string_view bytes, std::string& reason)
{
    int fd = -1;
    std::string temporary;
    const std::string stem = TemporaryStem(pending.target);
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = stem + ".tmp-" + RandomSuffix();
        // 0666 lets the umask decide, as for any new file of the user.
        errno = 0;
        fd = calls.open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            reason = ReasonOf(errno);
            return false;
        }
    }
    if (fd < 0) {
        reason = ReasonOf(EEXIST);
        return false;
    }

    // A replaced file keeps its permissions.
    if (pending.existed && S_ISREG(pending.mode))
        ::fchmod(fd, pending.mode & 07777);

    errno = 0;
    bool ok = WriteAll(calls, fd, bytes) && calls.fsync(fd) == 0;
    int failure = ok ? 0 : errno;
    errno = 0;
    if (calls.close(fd) != 0 && ok) {
        ok = false;
        failure = errno;
    }
    if (!ok) {
        reason = ReasonOf(failure);
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

// Whether the (resolved) target may be replaced; `reason` says why not. A missing target may be
// created. A file without any write permission is refused even for a user whom the system would
// let write it (root), since the permission is how a user protects a file.
bool MayReplace(const PendingFile& pending, std::string& reason)
{
    const std::string& target = pending.target;
    const std::size_t slash = target.rfind('/');
    if (target.size() >= PATH_MAX || target.size() - (slash == std::string::npos ? 0 : slash + 1) > NAME_MAX) {
        reason = ReasonOf(ENAMETOOLONG);
        return false;
    }
    // A folder without any write permission is protected the same way.
    struct stat folder {};
    if (::stat(FolderOf(target).c_str(), &folder) == 0 && S_ISDIR(folder.st_mode) &&
        ((folder.st_mode & 0222) == 0 || ::access(FolderOf(target).c_str(), W_OK) != 0)) {
        reason = "the folder is read-only";
        return false;
    }
    if (!pending.existed)
        return true;
    if (S_ISDIR(pending.mode)) {
        reason = ReasonOf(EISDIR);
        return false;
    }
    if (S_ISREG(pending.mode) && ((pending.mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
        reason = "the file is read-only";
        return false;
    }
    return true;
}

// Every (target, bytes) pair is written to a temporary file before any is renamed into place.
bool ReplaceFiles(const std::vector<std::pair<std::string, std::string_view>>& targetsAndBytes, FileSystemCalls& calls,
                  FileWriteError* error)
{
    auto fail = [error](const std::string& path, std::string reason) {
        if (error != nullptr)
            *error = FileWriteError{path, std::move(reason)};
        return false;
    };
    std::vector<PendingFile> pending(targetsAndBytes.size());
    auto removeTemporaries = [&calls, &pending](std::size_t from) {
        for (std::size_t i = from; i < pending.size(); ++i) {
            if (!pending[i].temporary.empty())
                calls.unlink(pending[i].temporary.c_str());
            pending[i].temporary.clear();
        }
    };

    // Every target is checked before any temporary file exists.
    for (std::size_t i = 0; i < targetsAndBytes.size(); ++i) {
        const std::string& path = targetsAndBytes[i].first;
        if (path.empty())
            return fail(path, ReasonOf(ENOENT));
        pending[i] = LookAt(path);
        std::string reason;
        if (!MayReplace(pending[i], reason))
            return fail(path, std::move(reason));
    }

    for (std::size_t i = 0; i < targetsAndBytes.size(); ++i) {
        std::string reason;
        if (!WriteTemporary(calls, pending[i], targetsAndBytes[i].second, reason)) {
            removeTemporaries(0);
            return fail(targetsAndBytes[i].first, std::move(reason));
        }
    }

    // A unit of several files keeps a second name (a hard link) of each file it replaces, so
    // that a rename failing after earlier ones succeeded can put the earlier files back. Where
    // the file system has no links the unit goes on without them.
    if (pending.size() > 1) {
        for (PendingFile& file : pending) {
            if (!file.existed)
                continue;
            for (int attempt = 0; attempt < 100 && file.previous.empty(); ++attempt) {
                std::string name = file.target + ".old-" + RandomSuffix();
                if (::link(file.target.c_str(), name.c_str()) == 0)
                    file.previous = std::move(name);
                else if (errno != EEXIST)
                    break;
            }
        }
    }
    auto removePrevious = [&calls, &pending] {
        for (PendingFile& file : pending) {
            if (!file.previous.empty())
                calls.unlink(file.previous.c_str());
            file.previous.clear();
        }
    };

    for (std::size_t i = 0; i < pending.size(); ++i) {
        errno = 0;
        if (calls.rename(pending[i].temporary.c_str(), pending[i].target.c_str()) != 0) {
            const int failure = errno;
            removeTemporaries(i);
            for (std::size_t j = 0; j < i; ++j) {
                PendingFile& file = pending[j];
                if (!file.previous.empty() && calls.rename(file.previous.c_str(), file.target.c_str()) == 0)
                    file.previous.clear();
                else if (!file.existed)
                    calls.unlink(file.target.c_str());
                SyncFolder(file.target);
            }
            removePrevious();
            return fail(targetsAndBytes[i].first, ReasonOf(failure));
        }
        pending[i].temporary.clear();
        SyncFolder(pending[i].target);
    }
    removePrevious();
    return true;
}

}  // namespace

std::string TemporaryStem(const std::string& target)
{
    // A name the system allows may still be too long once the suffix is added: the temporary file
    // then takes a shortened name, since only its folder matters.
    std::string stem = target;
    const std::size_t slash = stem.rfind('/');
    const std::size_t nameLength = stem.size() - (slash == std::string::npos ? 0 : slash + 1);
    if (nameLength + kTemporarySuffixLength > NAME_MAX)
        stem.resize(stem.size() - (nameLength + kTemporarySuffixLength - NAME_MAX));
    return stem;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, FileSystemCalls& calls, FileWriteError* error)
{
    return ReplaceFiles({{path, bytes}}, calls, error);
}

bool WriteFilesAtomically(std::vector<std::pair<std::string, std::string>> pathsAndBytes, FileSystemCalls& calls,
                          FileWriteError* error)
{
    std::vector<std::pair<std::string, std::string_view>> views;
    views.reserve(pathsAndBytes.size());
    for (const auto& [path, bytes] : pathsAndBytes)
        views.emplace_back(path, bytes);
    return ReplaceFiles(views, calls, error);
}

}  // namespace shakemeter
