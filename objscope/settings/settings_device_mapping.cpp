#include "settings/settings_device_mapping.h"

#include "settings/settings_number_text.h"
#include "wire/address.h"

namespace objscope {
namespace {

enum MappingItem : size_t { kNetwork = 0, kFirstDevice, kLastDevice, kTransport, kAddress };

Transport transportOf(const std::string& text) {
    if (text.find("IP") != std::string::npos)
        return Transport::Ip;
    if (text.find("COM") != std::string::npos)
        return Transport::Serial;
    return Transport::None;
}

std::vector<std::string_view> splitDots(std::string_view text) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        size_t dot = text.find('.', start);
        parts.push_back(text.substr(start, dot == std::string_view::npos ? dot : dot - start));
        if (dot == std::string_view::npos)
            return parts;
        start = dot + 1;
    }
}

// The item at `index` as a 16-bit number (0 when missing); false on a range
// error.
bool readU16Item(const std::vector<std::string>& items, size_t index, uint16_t& out) {
    out = 0;
    if (index >= items.size())
        return true;
    uint64_t value = settingNumber(items[index]);
    if (value > UINT16_MAX)
        return false;
    out = static_cast<uint16_t>(value);
    return true;
}

MappingResult refused(const std::string& why, const std::vector<std::string>& items, size_t index) {
    return {std::nullopt, why + ": \"" + items[index] + "\""};
}

}  // namespace

std::optional<DeviceAddress> TextToAddress(std::string_view text) {
    auto parts = splitDots(text);
    if (parts.size() != 4)
        return std::nullopt;
    uint8_t octets[4];
    for (size_t i = 0; i < 4; ++i) {
        uint64_t value = settingNumber(parts[i]);
        if (value > 255)
            return std::nullopt;
        octets[i] = static_cast<uint8_t>(value);
    }
    return DeviceAddress{DeviceAddressType::NetworkGroupSubGroupNode,
                         wire::composeAddress(octets[0], octets[1], octets[2], octets[3])};
}

std::string AddressToText(uint32_t address) {
    return wire::formatDottedAddress(address);
}

MappingResult parseDeviceMapping(const std::vector<std::string>& items) {
    DeviceMapping mapping;
    for (auto [index, field] : {std::pair{kNetwork, &mapping.network},
                                {kFirstDevice, &mapping.firstDevice},
                                {kLastDevice, &mapping.lastDevice}}) {
        if (!readU16Item(items, index, *field)) {
            return refused("Number out of range", items, index);
        }
    }
    if (items.size() > kTransport)
        mapping.transport = transportOf(items[kTransport]);
    if (items.size() <= kAddress)
        return {mapping, {}};
    if (mapping.transport == Transport::Ip) {
        auto address = TextToAddress(items[kAddress]);
        if (!address)
            return refused("Invalid IP address", items, kAddress);
        mapping.address = *address;
    } else if (mapping.transport == Transport::Serial) {
        if (!readU16Item(items, kAddress, mapping.node)) {
            return refused("Number out of range", items, kAddress);
        }
    }
    return {mapping, {}};
}

const DeviceMapping* findMapping(const std::vector<DeviceMapping>& mappings, uint16_t network,
                                 uint16_t device) {
    for (const auto& mapping : mappings) {
        if (mapping.covers(network, device))
            return &mapping;
    }
    return nullptr;
}

}  // namespace objscope
