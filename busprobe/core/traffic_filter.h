// The address/object/message filter of the filtered display and of every
// scheduled capture: each part is compared only when it is set.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace busprobe {

struct TrafficFilter {
    std::string ip;       // dotted text; "..." or empty: any address
    std::string object;   // hexadecimal ObjectID; empty: any
    std::string message;  // hexadecimal MessageID; empty: any (response flag ignored)

    // True when every set part matches the datagram from or to `address`.
    // A datagram too short to hold the compared field does not match.
    bool passes(uint32_t address, std::span<const uint8_t> datagram) const;
};

// Bit 15 of MessageID marks a response.
inline constexpr uint16_t kResponseFlag = 0x8000;

}  // namespace busprobe
