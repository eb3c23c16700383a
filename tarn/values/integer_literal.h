// Integer texts as users and files write them: optional sign and decimal
// digits, or "$" followed by hexadecimal digits.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace objscope {

// The value of an integer literal; nothing when the text does not convert
// (empty, stray characters, or beyond 64 bits). "$" with up to 16 digits
// gives the 64-bit pattern ("$FFFFFFFFFFFFFFFF" is -1).
std::optional<int64_t> IntegerLiteral(std::string_view text);

}  // namespace objscope
