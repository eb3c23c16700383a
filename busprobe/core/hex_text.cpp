#include "hex_text.h"

#include <cstdio>

namespace busprobe {

std::optional<uint8_t> hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return static_cast<uint8_t>(c - '0');
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<uint8_t>(c - 'A' + 10);
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<uint8_t>(c - 'a' + 10);
    }
    return std::nullopt;
}

uint32_t readHex(std::string_view text) {
    uint32_t value = 0;
    for (char c : text) {
        auto digit = hexDigit(c);
        if (!digit) {
            break;
        }
        value = (value << 4) | *digit;
    }
    return value;
}

std::string hexText(uint32_t value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        text[static_cast<size_t>(i)] = kDigits[value & 0xF];
        value >>= 4;
    }
    return text;
}

int32_t readIntegerText(std::string_view text, int32_t def) {
    if (text.empty()) {
        return def;
    }
    int64_t value = 0;
    if (text.front() == '$') {
        text.remove_prefix(1);
        if (text.empty() || text.size() > 8) {
            return def;
        }
        for (char c : text) {
            auto digit = hexDigit(c);
            if (!digit) {
                return def;
            }
            value = value * 16 + *digit;
        }
        return static_cast<int32_t>(static_cast<uint32_t>(value));
    }
    bool negative = false;
    if (text.front() == '-' || text.front() == '+') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return def;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return def;
        }
        value = value * 10 + (c - '0');
        if (value > 0x80000000LL) {
            return def;
        }
    }
    value = negative ? -value : value;
    if (value > INT32_MAX) {
        return def;
    }
    return static_cast<int32_t>(value);
}

}  // namespace busprobe
