#include "file_tokens.h"

#include <cstdio>
#include <stdexcept>

namespace tarnsim {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// Reads a quoted word starting after its opening quote; `pos` ends past the
// closing quote.
std::string readQuoted(std::string_view line, size_t& pos) {
    std::string text;
    while (pos < line.size()) {
        char c = line[pos++];
        if (c == '"')
            return text;
        if (c != '\\') {
            text += c;
            continue;
        }
        if (pos >= line.size())
            break;
        char escaped = line[pos++];
        if (escaped == '"' || escaped == '\\') {
            text += escaped;
        } else if (escaped == 'x' && pos + 1 < line.size() && hexDigit(line[pos]) >= 0 &&
                   hexDigit(line[pos + 1]) >= 0) {
            text += static_cast<char>(hexDigit(line[pos]) * 16 + hexDigit(line[pos + 1]));
            pos += 2;
        } else {
            throw std::invalid_argument("bad escape in quoted text (use \\\" \\\\ or \\xNN)");
        }
    }
    throw std::invalid_argument("quoted text has no closing quote");
}

}  // namespace

std::vector<Token> splitLine(std::string_view line) {
    std::vector<Token> tokens;
    size_t pos = 0;
    while (pos < line.size()) {
        char c = line[pos];
        if (isBlank(c)) {
            ++pos;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            ++pos;
            tokens.push_back({readQuoted(line, pos), true});
        } else {
            size_t start = pos;
            while (pos < line.size() && !isBlank(line[pos]) && line[pos] != '"' && line[pos] != '#')
                ++pos;
            tokens.push_back({std::string(line.substr(start, pos - start)), false});
        }
    }
    return tokens;
}

std::string quoteText(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        }
    }
    out += '"';
    return out;
}

}  // namespace tarnsim
