#include "tools/sim/SocketServer.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace shakemeter {

namespace {

std::string SystemError(const std::string& what, const std::string& path)
{
    return what + " " + path + ": " + std::strerror(errno);
}

// Creates one folder level, or checks an existing one is a private directory of this user.
bool EnsurePrivateFolder(const std::string& path, std::string& error)
{
    if (::mkdir(path.c_str(), 0700) == 0) {
        if (::chmod(path.c_str(), 0700) != 0) {
            error = SystemError("cannot set the mode of", path);
            return false;
        }
        return true;
    }
    if (errno != EEXIST) {
        error = SystemError("cannot create", path);
        return false;
    }
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        error = SystemError("cannot inspect", path);
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        error = path + " exists and is not a folder";
        return false;
    }
    if (info.st_uid != ::geteuid()) {
        error = path + " belongs to another user";
        return false;
    }
    return true;
}

// mkdir -p, where every existing level belongs to this user or to root and the last one is
// private to this user.
bool EnsureBridgeFolder(const std::string& folder, std::string& error)
{
    std::string path;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        const std::size_t next = folder.find('/', pos + 1);
        path = folder.substr(0, next);
        pos = next;
        if (path.empty() || path == "/")
            continue;
        if (next == std::string::npos)
            return EnsurePrivateFolder(path, error);
        if (::mkdir(path.c_str(), 0700) == 0)
            continue;
        if (errno != EEXIST) {
            error = SystemError("cannot create", path);
            return false;
        }
        // Someone else's folder on the way (in /tmp, say) could swap ours for theirs.
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            error = path + " is not a folder";
            return false;
        }
        if (info.st_uid != 0 && info.st_uid != ::geteuid()) {
            error = path + " belongs to another user";
            return false;
        }
    }
    return true;
}

void WriteAll(int fd, const std::vector<std::uint8_t>& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;  // the program went away; its next read of ours will notice
        sent += static_cast<std::size_t>(n);
    }
}

}  // namespace

SocketServer::SocketServer(std::string folder, std::string name) : m_folder(std::move(folder)), m_name(std::move(name))
{
    while (m_folder.size() > 1 && m_folder.back() == '/')
        m_folder.pop_back();
    m_path = m_folder + "/" + m_name + ".sock";
}

SocketServer::~SocketServer()
{
    Close();
}

std::string SocketServer::DefaultBridgeFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] != '\0')
        return std::string(runtime) + "/shakemeter/bridges";
    return "/tmp/shakemeter-" + std::to_string(::getuid()) + "/bridges";
}

bool SocketServer::Listen(std::string& error)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (m_path.size() >= sizeof address.sun_path) {
        error = "socket path too long (" + std::to_string(m_path.size()) + " characters, at most " +
                std::to_string(sizeof address.sun_path - 1) + "): " + m_path;
        return false;
    }
    std::memcpy(address.sun_path, m_path.c_str(), m_path.size() + 1);
    if (!EnsureBridgeFolder(m_folder, error))
        return false;

    struct stat info {};
    if (::lstat(m_path.c_str(), &info) == 0) {
        if (!S_ISSOCK(info.st_mode)) {
            error = m_path + " exists and is not a socket";
            return false;
        }
        const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const bool alive =
            probe >= 0 && ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        if (probe >= 0)
            ::close(probe);
        if (alive) {
            error = "another logger already serves " + m_path;
            return false;
        }
        ::unlink(m_path.c_str());
    }

    m_listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0) {
        error = SystemError("cannot create a socket for", m_path);
        return false;
    }
    if (::bind(m_listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        error = SystemError("cannot bind", m_path);
        StopListening();
        return false;
    }
    m_ownsFile = true;
    ::chmod(m_path.c_str(), 0600);
    if (::listen(m_listenFd, 4) != 0) {
        error = SystemError("cannot listen on", m_path);
        Close();
        return false;
    }
    return true;
}

bool SocketServer::ClientStillOpen() const
{
    char byte = 0;
    const ssize_t n = ::recv(m_clientFd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return n > 0 || (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR));
}

void SocketServer::Run(LoggerSimulator& simulator, int stopFd)
{
    std::vector<std::uint8_t> buffer(4096);
    for (;;) {
        pollfd fds[3] = {{stopFd, POLLIN, 0}, {m_clientFd, POLLIN, 0}, {m_listenFd, POLLIN, 0}};
        if (::poll(fds, 3, -1) < 0) {
            if (errno == EINTR)
                continue;
            std::cerr << "qz810-sim: poll failed: " << std::strerror(errno) << std::endl;
            return;
        }
        if (fds[0].revents != 0)
            return;

        // The open connection first, so that a close followed at once by a new open is seen in
        // that order.
        if (m_clientFd >= 0 && fds[1].revents != 0) {
            const ssize_t n = ::recv(m_clientFd, buffer.data(), buffer.size(), 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                CloseClient();
            } else {
                const SimulatorReply reply =
                    simulator.Receive(std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(n)));
                WriteAll(m_clientFd, reply.bytes);
                if (reply.closeConnection)
                    CloseClient();
                if (simulator.Unplugged())
                    StopListening();
            }
        }

        if (m_listenFd >= 0 && fds[2].revents != 0) {
            const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                continue;
            if (m_clientFd >= 0 && !ClientStillOpen())
                CloseClient();
            if (m_clientFd >= 0 || !simulator.Connected()) {
                std::cerr << "qz810-sim: connection refused: the bridge is in use" << std::endl;
                ::close(fd);
            } else {
                m_clientFd = fd;
            }
        }
    }
}

void SocketServer::CloseClient()
{
    if (m_clientFd >= 0) {
        ::close(m_clientFd);
        m_clientFd = -1;
    }
}

void SocketServer::StopListening()
{
    if (m_listenFd >= 0) {
        ::close(m_listenFd);
        m_listenFd = -1;
    }
    if (m_ownsFile) {
        ::unlink(m_path.c_str());
        m_ownsFile = false;
    }
}

void SocketServer::Close()
{
    CloseClient();
    StopListening();
}

}  // namespace shakemeter
