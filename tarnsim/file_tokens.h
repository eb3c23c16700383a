// Splitting one line of a device file into words: blanks separate words, a
// double-quoted text is one word (\" \\ and \xNN escapes inside), '#'
// outside quotes starts a comment. Quoting writes a text back so that the
// splitter reads exactly the same bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnsim {

struct Token {
    std::string text;
    bool quoted = false;
};

// Throws std::invalid_argument with a message (no line number) for an
// unterminated quote or a bad escape.
std::vector<Token> splitLine(std::string_view line);

// A quoted word for `text`: printable ASCII as is, '"' and '\' escaped,
// every other byte as \xNN.
std::string quoteText(std::string_view text);

}  // namespace tarnsim
