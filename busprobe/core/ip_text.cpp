#include "ip_text.h"

#include "hex_text.h"

namespace busprobe {

OctetTexts splitIpText(std::string_view text) {
    OctetTexts octets;
    for (size_t i = 0; i < 3; ++i) {
        size_t dot = text.find('.');
        if (dot == std::string_view::npos) {
            octets[i] = std::string(text);
            text = {};
            continue;
        }
        octets[i] = std::string(text.substr(0, dot));
        text.remove_prefix(dot + 1);
    }
    octets[3] = std::string(text);
    return octets;
}

std::string joinIpText(const OctetTexts& octets) {
    return octets[0] + "." + octets[1] + "." + octets[2] + "." + octets[3];
}

int octetValue(std::string_view text) {
    return readIntegerText(text, -1);
}

uint32_t ipTextAddress(const OctetTexts& octets) {
    uint32_t address = 0;
    for (const auto& octet : octets) {
        int value = octetValue(octet);
        address = (address << 8) | static_cast<uint32_t>(value < 0 ? 0 : value & 0xFF);
    }
    return address;
}

}  // namespace busprobe
