#pragma once
// Virtual bridges: Unix stream sockets "*.sock" in one folder, each served by a program that speaks
// the logger protocol (the logger simulator, or anything else). The bytes go through unframed.
// Promises: bridges are listed in name order, sockets nobody listens on are left out, every read
// and write is bounded by the library-wide time-outs, a write first drops what arrived and was
// never read (a command's reply comes after it), and a peer that hung up fails every later read and
// write. Owns the connections it opens and closes those still open when destroyed.

#include "logger/BridgeLibraryBase.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace shakemeter {

struct VirtualBridgeConnection;

class VirtualBridgeBackend : public BridgeLibraryBase<std::shared_ptr<VirtualBridgeConnection>> {
public:
    // An empty folder means VirtualBridgeFolder(), looked up again at every scan.
    explicit VirtualBridgeBackend(std::string folder = {});
    ~VirtualBridgeBackend() override;

    // Scans the folder again; the indexes of the other calls refer to the latest scan.
    DeviceStatus GetNumDevices(std::uint32_t& count) override;
    // Kind 0: the socket's base name without ".sock"; kind 1: a description; kind 2: the full path.
    DeviceStatus GetProductString(std::uint32_t index, char* buffer, int kind) override;
    std::string BackendOf(std::uint32_t index) override;

    // Socket paths of the bridges a folder holds now, in name order, without stale sockets.
    static std::vector<std::string> ScanFolder(const std::string& folder);

private:
    using Connection = std::shared_ptr<VirtualBridgeConnection>;

    std::string CurrentFolder() const;
    // Path of a listed bridge; scans first when nothing was scanned yet. Empty when out of range.
    std::string PathOf(std::uint32_t index);

    DeviceStatus OpenDevice(std::uint32_t index, Connection& connection) override;
    // Tells the peer at once, even if another thread still holds the connection in a read.
    DeviceStatus CloseDevice(Connection& connection) override;
    DeviceStatus ReadDevice(Connection& connection, void* buffer, std::uint32_t toRead, std::uint32_t& read) override;
    DeviceStatus WriteDevice(Connection& connection, const void* buffer, std::uint32_t toWrite,
                             std::uint32_t& written) override;

    const std::string m_strFolder;
    mutable std::mutex m_mutex;
    bool m_bScanned = false;
    std::vector<std::string> m_paths;
};

}  // namespace shakemeter
