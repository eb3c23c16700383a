// Checks on the data that arrives with a client request, done before any of
// it is read: the payload belongs to another process, and no length field in
// it is trusted.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "wire/ipc.h"

namespace hub {

// An envelope whose datagram is complete: at least the 9-byte header, and
// Length no larger than the bytes that follow the 12-byte fixed part.
// Returns the envelope cut to exactly Length + 12 bytes.
std::optional<std::span<const uint8_t>> checkedEnvelope(std::span<const uint8_t> payload);

// Debug text with its terminating zero within the first 8192 bytes of the
// payload; the text without the zero.
std::optional<std::span<const uint8_t>> checkedDebugText(std::span<const uint8_t> payload);

// The 28-byte open request of a serial port.
std::optional<_CommRegInfo> checkedCommRegInfo(std::span<const uint8_t> payload);

// A serial data record whose Length bytes are all present.
struct CommDataView {
    uint32_t commID = 0;
    std::span<const uint8_t> data;  // exactly Length bytes
};
std::optional<CommDataView> checkedCommData(std::span<const uint8_t> payload);

// The payload of 1636: the routing record, then an envelope as checked by
// checkedEnvelope.
struct AwaitingSendView {
    _AwaitedResponse awaited{};
    std::span<const uint8_t> envelope;  // exactly Length + 12 bytes
};
std::optional<AwaitingSendView> checkedAwaitingSend(std::span<const uint8_t> payload);

}  // namespace hub
