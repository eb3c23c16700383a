// Integer texts as the user types them: optional sign and decimal digits, or
// "$" followed by hexadecimal digits.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "values/integer_literal.h"

namespace objscope {

// The device number of a device box text: with a "$" anywhere only "$" and
// hexadecimal digits are kept, otherwise only "$" and decimal digits; an
// empty result is 0, a result that does not convert is 0. Nothing when the
// number is above 65535 (such a device is never addressed).
std::optional<uint16_t> DeviceNumberFromText(std::string_view text);

}  // namespace objscope
