// Blanks (spaces and tabs) around a text, as the readers of typed numbers
// and file fields drop them.
#pragma once

#include <string_view>

namespace objscope {

constexpr bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

constexpr std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace objscope
