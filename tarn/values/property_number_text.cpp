#include "values/property_number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace objscope {

int64_t RoundToInt64(double value) {
    if (std::isnan(value))
        return 0;
    double rounded = std::nearbyint(value);
    if (rounded >= 9223372036854775807.0)
        return std::numeric_limits<int64_t>::max();
    if (rounded <= -9223372036854775808.0)
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(rounded);
}

std::string ShortestDecimal(double value) {
    if (value == 0)
        value = 0;  // no "-0"
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string HexWithoutLeadingZeros(uint64_t value) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%llX", static_cast<unsigned long long>(value));
    return buffer;
}

}  // namespace objscope
