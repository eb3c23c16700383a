#include "windows/integer_text.h"

#include <charconv>
#include <string>

namespace objscope {
namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr int64_t kMaxDeviceNumber = 65535;

}  // namespace

std::optional<uint16_t> DeviceNumberFromText(std::string_view text) {
    bool hex = text.find('$') != std::string_view::npos;
    std::string kept;
    for (char c : text) {
        if (c == '$' || (hex ? IsHexDigit(c) : IsDecimalDigit(c)))
            kept += c;
    }
    // A well-formed number too large for 64 bits is too large for a device
    // as well, not a text that "does not convert" (which would mean device 0).
    size_t digitsFrom = !kept.empty() && kept.front() == '$' ? 1 : 0;
    bool wellFormed = kept.size() > digitsFrom && kept.find('$', digitsFrom) == std::string::npos;
    std::optional<int64_t> number = IntegerLiteral(kept);
    if (!number)
        return wellFormed ? std::nullopt : std::optional<uint16_t>(0);
    if (*number < 0 || *number > kMaxDeviceNumber)
        return std::nullopt;
    return static_cast<uint16_t>(*number);
}

}  // namespace objscope
