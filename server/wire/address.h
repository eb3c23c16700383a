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

// An IPv4 address in the classic forms of the standard parser (inet_aton):
// "a.b.c.d", "a.b.c" (c fills the low 16 bits), "a.b" (b the low 24 bits),
// "a", each part decimal, octal (leading 0) or hex (0x); nullopt for
// anything else.
std::optional<uint32_t> parseDottedAddress(const std::string& text);

// "a.b.c.d", most significant octet first.
std::string formatDottedAddress(uint32_t address);

}  // namespace wire
