// Delivery of the network messages the server hands this process (1624) to
// the receive and network-monitor subscribers, on the library thread.
#pragma once

#include <cstdint>

#include "platform/payload.h"

namespace hubclient {

// `netId` names the subscriber; `envelope` holds Address, Length, Parameter
// and the datagram. Malformed envelopes and unknown NetIDs are dropped.
void deliverNetworkMessage(int32_t netId, const plat::Payload& envelope);

}  // namespace hubclient
