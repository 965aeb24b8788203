#pragma once
// Bridge test support: a private runtime folder for virtual bridges, and a socket server that
// plays the logger's side of one connection at a time.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace shakemeter::testing {

using Bytes = std::vector<unsigned char>;

// Points XDG_RUNTIME_DIR at a fresh folder holding shakemeter/bridges; restores it afterwards.
class RuntimeFolder {
public:
    RuntimeFolder()
    {
        if (const char* old = std::getenv("XDG_RUNTIME_DIR")) {
            m_old = old;
        }
        char pattern[] = "/tmp/smbridge-XXXXXX";
        m_strRoot = ::mkdtemp(pattern) != nullptr ? pattern : "/tmp/smbridge-failed";
        ::setenv("XDG_RUNTIME_DIR", m_strRoot.c_str(), 1);
        std::filesystem::create_directories(Bridges());
    }
    ~RuntimeFolder()
    {
        m_old ? ::setenv("XDG_RUNTIME_DIR", m_old->c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");
        std::error_code ignored;
        std::filesystem::remove_all(m_strRoot, ignored);
    }
    std::string Root() const { return m_strRoot; }
    std::string Bridges() const { return m_strRoot + "/shakemeter/bridges"; }
    std::string Socket(const std::string& name) const { return Bridges() + "/" + name + ".sock"; }

private:
    std::optional<std::string> m_old;
    std::string m_strRoot;
};

inline void SendAll(int fd, const Bytes& bytes)
{
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(n);
    }
}

inline Bytes ReceiveExactly(int fd, std::size_t count)
{
    Bytes bytes(count);
    std::size_t got = 0;
    for (ssize_t n = 1; got < count && n > 0; got += n > 0 ? static_cast<std::size_t>(n) : 0) {
        n = ::recv(fd, bytes.data() + got, count - got, 0);
    }
    bytes.resize(got);
    return bytes;
}

// Returns when the client hangs up; with `reading`, drops what it still sends meanwhile.
inline void WaitForHangUp(int fd, bool reading = true)
{
    unsigned char sink[4096];
    pollfd wait{fd, static_cast<short>(reading ? POLLIN : POLLRDHUP), 0};
    while (::poll(&wait, 1, -1) >= 0 && !(wait.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL))) {
        if (reading && ::recv(fd, sink, sizeof sink, 0) <= 0) {
            return;
        }
    }
}

inline Bytes Pattern(std::size_t count, unsigned char first = 1)
{
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<unsigned char>(first + i * 7);
    }
    return bytes;
}

// Listens on a socket path and hands each accepted connection to `serve` on its own thread, one
// at a time; the connection is closed when `serve` returns. The destructor hangs up on a
// connection in progress, stops and removes the socket file.
class BridgeServer {
public:
    BridgeServer(std::string path, std::function<void(int fd)> serve)
        : m_strPath(std::move(path)), m_serve(std::move(serve))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, m_strPath.c_str(), sizeof address.sun_path - 1);
        m_listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        EXPECT_EQ(::bind(m_listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(::listen(m_listenFd, 8), 0);
        EXPECT_EQ(::pipe(m_stopPipe), 0);
        m_thread = std::thread([this] { Run(); });
    }
    ~BridgeServer()
    {
        StopListening();
        ::unlink(m_strPath.c_str());
        ::close(m_stopPipe[0]);
        ::close(m_stopPipe[1]);
    }

    // Ends as a crashed program would: the socket file stays, nobody listens on it.
    void StopListening()
    {
        if (!m_thread.joinable()) {
            return;
        }
        m_bStopping = true;
        [[maybe_unused]] const ssize_t n = ::write(m_stopPipe[1], "s", 1);
        if (const int client = m_clientFd.load(); client >= 0) {
            ::shutdown(client, SHUT_RDWR);
        }
        m_thread.join();
        ::close(m_listenFd);
    }

    int Accepted() const { return m_nAccepted; }

private:
    void Run()
    {
        for (;;) {
            pollfd waits[2] = {{m_listenFd, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
            if (::poll(waits, 2, -1) < 0 || waits[1].revents != 0 || m_bStopping) {
                return;
            }
            const int client = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            m_clientFd = client;
            ++m_nAccepted;
            if (client >= 0 && !m_bStopping) {
                m_serve(client);
            }
            m_clientFd = -1;
            ::close(client);
        }
    }

    std::string m_strPath;
    std::function<void(int fd)> m_serve;
    int m_listenFd = -1;
    int m_stopPipe[2] = {-1, -1};
    std::atomic<bool> m_bStopping{false};
    std::atomic<int> m_clientFd{-1};
    std::atomic<int> m_nAccepted{0};
    std::thread m_thread;
};

}  // namespace shakemeter::testing
