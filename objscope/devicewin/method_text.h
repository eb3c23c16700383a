// The texts of the Execute Method window: method IDs typed as a number or in
// the page form "XmY" (X x 1024 + Y), data bytes typed as a list, reply
// bytes shown in decimal or hexadecimal.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace objscope {

struct MethodIdText {
    bool ok = false;
    uint16_t id = 0;
    std::string error;  // the message to show when not ok
};

MethodIdText ParseMethodText(std::string_view text);
// The page form of an ID: "3m0" for 3072.
std::string MethodPageText(uint16_t id);

// Items separated by commas, blanks or line breaks, each an integer literal
// (text that does not convert gives 0) of which the low 8 bits are kept.
std::vector<uint8_t> DataBytesFromText(std::string_view text);
std::string DataBytesText(std::span<const uint8_t> bytes);  // "1, 2, 44"

// Decimal right-aligned to three characters, or "$" and two hex digits;
// separated by ", ".
std::string ReplyBytesText(std::span<const uint8_t> bytes, bool hex);

}  // namespace objscope
