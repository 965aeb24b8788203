#pragma once
// The virtual bridge: a Unix stream socket <folder>/<name>.sock served to one program at a time.
// A connection that arrives while another is open is closed at once (the bridge is in use).
// Owns the listening socket, the open connection and the socket file, which it removes when it
// closes, when the logger is unplugged, and when it is destroyed.

#include <string>

#include "tools/sim/LoggerSimulator.h"

namespace shakemeter {

class SocketServer {
public:
    SocketServer(std::string folder, std::string name);
    ~SocketServer();
    SocketServer(const SocketServer&) = delete;
    SocketServer& operator=(const SocketServer&) = delete;

    // The folder of virtual bridges for this user: $XDG_RUNTIME_DIR/shakemeter/bridges, or
    // /tmp/shakemeter-<uid>/bridges when XDG_RUNTIME_DIR is unset or empty.
    static std::string DefaultBridgeFolder();

    // Creates the folder (mode 0700; an existing one must be a directory of this user, not a
    // link) and listens on the socket. A stale socket file left by a dead simulator is replaced;
    // a live one is not.
    bool Listen(std::string& error);
    const std::string& SocketPath() const { return m_path; }

    // Serves until stopFd becomes readable (a byte written by a signal handler).
    void Run(LoggerSimulator& simulator, int stopFd);

    void Close();

private:
    void CloseClient();
    void StopListening();
    bool ClientStillOpen() const;

    std::string m_folder;
    std::string m_name;
    std::string m_path;
    int m_listenFd = -1;
    int m_clientFd = -1;
    bool m_ownsFile = false;
};

}  // namespace shakemeter
