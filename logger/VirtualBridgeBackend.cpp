#include "logger/VirtualBridgeBackend.h"

#include "logger/BackendSupport.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <dirent.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace shakemeter {

namespace {

constexpr const char* SOCKET_SUFFIX = ".sock";
constexpr std::size_t SOCKET_SUFFIX_LENGTH = 5;
// A listener whose backlog is full makes connect() wait; it must not hang the caller for long.
constexpr std::uint32_t CONNECT_TIMEOUT_MS = 1000;
// Flag of a listening socket in the kernel's table of Unix sockets.
constexpr unsigned long UNIX_SOCKET_ACCEPTING = 0x10000;

using Clock = std::chrono::steady_clock;

bool FillAddress(const std::string& path, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.data(), path.size());
    return true;
}

bool IsSocketFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

std::string NormalPath(const std::string& path)
{
    return std::filesystem::path(path).lexically_normal().string();
}

// Paths of the Unix sockets that are listening in this system, as they were bound. Reading this
// table lets the scan tell live bridges from stale files without connecting to a live one (a
// connection is an event the serving program sees). Empty when the table cannot be read.
std::set<std::string> ListeningSocketPaths()
{
    std::set<std::string> paths;
    std::ifstream table("/proc/net/unix");
    std::string line;
    std::getline(table, line);  // column titles
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string num, refCount, protocol, flags, type, state, inode;
        if (!(fields >> num >> refCount >> protocol >> flags >> type >> state >> inode)) {
            continue;
        }
        std::string path;
        std::getline(fields, path);
        if (path.size() < 2 || path[0] != ' ') {
            continue;
        }
        path.erase(0, 1);
        if (std::strtoul(flags.c_str(), nullptr, 16) & UNIX_SOCKET_ACCEPTING) {
            paths.insert(NormalPath(path));
        }
    }
    return paths;
}

// True when someone accepts connections on the socket; a refused connection means a stale file
// left behind by a program that ended without removing it.
bool HasListener(const std::string& path)
{
    sockaddr_un address;
    if (!FillAddress(path, address)) {
        return false;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const int result = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    const bool live = result == 0 || errno == EAGAIN || errno == EINPROGRESS;
    ::close(fd);
    return live;
}

// Milliseconds left until the deadline, rounded up, for poll().
int RemainingMs(Clock::time_point deadline)
{
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) {
        return 0;
    }
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

enum class WaitOutcome { Retry, TimedOut, Lost };

// After a socket call that moved nothing (errno tells why): try again when it was interrupted or
// the socket became ready before the deadline; stop when the time is up or the connection broke.
WaitOutcome WaitAfterEmptyCall(int fd, short events, Clock::time_point deadline)
{
    if (errno == EINTR) {
        return WaitOutcome::Retry;
    }
    if (errno != EAGAIN && errno != EWOULDBLOCK) {
        return WaitOutcome::Lost;
    }
    const int waitMs = RemainingMs(deadline);
    if (waitMs == 0) {
        return WaitOutcome::TimedOut;
    }
    pollfd wait{fd, events, 0};
    const int ready = ::poll(&wait, 1, waitMs);
    if (ready < 0 && errno != EINTR) {
        return WaitOutcome::Lost;
    }
    return ready == 0 ? WaitOutcome::TimedOut : WaitOutcome::Retry;
}

// Every command the logger gets starts a new exchange, and its reply is read from what arrives
// after it. Bytes still waiting when a command goes out (what an over-long reply left behind) are
// dropped, so that they are never taken for the start of the next reply. A peer that never stops
// sending cannot hold the write here: at most this many are dropped per write.
constexpr std::size_t MAX_DROPPED_PER_WRITE = 64 * 1024;

void DropUnreadBytes(int fd)
{
    unsigned char sink[1024];
    std::size_t dropped = 0;
    while (dropped < MAX_DROPPED_PER_WRITE) {
        const ssize_t n = ::recv(fd, sink, sizeof sink, MSG_DONTWAIT);
        if (n > 0) {
            dropped += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return;  // nothing waiting, or a hang-up the next read reports
        }
    }
}

std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    name.resize(name.size() - SOCKET_SUFFIX_LENGTH);
    return name;
}

}  // namespace

std::string VirtualBridgeFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] != '\0') {
        return std::string(runtime) + "/shakemeter/bridges";
    }
    return "/tmp/shakemeter-" + std::to_string(::getuid()) + "/bridges";
}

struct VirtualBridgeConnection {
    explicit VirtualBridgeConnection(int socketFd) : fd(socketFd) {}
    ~VirtualBridgeConnection() { ::close(fd); }
    VirtualBridgeConnection(const VirtualBridgeConnection&) = delete;
    VirtualBridgeConnection& operator=(const VirtualBridgeConnection&) = delete;

    const int fd;
    // Set once the peer hung up or the socket failed; from then on nothing goes through.
    std::atomic<bool> bClosed{false};
};

VirtualBridgeBackend::VirtualBridgeBackend(std::string folder) : m_strFolder(std::move(folder)) {}

VirtualBridgeBackend::~VirtualBridgeBackend() = default;

std::string VirtualBridgeBackend::CurrentFolder() const
{
    return m_strFolder.empty() ? VirtualBridgeFolder() : m_strFolder;
}

std::vector<std::string> VirtualBridgeBackend::ScanFolder(const std::string& folder)
{
    std::vector<std::string> candidates;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.size() <= SOCKET_SUFFIX_LENGTH ||
                name.compare(name.size() - SOCKET_SUFFIX_LENGTH, SOCKET_SUFFIX_LENGTH, SOCKET_SUFFIX) != 0) {
                continue;
            }
            const std::string path = folder + "/" + name;
            if (IsSocketFile(path)) {
                candidates.push_back(path);
            }
        }
        ::closedir(dir);
    }
    std::sort(candidates.begin(), candidates.end());

    const std::set<std::string> listening = ListeningSocketPaths();
    std::vector<std::string> bridges;
    for (const std::string& path : candidates) {
        sockaddr_un address;
        if (!FillAddress(path, address)) {
            continue;  // cannot be connected to by this path
        }
        if (listening.count(NormalPath(path)) != 0 || HasListener(path)) {
            bridges.push_back(path);
        }
    }
    return bridges;
}

DeviceStatus VirtualBridgeBackend::GetNumDevices(std::uint32_t& count)
{
    count = 0;
    std::vector<std::string> paths = ScanFolder(CurrentFolder());
    std::lock_guard lock(m_mutex);
    m_paths = std::move(paths);
    m_bScanned = true;
    count = static_cast<std::uint32_t>(m_paths.size());
    return DEVICE_SUCCESS;
}

std::string VirtualBridgeBackend::PathOf(std::uint32_t index)
{
    ScanIfNeverScanned(*this, m_mutex, m_bScanned);
    std::lock_guard lock(m_mutex);
    return index < m_paths.size() ? m_paths[index] : std::string();
}

DeviceStatus VirtualBridgeBackend::GetProductString(std::uint32_t index, char* buffer, int kind)
{
    if (buffer == nullptr) {
        return DEVICE_INVALID_PARAMETER;
    }
    const std::string path = PathOf(index);
    if (path.empty()) {
        return DEVICE_NOT_FOUND;
    }
    // A bridge whose socket went away since the scan no longer answers, like an unplugged one.
    if (!IsSocketFile(path)) {
        return DEVICE_NOT_FOUND;
    }
    switch (kind) {
    case 0:
        CopyProductString(BaseName(path), buffer);
        return DEVICE_SUCCESS;
    case 1:
        CopyProductString("QZ810 virtual bridge", buffer);
        return DEVICE_SUCCESS;
    case 2:
        CopyProductString(path, buffer);
        return DEVICE_SUCCESS;
    default:
        return DEVICE_INVALID_PARAMETER;
    }
}

DeviceStatus VirtualBridgeBackend::OpenDevice(std::uint32_t index, Connection& connection)
{
    const std::string path = PathOf(index);
    sockaddr_un address;
    if (path.empty() || !FillAddress(path, address)) {
        return DEVICE_NOT_FOUND;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return DEVICE_SYSTEM_ERROR;
    }
    auto opened = std::make_shared<VirtualBridgeConnection>(fd);
    timeval connectTimeout{};
    connectTimeout.tv_sec = CONNECT_TIMEOUT_MS / 1000;
    connectTimeout.tv_usec = (CONNECT_TIMEOUT_MS % 1000) * 1000;
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &connectTimeout, sizeof connectTimeout);
    int result = 0;
    do {
        result = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        return DEVICE_NOT_FOUND;
    }
    connection = std::move(opened);
    return DEVICE_SUCCESS;
}

DeviceStatus VirtualBridgeBackend::CloseDevice(Connection& connection)
{
    ::shutdown(connection->fd, SHUT_RDWR);
    return DEVICE_SUCCESS;
}

DeviceStatus VirtualBridgeBackend::ReadDevice(Connection& connection, void* buffer, std::uint32_t toRead,
                                              std::uint32_t& read)
{
    if (const auto early = EarlyTransferStatus(buffer, toRead, connection->bClosed, DEVICE_READ_ERROR)) {
        return *early;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(Timeouts().ReadMs());
    auto* out = static_cast<unsigned char*>(buffer);

    // A stream delivers the logger's fixed-length replies in pieces of any size: collect until the
    // whole length is there or the time-out ends, so that a complete reply is never cut short.
    std::uint32_t got = 0;
    while (got < toRead) {
        const ssize_t n = ::recv(connection->fd, out + got, toRead - got, MSG_DONTWAIT);
        if (n > 0) {
            got += static_cast<std::uint32_t>(n);
            continue;
        }
        if (n == 0) {
            connection->bClosed = true;
            break;
        }
        const WaitOutcome outcome = WaitAfterEmptyCall(connection->fd, POLLIN, deadline);
        if (outcome == WaitOutcome::Retry) {
            continue;
        }
        if (outcome == WaitOutcome::Lost) {
            connection->bClosed = true;
        }
        break;
    }
    read = got;
    // Bytes that arrived before a hang-up are still the logger's reply; the next call fails.
    if (got > 0) {
        return DEVICE_SUCCESS;
    }
    return connection->bClosed ? DEVICE_READ_ERROR : DEVICE_READ_TIMED_OUT;
}

DeviceStatus VirtualBridgeBackend::WriteDevice(Connection& connection, const void* buffer, std::uint32_t toWrite,
                                               std::uint32_t& written)
{
    if (const auto early = EarlyTransferStatus(buffer, toWrite, connection->bClosed, DEVICE_WRITE_ERROR)) {
        return *early;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(Timeouts().WriteMs());
    const auto* in = static_cast<const unsigned char*>(buffer);
    DropUnreadBytes(connection->fd);

    std::uint32_t sent = 0;
    bool timedOut = false;
    while (sent < toWrite) {
        // MSG_NOSIGNAL: a peer that hung up is a failed write, not a SIGPIPE that ends the program.
        const ssize_t n = ::send(connection->fd, in + sent, toWrite - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n >= 0) {
            sent += static_cast<std::uint32_t>(n);
            continue;
        }
        const WaitOutcome outcome = WaitAfterEmptyCall(connection->fd, POLLOUT, deadline);
        if (outcome == WaitOutcome::Retry) {
            continue;
        }
        timedOut = outcome == WaitOutcome::TimedOut;
        if (outcome == WaitOutcome::Lost) {
            connection->bClosed = true;
        }
        break;
    }
    written = sent;
    if (sent == toWrite) {
        return DEVICE_SUCCESS;
    }
    return timedOut ? DEVICE_WRITE_TIMED_OUT : DEVICE_WRITE_ERROR;
}

std::string VirtualBridgeBackend::BackendOf(std::uint32_t index)
{
    return PathOf(index).empty() ? std::string() : std::string("virtual");
}

}  // namespace shakemeter
