// Where the network service hands messages on to the large-message transfer
// and to the reserved-message handler of object 0 (reserved_messages.h).
#pragma once

#include <cstdint>
#include <span>

namespace hub {

// A message with a non-zero ObjectID longer than one datagram may carry;
// the transfer copies what it needs before returning. False when the
// transfer did not start (then nothing of the message is sent).
bool HandOffLargeMessage(std::span<const uint8_t> envelope);

// An accepted received message with ObjectID 0, after the clients saw it.
void HandleReservedMessage(std::span<const uint8_t> envelope);

}  // namespace hub
