#include "message_file.h"

#include <gtest/gtest.h>

#include "temp_folder.h"

namespace busprobe {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

TEST(MessageFile, WritesTheKeysInOrderWithCrLf) {
    TempFolder dir;
    std::string path = dir.path("TEST.MSG");
    ComposedMessage message{0x0102, 0x0405, {{FieldType::Word, "1FF"}, {FieldType::Text, "ab"}}};
    ASSERT_TRUE(writeMessageFile(path, message));
    EXPECT_EQ(readFile(path),
              "[Message Description]\r\nDescription=" + path +
                  "\r\n\r\n[Message Data]\r\nObjectID=0x0102\r\nMessageID=0x0405\r\n"
                  "NumberFields=2\r\nField1=Word, 0x01FF\r\nField2=Text, \"ab\"\r\n");

    MessageFileRead read = readMessageFile(path);
    EXPECT_TRUE(read.error.empty());
    EXPECT_TRUE(read.badFields.empty());
    EXPECT_EQ(read.message.objectId, 0x0102);
    EXPECT_EQ(read.message.messageId, 0x0405);
    std::vector<ComposedField> expected{{FieldType::Word, "01FF"}, {FieldType::Text, "ab"}};
    EXPECT_EQ(read.message.fields, expected);
}

TEST(MessageFile, LongListsKeepEveryElement) {
    // 100 byte elements make a field text of 605 characters: written and read
    // whole, never cut inside an element.
    TempFolder dir;
    std::string path = dir.path("LONG.MSG");
    std::string text;
    for (int i = 0; i < 100; ++i) {
        text += (i ? "," : "") + std::to_string(10 + i % 80);
    }
    ASSERT_TRUE(writeMessageFile(path, {1, 2, {{FieldType::ByteList, text}}}));
    MessageFileRead read = readMessageFile(path);
    ASSERT_EQ(read.message.fields.size(), 1u);
    EXPECT_EQ(fieldBytes(FieldType::ByteList, read.message.fields[0].text),
              fieldBytes(FieldType::ByteList, text));
}

TEST(MessageFile, FieldsLongerThanAMessageCarriesAreRefused) {
    TempFolder dir;
    std::string path = dir.path("HUGE.MSG");
    std::string text = "ByteList";
    for (size_t i = 0; i < 65528; ++i) {
        text += ", 0x01";
    }
    writeFile(path,
              "[Message Data]\nObjectID=0x1\nMessageID=0x2\nNumberFields=1\nField1=" + text + "\n");
    EXPECT_EQ(readMessageFile(path).error,
              "Field 1 holds more than a message can carry (65527 bytes) !!");
}

TEST(MessageFile, BadFilesAreRefusedWithTheirMessage) {
    TempFolder dir;
    struct Case {
        const char* body;
        const char* error;
    };
    const Case cases[] = {
        {"ObjectID=12\nMessageID=0x1\n", "Invalid Object ID specified in Network Message File !!"},
        {"ObjectID=0x12\n", "Invalid Message ID specified in Network Message File !!"},
        {"ObjectID=0x1\nMessageID=0X2\nNumberFields=51\n",
         "Invalid Number of Fields specified in Network Message File !!"},
    };
    for (const auto& c : cases) {
        std::string path = dir.path("BAD.MSG");
        writeFile(path, std::string("[Message Data]\n") + c.body);
        EXPECT_EQ(readMessageFile(path).error, c.error) << c.body;
    }
    EXPECT_EQ(readMessageFile(dir.path("MISSING.MSG")).error,
              "Invalid Object ID specified in Network Message File !!");
}

TEST(MessageFile, FieldsThatDoNotParseAreReported) {
    TempFolder dir;
    std::string path = dir.path("WARN.MSG");
    writeFile(path,
              "[Message Data]\nObjectID=0x1\nMessageID=0x2\nNumberFields=3\n"
              "Field1=Word, 0x0001\nField2=Quad, 0x1\nField3=ByteList, 0x01, 7\n");
    MessageFileRead read = readMessageFile(path);
    EXPECT_TRUE(read.error.empty());
    EXPECT_EQ(read.badFields, (std::vector<int>{2, 3}));
    ASSERT_EQ(read.message.fields.size(), 3u);
    EXPECT_EQ(read.message.fields[2].text, "01");
}

}  // namespace
}  // namespace busprobe
