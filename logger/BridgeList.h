#pragma once
// The bridges a device library lists now, for device lists shown to the user.

#include "logger/DeviceLibrary.h"

#include <string>
#include <vector>

namespace shakemeter {

struct BridgeInfo {
    int index;
    std::string deviceString;  // kind 0; empty when the bridge did not answer the query
    std::string backend;       // "usb" or "virtual"
};

// Every listed bridge in index order (a fresh scan); empty when the library cannot count.
std::vector<BridgeInfo> ListBridges(DeviceLibrary& library);

}  // namespace shakemeter
