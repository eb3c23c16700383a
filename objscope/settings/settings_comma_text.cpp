#include "settings/settings_comma_text.h"

namespace objscope {
namespace {

constexpr char kDelimiter = ',';
constexpr char kQuote = '"';

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

void skipBlanks(std::string_view text, size_t& pos) {
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
}

// A quoted item from the opening quote at `pos` to its closing quote (or the
// end of the text when it is never closed).
std::string readQuoted(std::string_view text, size_t& pos) {
    std::string item;
    ++pos;
    while (pos < text.size()) {
        char c = text[pos++];
        if (c != kQuote) {
            item.push_back(c);
        } else if (pos < text.size() && text[pos] == kQuote) {
            item.push_back(kQuote);
            ++pos;
        } else {
            break;
        }
    }
    return item;
}

std::string readPlain(std::string_view text, size_t& pos) {
    size_t start = pos;
    while (pos < text.size() && !isBlank(text[pos]) && text[pos] != kDelimiter)
        ++pos;
    return std::string(text.substr(start, pos - start));
}

}  // namespace

std::vector<std::string> splitCommaText(std::string_view text) {
    std::vector<std::string> items;
    size_t pos = 0;
    skipBlanks(text, pos);
    while (pos < text.size()) {
        items.push_back(text[pos] == kQuote ? readQuoted(text, pos) : readPlain(text, pos));
        skipBlanks(text, pos);
        if (pos < text.size() && text[pos] == kDelimiter) {
            if (pos + 1 == text.size())
                items.emplace_back();
            ++pos;
            skipBlanks(text, pos);
        }
    }
    return items;
}

}  // namespace objscope
