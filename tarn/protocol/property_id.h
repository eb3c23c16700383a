// Property IDs: bits 14..15 the size code of the property's wire item, bits
// 10..13 the group (0 = common to all objects), bits 0..5 the index within the
// group. Only bits 0..13 travel on the wire.
#pragma once

#include <cstdint>

namespace objscope {

constexpr uint16_t kPropertyIdWireMask = 0x3FFF;

constexpr uint16_t MakePropertyID(unsigned group, unsigned index, unsigned sizeCode) {
    return static_cast<uint16_t>((sizeCode % 4) * 16384 + (group % 16) * 1024 + index % 64);
}

// True when two IDs name the same property (equal in bits 0..13).
constexpr bool SamePropertyID(uint16_t a, uint16_t b) {
    return (a & kPropertyIdWireMask) == (b & kPropertyIdWireMask);
}

}  // namespace objscope
