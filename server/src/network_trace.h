// The network trace in the debug log, written while network debugging is on:
// a time-stamped headline, the peer address, the length and a hex dump of the
// datagram.
#pragma once

#include <cstdint>
#include <span>

namespace hub {

// "Message Sent Successfully :" or "Message Sent Unsuccessfully (Error : n) :".
void traceSentMessage(bool sent, int error, uint32_t address, std::span<const uint8_t> datagram);

// "Message Received :" or "Message Discarded :".
void traceReceivedMessage(bool accepted, uint32_t address, std::span<const uint8_t> datagram);

}  // namespace hub
