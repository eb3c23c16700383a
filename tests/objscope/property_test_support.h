// Helpers shared by the property and object tests: hex texts of byte
// buffers and packing of a single property.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "values/property_pack.h"

namespace objscope::test {

inline std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string text;
    for (uint8_t b : bytes) {
        char part[4];
        std::snprintf(part, sizeof part, "%s%02X", text.empty() ? "" : " ", b);
        text += part;
    }
    return text;
}

inline std::vector<uint8_t> Bytes(const std::string& hex) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size() + 1; i += 3)
        bytes.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

inline std::vector<uint8_t> Packed(const TVEKPropertyBase& property) {
    std::vector<uint8_t> out;
    PackData(out, property);
    return out;
}

}  // namespace objscope::test
