// One message the monitor subscription delivered, copied off the library
// thread together with the moment it arrived.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace busprobe {

enum class Direction : uint8_t { Sent = 0, Received = 1 };

struct CapturedMessage {
    Direction direction = Direction::Received;
    uint32_t address = 0;        // peer, host order
    std::vector<uint8_t> bytes;  // the whole datagram
    int64_t wallMs = 0;          // milliseconds since the epoch (local display time)
    int64_t wallUs = 0;          // microseconds since the epoch (capture files)
    int64_t steadyNs = 0;        // monotonic clock, for the gaps between messages

    std::span<const uint8_t> datagram() const { return bytes; }
};

// The monotonic and wall clocks read together.
CapturedMessage stampedMessage(Direction direction, uint32_t address, const uint8_t* data,
                               size_t length);

}  // namespace busprobe
