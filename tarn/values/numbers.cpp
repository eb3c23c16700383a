#include "values/numbers.h"

#include <cmath>
#include <limits>

namespace objscope {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool endsInNumber(std::string_view text) {
    char last = text.back();
    return (last >= '0' && last <= '9') || last == '.';
}

}  // namespace

int32_t SpeedOfSound(int16_t celsius) {
    // celsius / (100 / 9) * 6629 = celsius * 59661 / 100, rounded ties to even.
    int64_t scaled = static_cast<int64_t>(celsius) * 59661;
    int64_t quotient = scaled / 100;
    int64_t remainder = scaled % 100;
    int64_t twice = 2 * (remainder < 0 ? -remainder : remainder);
    int64_t step = scaled < 0 ? -1 : 1;
    if (twice > 100 || (twice == 100 && quotient % 2 != 0))
        quotient += step;
    return static_cast<int32_t>(331450 + quotient);
}

int64_t RoundHalfAway(double x) {
    if (std::isnan(x))
        return 0;
    constexpr double kLimit = 9.2233720368547748e18;  // 2^63
    if (x >= kLimit)
        return std::numeric_limits<int64_t>::max();
    if (x <= -kLimit)
        return std::numeric_limits<int64_t>::min();
    double whole = std::trunc(x);
    return static_cast<int64_t>(whole) + static_cast<int64_t>(std::trunc(2 * (x - whole)));
}

std::string CleanNumberText(std::string_view text) {
    text = trimmed(text);
    if (text.empty() || text.find('$') != std::string_view::npos)
        return std::string(text);
    size_t blank = text.find(' ');
    if (blank != std::string_view::npos)
        return std::string(text.substr(0, blank));
    while (!text.empty() && !endsInNumber(text))
        text.remove_suffix(1);
    return std::string(text);
}

}  // namespace objscope
