// Typed fields of the message composer: their types, the bytes a field's
// text stands for, and the field text of message files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace busprobe {

enum class FieldType : int {
    Byte = 0,
    Word = 1,
    DWord = 2,
    Text = 3,
    ByteList = 4,
    WordList = 5,
    DWordList = 6,
};

inline constexpr int kFieldTypeCount = 7;

// Data bytes one message can carry: the largest envelope (64 KiB) less the
// 9-byte header.
inline constexpr size_t kMaxMessageData = 65536 - 9;
// The longest value text a field needs for that: a byte list of
// kMaxMessageData elements ("00,01,...").
inline constexpr int kMaxFieldTextLength = static_cast<int>(kMaxMessageData) * 3;

std::optional<FieldType> fieldTypeFromCode(int code);
inline int fieldTypeCode(FieldType type) {
    return static_cast<int>(type);
}

// "Byte", "WordList", ... as in message files.
std::string_view fieldTypeName(FieldType type);
// "[Byte]", "[Word List ]", ... as shown in a field.
std::string_view fieldTypeLabel(FieldType type);
// Bytes of one element (1 for Text: one per character).
int fieldElementSize(FieldType type);
// Hexadecimal digits of one element (0 for Text).
int fieldMaxDigits(FieldType type);
bool isListType(FieldType type);
// Byte for ByteList and so on; the type itself otherwise.
FieldType baseFieldType(FieldType type);

// The bytes of a field: numbers little-endian, list elements one after the
// other (an empty element gives 0), text as its characters.
std::vector<uint8_t> fieldBytes(FieldType type, std::string_view text);

// Field text of a message file: "Word, 0x01FF", "ByteList, 0x01, 0x02",
// "Text, \"abc\"".
std::string fieldFileText(FieldType type, std::string_view text);

struct ParsedField {
    FieldType type = FieldType::Byte;
    std::string text;       // the value edit's text
    bool complete = false;  // false: the text did not parse; `text` holds what did
    bool typeKnown = false;
};

// Reads a field text of a message file.
ParsedField parseFieldFileText(std::string_view fieldText);

// Typing rule of a field's value edit: may `c` go in at `caret` of `text`
// (with `selectionLength` characters selected from `selectionStart`)?
bool fieldAcceptsKey(FieldType type, std::string_view text, size_t selectionStart,
                     size_t selectionLength, char c);

// Typing rule of the ID and filter boxes: hexadecimal digits while the text
// stays within four characters.
bool idBoxAcceptsKey(std::string_view text, size_t selectionLength, char c);

}  // namespace busprobe
