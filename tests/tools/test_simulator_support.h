#pragma once
// Small helpers shared by the simulator tests: byte literals and reading the records back.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "tools/sim/LoggerSimulator.h"

namespace shakemeter::simtest {

using Bytes = std::vector<std::uint8_t>;

inline Bytes B(std::initializer_list<int> values)
{
    Bytes out;
    for (int v : values)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

// The count a 2-byte value carries: the big-endian word shifted right by 3, sign kept.
inline int CountAt(const Bytes& bytes, std::size_t offset)
{
    const auto word = static_cast<std::int16_t>((bytes.at(offset) << 8) | bytes.at(offset + 1));
    return word >> 3;
}

inline Bytes Send(LoggerSimulator& sim, const Bytes& bytes)
{
    return sim.Receive(bytes).bytes;
}

}  // namespace shakemeter::simtest
