// A message delivered by hubclient, read with bounds checks.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "hubclient.h"
#include "objlink.h"
#include "wire/datagram.h"

namespace objlink {

constexpr uint16_t kResponseFlag = 0x8000;

struct IncomingMessage {
    wire::DatagramHeader header;
    std::span<const uint8_t> data;  // points into the delivered datagram
    uint32_t source = 0;            // host order
};

// The header and data of a delivered message; nullopt when it is shorter than
// its header or does not start with "VEK".
std::optional<IncomingMessage> readIncoming(const _Message* message);

// The data length as a record holds it: the 16-bit field cannot carry more
// than 65535 bytes, so longer data is reported (and copied) as 65535 bytes.
uint16_t recordedLength(const IncomingMessage& message);

}  // namespace objlink
