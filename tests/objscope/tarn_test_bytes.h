// Small helpers shared by the Tarn tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace objscope::testing {

using Bytes = std::vector<uint8_t>;

// A received data block: a 14-byte header with the given status and mode
// bytes followed by `payload`.
inline Bytes replyBlock(uint8_t status, uint8_t mode, std::initializer_list<uint8_t> payload) {
    Bytes data{status, mode, 0, 0, 0x31, 0x80, 0x08, 0, 0, 0, 5, 0, 0, 0};
    data.insert(data.end(), payload.begin(), payload.end());
    return data;
}

}  // namespace objscope::testing
