// Destination addresses composed from a VEKAddress_t and the PC's own
// address.
#pragma once

#include <cstdint>

#include "objlink.h"

namespace objlink {

// True when the address type takes octets from the own address.
bool needsOwnAddress(const VEKAddress_t& address);

// The 32-bit destination (host order): the low octets of the own address
// replaced by those given, or the four bytes as they are for
// NetworkGroupSubGroupNode and FullAddress. 0 (no destination) for an
// unknown address type.
uint32_t buildAddress(const VEKAddress_t& address, uint32_t ownAddress);

}  // namespace objlink
