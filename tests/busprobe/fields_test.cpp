#include <gtest/gtest.h>

#include <vector>

#include "net_field.h"

namespace busprobe {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(NetField, BytesOfEveryType) {
    struct Case {
        FieldType type;
        const char* text;
        Bytes bytes;
    };
    const Case cases[] = {
        {FieldType::Byte, "7", {0x07}},
        {FieldType::Byte, "", {0x00}},
        {FieldType::Word, "1FF", {0xFF, 0x01}},
        {FieldType::DWord, "12345678", {0x78, 0x56, 0x34, 0x12}},
        {FieldType::Text, "ab", {'a', 'b'}},
        {FieldType::Text, "", {}},
        {FieldType::ByteList, "1,2,A", {1, 2, 0x0A}},
        {FieldType::WordList, "1,,FF", {1, 0, 0, 0, 0xFF, 0}},
        {FieldType::DWordList, "1", {1, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fieldBytes(c.type, c.text), c.bytes) << fieldTypeName(c.type) << " " << c.text;
    }
}

TEST(NetField, FileTextAndParseRoundTrip) {
    struct Case {
        FieldType type;
        const char* text;
        const char* fileText;
        const char* readBack;
    };
    const Case cases[] = {
        {FieldType::Word, "1FF", "Word, 0x01FF", "01FF"},
        {FieldType::Text, "ab", "Text, \"ab\"", "ab"},
        {FieldType::Text, "", "Text, \"\"", ""},
        {FieldType::ByteList, "1,2,A", "ByteList, 0x01, 0x02, 0x0A", "01,02,0A"},
        {FieldType::DWordList, "1,", "DWordList, 0x00000001, 0x00000000", "00000001,00000000"},
        {FieldType::Byte, "", "Byte, 0x00", "00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fieldFileText(c.type, c.text), c.fileText);
        ParsedField parsed = parseFieldFileText(c.fileText);
        EXPECT_TRUE(parsed.complete) << c.fileText;
        EXPECT_EQ(parsed.type, c.type) << c.fileText;
        EXPECT_EQ(parsed.text, c.readBack) << c.fileText;
    }
}

TEST(NetField, ParseFailuresKeepWhatParsed) {
    EXPECT_FALSE(parseFieldFileText("Quad, 0x01").typeKnown);
    ParsedField partial = parseFieldFileText("ByteList, 0x01, 02, 0x03");
    EXPECT_FALSE(partial.complete);
    EXPECT_EQ(partial.text, "01");
    EXPECT_FALSE(parseFieldFileText("Text, abc").complete);
    EXPECT_FALSE(parseFieldFileText("Word").complete);
    EXPECT_EQ(parseFieldFileText("Word, 0X1fz").text, "001F");
    // Digits beyond the element size are refused, never silently cut.
    ParsedField wide = parseFieldFileText("ByteList, 0x01, 0x1234");
    EXPECT_FALSE(wide.complete);
    EXPECT_EQ(wide.text, "01");
    EXPECT_TRUE(parseFieldFileText("Byte, 0x00FF").complete);
    ParsedField extra = parseFieldFileText("Word, 0x0001, 0x0002");
    EXPECT_FALSE(extra.complete);
    EXPECT_EQ(extra.text, "0001");
}

TEST(NetField, TypingRules) {
    struct Case {
        FieldType type;
        const char* text;
        size_t selectionStart;
        size_t selectionLength;
        char key;
        bool accepted;
    };
    const Case cases[] = {
        {FieldType::Byte, "1F", 2, 0, 'A', false},  // third digit of a byte
        {FieldType::Byte, "1F", 0, 2, 'A', true},   // replacing the selection
        {FieldType::Byte, "1", 1, 0, 'G', false},
        {FieldType::Byte, "1", 1, 0, ',', false},
        {FieldType::Byte, "12", 2, 0, '\b', true},
        {FieldType::ByteList, "12,3", 4, 0, '4', true},   // second element still open
        {FieldType::ByteList, "12,3", 2, 0, '4', false},  // first element full
        {FieldType::ByteList, "12,34", 2, 0, ',', true},
        {FieldType::WordList, "1234,", 5, 0, 'F', true},
        {FieldType::Text, "anything", 8, 0, '#', true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fieldAcceptsKey(c.type, c.text, c.selectionStart, c.selectionLength, c.key),
                  c.accepted)
            << fieldTypeName(c.type) << " '" << c.text << "' + " << c.key;
    }
    EXPECT_TRUE(idBoxAcceptsKey("123", 0, 'f'));
    EXPECT_FALSE(idBoxAcceptsKey("1234", 0, 'f'));
    EXPECT_TRUE(idBoxAcceptsKey("1234", 1, 'f'));
    EXPECT_FALSE(idBoxAcceptsKey("", 0, 'x'));
}

}  // namespace
}  // namespace busprobe
