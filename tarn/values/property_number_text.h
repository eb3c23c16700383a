// Number conversions shared by the property values: rounding of engineering
// values to raw integers and the shortest decimal text of a double.
#pragma once

#include <cstdint>
#include <string>

namespace objscope {

// The nearest 64-bit integer, ties to even; NaN gives 0 and values beyond
// the 64-bit range saturate.
int64_t RoundToInt64(double value);

// The shortest decimal text that reads back as the same double ("12.5", "-3",
// "1000").
std::string ShortestDecimal(double value);

// Upper-case hexadecimal without leading zeros ("0" for zero).
std::string HexWithoutLeadingZeros(uint64_t value);

}  // namespace objscope
