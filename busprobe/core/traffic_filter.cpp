#include "traffic_filter.h"

#include "hex_text.h"
#include "ip_text.h"
#include "wire/datagram.h"

namespace busprobe {

bool TrafficFilter::passes(uint32_t address, std::span<const uint8_t> datagram) const {
    if (!ip.empty() && ip != "..." && ipTextAddress(ip) != address) {
        return false;
    }
    if (object.empty() && message.empty()) {
        return true;
    }
    auto header = wire::readHeader(datagram);
    if (!header) {
        return false;
    }
    if (!object.empty() && header->objectId != readHex16(object)) {
        return false;
    }
    if (!message.empty()) {
        uint16_t wanted = readHex16(message);
        if (header->messageId != wanted && header->messageId != (wanted | kResponseFlag)) {
            return false;
        }
    }
    return true;
}

}  // namespace busprobe
