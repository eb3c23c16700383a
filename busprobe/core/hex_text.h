// Number texts of the monitor: hexadecimal ID and field texts, and the
// integer rule shared with the property viewer (sign and decimal digits, or
// "$" and hexadecimal digits).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace busprobe {

// Value of one hexadecimal digit, or nullopt for any other character.
std::optional<uint8_t> hexDigit(char c);

// Reads the leading hexadecimal digits of `text` (empty text gives 0); digits
// beyond 32 bits drop out at the top, as in a register that shifts left.
uint32_t readHex(std::string_view text);

// readHex kept in 16 bits.
inline uint16_t readHex16(std::string_view text) {
    return static_cast<uint16_t>(readHex(text));
}

// `value` as exactly `digits` upper-case hexadecimal digits (higher digits
// are dropped).
std::string hexText(uint32_t value, int digits);

// Optional sign and decimal digits, or "$" and hexadecimal digits; `def` when
// the whole text does not convert.
int32_t readIntegerText(std::string_view text, int32_t def);

}  // namespace busprobe
