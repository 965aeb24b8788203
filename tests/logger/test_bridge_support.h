#pragma once
// Test support for bridge tests: a private runtime folder for virtual bridges and a small socket
// server that plays the logger's side of one connection at a time.

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace shakemeter::testing {

// Sets XDG_RUNTIME_DIR to a fresh folder holding shakemeter/bridges, and restores it afterwards.
class RuntimeFolder {
public:
    RuntimeFolder()
    {
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        m_bHadOld = old != nullptr;
        if (m_bHadOld) {
            m_strOld = old;
        }
        char pattern[] = "/tmp/smbridge-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        EXPECT_NE(made, nullptr);
        m_strRoot = made != nullptr ? made : "/tmp";
        ::setenv("XDG_RUNTIME_DIR", m_strRoot.c_str(), 1);
        std::filesystem::create_directories(Bridges());
    }
    ~RuntimeFolder()
    {
        if (m_bHadOld) {
            ::setenv("XDG_RUNTIME_DIR", m_strOld.c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
        std::error_code ignored;
        std::filesystem::remove_all(m_strRoot, ignored);
    }
    RuntimeFolder(const RuntimeFolder&) = delete;
    RuntimeFolder& operator=(const RuntimeFolder&) = delete;

    std::string Root() const { return m_strRoot; }
    std::string Bridges() const { return m_strRoot + "/shakemeter/bridges"; }
    std::string Socket(const std::string& name) const { return Bridges() + "/" + name + ".sock"; }

private:
    bool m_bHadOld = false;
    std::string m_strOld;
    std::string m_strRoot;
};

// Blocking helpers for the server's side.
inline bool SendAll(int fd, const std::vector<unsigned char>& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

inline std::vector<unsigned char> ReceiveExactly(int fd, std::size_t count)
{
    std::vector<unsigned char> bytes(count);
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n = ::recv(fd, bytes.data() + got, count - got, 0);
        if (n <= 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

// Returns when the client hangs up; reads (and drops) whatever it still sends.
inline void WaitForHangUp(int fd)
{
    unsigned char sink[4096];
    while (::recv(fd, sink, sizeof sink, 0) > 0) {
    }
}

// Returns when the client hangs up, without reading anything it sent.
inline void WaitForHangUpWithoutReading(int fd)
{
    for (;;) {
        pollfd wait{fd, POLLRDHUP, 0};
        if (::poll(&wait, 1, -1) < 0 && errno != EINTR) {
            return;
        }
        if (wait.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) {
            return;
        }
    }
}

inline std::vector<unsigned char> Pattern(std::size_t count, unsigned char first = 1)
{
    std::vector<unsigned char> bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<unsigned char>(first + i * 7);
    }
    return bytes;
}

// Listens on a socket path and hands each accepted connection to `serve`, one at a time, on its own
// thread. The connection is closed when `serve` returns. The destructor hangs up on a connection in
// progress, stops and removes the socket file.
class BridgeServer {
public:
    using Serve = std::function<void(int fd)>;

    BridgeServer(std::string path, Serve serve) : m_strPath(std::move(path)), m_serve(std::move(serve))
    {
        m_listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, m_strPath.c_str(), sizeof address.sun_path - 1);
        ::unlink(m_strPath.c_str());
        const bool ok = m_listenFd >= 0 &&
                        ::bind(m_listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                        ::listen(m_listenFd, 8) == 0;
        EXPECT_TRUE(ok) << "cannot listen on " << m_strPath << ": " << std::strerror(errno);
        if (::pipe(m_stopPipe) != 0) {
            ADD_FAILURE() << "pipe";
        }
        m_thread = std::thread([this] { Run(); });
    }

    ~BridgeServer()
    {
        StopListening();
        ::unlink(m_strPath.c_str());
        ::close(m_stopPipe[0]);
        ::close(m_stopPipe[1]);
    }

    BridgeServer(const BridgeServer&) = delete;
    BridgeServer& operator=(const BridgeServer&) = delete;

    // Ends the server as a crashed program would: the socket file stays, nobody listens on it.
    void StopListening()
    {
        if (!m_thread.joinable()) {
            return;
        }
        m_bStopping = true;
        const char stop = 's';
        [[maybe_unused]] const ssize_t n = ::write(m_stopPipe[1], &stop, 1);
        const int client = m_clientFd.load();
        if (client >= 0) {
            ::shutdown(client, SHUT_RDWR);
        }
        m_thread.join();
        ::close(m_listenFd);
        m_listenFd = -1;
    }

    int Accepted() const { return m_nAccepted.load(); }

private:
    void Run()
    {
        while (!m_bStopping) {
            pollfd waits[2] = {{m_listenFd, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
            if (::poll(waits, 2, -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return;
            }
            if (waits[1].revents != 0 || m_bStopping) {
                return;
            }
            const int client = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) {
                continue;
            }
            m_clientFd = client;
            ++m_nAccepted;
            if (!m_bStopping) {
                m_serve(client);
            }
            m_clientFd = -1;
            ::close(client);
        }
    }

    std::string m_strPath;
    Serve m_serve;
    int m_listenFd = -1;
    int m_stopPipe[2] = {-1, -1};
    std::atomic<bool> m_bStopping{false};
    std::atomic<int> m_clientFd{-1};
    std::atomic<int> m_nAccepted{0};
    std::thread m_thread;
};

}  // namespace shakemeter::testing
