#include "address.h"

#include <cstring>

namespace objlink {
namespace {

// The type as a plain number: the application may store any 32-bit value
// in the field, which must not be read as an enumeration value.
uint32_t addressTypeOf(const VEKAddress_t& address) {
    uint32_t type = 0;
    std::memcpy(&type, &address.AddressType, sizeof type);
    return type;
}

// Replaces the `octets` low bytes of the own address by those of `given`.
uint32_t replaceLowOctets(uint32_t ownAddress, uint32_t given, int octets) {
    uint32_t mask = (uint32_t{1} << (8 * octets)) - 1;
    return (ownAddress & ~mask) | (given & mask);
}

}  // namespace

bool needsOwnAddress(const VEKAddress_t& address) {
    return addressTypeOf(address) <= GroupSubGroupNode;
}

uint32_t buildAddress(const VEKAddress_t& address, uint32_t ownAddress) {
    switch (addressTypeOf(address)) {
        case Node:
            return replaceLowOctets(ownAddress, address.Address, 1);
        case SubGroupNode:
            return replaceLowOctets(ownAddress, address.Address, 2);
        case GroupSubGroupNode:
            return replaceLowOctets(ownAddress, address.Address, 3);
        case NetworkGroupSubGroupNode:
        case FullAddress:
            return address.Address;
        default:
            return 0;
    }
}

}  // namespace objlink
