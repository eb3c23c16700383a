#include "wire/address.h"

#include <arpa/inet.h>

#include <cstdio>

namespace wire {

uint32_t composeAddress(uint8_t network, uint8_t group, uint8_t subGroup, uint8_t node) {
    return static_cast<uint32_t>(network) << 24 | static_cast<uint32_t>(group) << 16 |
           static_cast<uint32_t>(subGroup) << 8 | node;
}

bool isBroadcast(uint32_t address) {
    return (address >> 24) == 255 || (address & 0xFF) == 255;
}

std::optional<uint32_t> parseDottedAddress(const std::string& text) {
    in_addr parsed{};
    // inet_aton stops at the first blank and accepts what came before it;
    // a setting with anything after the address is not an address.
    if (text.find_first_of(" \t\r\n") != std::string::npos ||
        inet_aton(text.c_str(), &parsed) == 0) {
        return std::nullopt;
    }
    return ntohl(parsed.s_addr);
}

std::string formatDottedAddress(uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", (address >> 24) & 0xFF, (address >> 16) & 0xFF,
                  (address >> 8) & 0xFF, address & 0xFF);
    return text;
}

}  // namespace wire
