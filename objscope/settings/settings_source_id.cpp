#include "settings/settings_source_id.h"

#include <random>

#include "wire/own_address.h"

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
    std::optional<wire::OwnAddress> own = wire::lookupOwnAddress();
    if (!own) {
        return std::nullopt;
    }
    return own->address;
}

uint8_t systemRandomByte() {
    static std::mt19937 generator{std::random_device{}()};
    return static_cast<uint8_t>(std::uniform_int_distribution<int>(0, 255)(generator));
}

}  // namespace objscope
