#include "values/integer_literal.h"

#include <charconv>

namespace objscope {

std::optional<int64_t> IntegerLiteral(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    if (text.front() == '$') {
        text.remove_prefix(1);
        uint64_t value = 0;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
        if (text.empty() || error != std::errc() || end != text.data() + text.size())
            return std::nullopt;
        return static_cast<int64_t>(value);
    }
    bool negative = text.front() == '-';
    if (text.front() == '+' || text.front() == '-')
        text.remove_prefix(1);
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return negative ? -value : value;
}

}  // namespace objscope
