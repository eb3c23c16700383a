// Helpers for the fuzz targets: reading every byte a decoder hands back makes
// the address sanitizer check that it lies inside the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace fuzz {

inline volatile uint8_t sink;

inline void touch(std::span<const uint8_t> bytes) {
    uint8_t sum = 0;
    for (uint8_t b : bytes)
        sum = static_cast<uint8_t>(sum + b);
    sink = sum;
}

// The span must lie inside the input.
inline void requireInside(std::span<const uint8_t> part, const uint8_t* data, size_t size) {
    if (part.empty())
        return;
    if (part.data() < data || part.data() + part.size() > data + size)
        std::abort();
    touch(part);
}

inline void require(bool condition) {
    if (!condition)
        std::abort();
}

}  // namespace fuzz
