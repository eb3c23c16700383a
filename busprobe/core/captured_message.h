// One message the monitor subscription delivered, copied off the library
// thread together with the moment it arrived.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace busprobe {

enum class Direction : uint8_t { Sent = 0, Received = 1 };

// Where a message stands in request/response pairing.
enum class Pairing : uint8_t {
    None = 0,        // not tracked (too short to be a message)
    Waiting = 1,     // a request, its response not seen yet
    Answered = 2,    // a request whose response was seen
    Unanswered = 3,  // a request that got no response within the packet time-out
    Response = 4,    // a response; latencyNs says after how long (-1: request not seen)
};

struct CapturedMessage {
    Direction direction = Direction::Received;
    uint32_t address = 0;        // peer, host order
    std::vector<uint8_t> bytes;  // the whole datagram
    int64_t wallMs = 0;          // milliseconds since the epoch (local display time)
    int64_t wallUs = 0;          // microseconds since the epoch (capture files)
    int64_t steadyNs = 0;        // monotonic clock, for the gaps between messages
    int64_t latencyNs = -1;      // a response: time since its request was seen
    Pairing pairing = Pairing::None;

    std::span<const uint8_t> datagram() const { return bytes; }
};

// The monotonic and wall clocks read together.
CapturedMessage stampedMessage(Direction direction, uint32_t address, const uint8_t* data,
                               size_t length);

}  // namespace busprobe
