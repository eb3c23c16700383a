#include "settings/settings_number_text.h"

#include <limits>

namespace objscope {
namespace {

int digitValue(char c, bool hex) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (!hex)
        return -1;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

uint64_t settingNumber(std::string_view text) {
    const bool hex = text.find('$') != std::string_view::npos;
    const uint64_t base = hex ? 16 : 10;
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    uint64_t value = 0;
    for (char c : text) {
        int digit = digitValue(c, hex);
        if (digit < 0)
            continue;
        if (value > (kMax - static_cast<uint64_t>(digit)) / base)
            return kMax;
        value = value * base + static_cast<uint64_t>(digit);
    }
    return value;
}

}  // namespace objscope
