#include "devicewin/method_text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "values/integer_literal.h"

namespace objscope {
namespace {

constexpr char kNoMethod[] = "No Method Entered - Try Again, Please";
constexpr char kBadMethod[] = "Invalid Method Entered - Try Again, Please";
constexpr int64_t kMethodsPerPage = 1024;

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

int64_t NumberOr(std::string_view text, int64_t fallback) {
    return IntegerLiteral(Trimmed(text)).value_or(fallback);
}

bool IsItemSeparator(char c) {
    return c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

template <typename Format>
std::string Joined(std::span<const uint8_t> bytes, Format format) {
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            text += ", ";
        text += format(bytes[i]);
    }
    return text;
}

}  // namespace

MethodIdText ParseMethodText(std::string_view input) {
    std::string text(Trimmed(input));
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (text.empty())
        return {false, 0, kNoMethod};
    int64_t id = 0;
    size_t m = text.find('m');
    if (m != std::string::npos) {
        int64_t page = NumberOr(std::string_view(text).substr(0, m), -1);
        int64_t number = NumberOr(std::string_view(text).substr(m + 1), -1);
        if (page < 0 || number < 0)
            return {false, 0, kBadMethod};
        id = page * kMethodsPerPage + number;
    } else {
        id = NumberOr(text, -1);
        if (id < 0)
            return {false, 0, kBadMethod};
    }
    if (id > 0xFFFF)
        return {false, 0, "Range check error: method " + std::to_string(id) + " is above 65535"};
    return {true, static_cast<uint16_t>(id), {}};
}

std::string MethodPageText(uint16_t id) {
    return std::to_string(id / kMethodsPerPage) + "m" + std::to_string(id % kMethodsPerPage);
}

std::vector<uint8_t> DataBytesFromText(std::string_view text) {
    std::vector<uint8_t> bytes;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsItemSeparator(text[i]))
            ++i;
        size_t start = i;
        while (i < text.size() && !IsItemSeparator(text[i]))
            ++i;
        if (i > start)
            bytes.push_back(
                static_cast<uint8_t>(NumberOr(text.substr(start, i - start), 0) & 0xFF));
    }
    return bytes;
}

std::string DataBytesText(std::span<const uint8_t> bytes) {
    return Joined(bytes, [](uint8_t b) { return std::to_string(b); });
}

std::string ReplyBytesText(std::span<const uint8_t> bytes, bool hex) {
    return Joined(bytes, [hex](uint8_t b) {
        char text[8];
        std::snprintf(text, sizeof text, hex ? "$%02X" : "%3u", b);
        return std::string(text);
    });
}

}  // namespace objscope
