// Delivery of the network messages the server hands this process (1624, or
// several at once in 1626) to the receive and network-monitor subscribers,
// on the library thread.
#pragma once

#include <cstdint>

#include "platform/payload.h"

namespace hubclient {

// `netId` names the subscriber; `envelope` holds Address, Length, Parameter
// and the datagram. Malformed envelopes and unknown NetIDs are dropped.
void deliverNetworkMessage(int32_t netId, const plat::Payload& envelope);

// `envelopes` holds several envelopes one after the other; each is delivered
// as a message of its own, in order. Reading stops at the first envelope
// that does not fit in what is left.
void deliverNetworkBatch(int32_t netId, const plat::Payload& envelopes);

}  // namespace hubclient
