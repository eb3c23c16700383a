#include "core/settings_source_id.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <unistd.h>

#include <climits>
#include <random>

namespace objscope {

uint16_t deriveSourceId(uint64_t machineNumber, const HostAddressLookup& lookupHostAddress,
                        const RandomByte& randomByte) {
    if (machineNumber <= kMaxMachineNumber) {
        return static_cast<uint16_t>(0x8001 + 16 * machineNumber);
    }
    auto address = lookupHostAddress ? lookupHostAddress() : std::nullopt;
    uint8_t lastOctet = address ? static_cast<uint8_t>(*address & 0xFF)
                                : (randomByte ? randomByte() : systemRandomByte());
    return static_cast<uint16_t>(0xF001 + 16 * lastOctet);
}

std::optional<uint32_t> lookupOwnHostAddress() {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return std::nullopt;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &found) != 0 || found == nullptr)
        return std::nullopt;
    const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    uint32_t address = ntohl(ipv4->sin_addr.s_addr);
    freeaddrinfo(found);
    return address;
}

uint8_t systemRandomByte() {
    static std::mt19937 generator{std::random_device{}()};
    return static_cast<uint8_t>(std::uniform_int_distribution<int>(0, 255)(generator));
}

}  // namespace objscope
