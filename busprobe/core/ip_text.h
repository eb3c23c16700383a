// The address text of the IP edit control without its widgets: how a dotted
// text is split into four octet texts and how the octets make an address.
// The hidden parser of scheduled filters uses the same rules.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace busprobe {

using OctetTexts = std::array<std::string, 4>;

// Splits at ".": the first three parts go to octets 1 to 3, the rest (dots
// included) to octet 4.
OctetTexts splitIpText(std::string_view text);

// The octet texts joined by "." (an empty control reads "...").
std::string joinIpText(const OctetTexts& octets);

// An octet text read as an integer: -1 when it does not convert.
int octetValue(std::string_view text);

// The four octets read as integers (empty or not a number gives 0, values
// kept in 8 bits), the first as the most significant byte.
uint32_t ipTextAddress(const OctetTexts& octets);

// Address of a dotted text by the same rules.
inline uint32_t ipTextAddress(std::string_view text) {
    return ipTextAddress(splitIpText(text));
}

}  // namespace busprobe
