#include "logger/BridgeList.h"

#include <array>

namespace shakemeter {

std::vector<BridgeInfo> ListBridges(DeviceLibrary& library)
{
    std::vector<BridgeInfo> bridges;
    std::uint32_t count = 0;
    if (library.GetNumDevices(count) != DEVICE_SUCCESS) {
        return bridges;
    }
    bridges.reserve(count);
    for (std::uint32_t index = 0; index < count; ++index) {
        std::array<char, 256> text{};
        BridgeInfo info{static_cast<int>(index), {}, library.BackendOf(index)};
        if (library.GetProductString(index, text.data(), 0) == DEVICE_SUCCESS) {
            text.back() = '\0';
            info.deviceString = text.data();
        }
        bridges.push_back(std::move(info));
    }
    return bridges;
}

}  // namespace shakemeter
