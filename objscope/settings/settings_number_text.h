// The number rule of the settings file: a text that holds "$" is hexadecimal
// and keeps only its hexadecimal digits; any other text keeps only its decimal
// digits; an empty result is 0. Values too large for 64 bits saturate, so a
// range check by the caller always sees them as too large.
#pragma once

#include <cstdint>
#include <string_view>

namespace objscope {

uint64_t settingNumber(std::string_view text);

}  // namespace objscope
