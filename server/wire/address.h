// IPv4 addresses as the system carries them: unsigned 32-bit, host order,
// first dotted octet most significant. The octets are called Network, Group,
// SubGroup and Node. Conversion to network order happens only at the socket.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace wire {

uint32_t composeAddress(uint8_t network, uint8_t group, uint8_t subGroup, uint8_t node);

// A Network or Node octet of 255 makes a broadcast address.
bool isBroadcast(uint32_t address);

// "a.b.c.d" with four decimal octets 0..255; nullopt for anything else.
std::optional<uint32_t> parseDottedAddress(const std::string& text);

// "a.b.c.d", most significant octet first.
std::string formatDottedAddress(uint32_t address);

}  // namespace wire
