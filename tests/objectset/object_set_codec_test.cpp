// The object set file codec: the field grammar, the type-code encoder, the
// writer's value texts, what the writer writes the reader reads, the file
// reader and the records sent to a device.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "objectset/object_set_encoder.h"
#include "objectset/object_set_fields.h"
#include "objectset/object_set_file.h"
#include "objectset/object_set_format.h"
#include "objectset/object_set_writer.h"
#include "values/property_arrays.h"
#include "values/property_factory.h"
#include "values/property_handle_value.h"
#include "values/property_multi_value.h"
#include "values/property_object_address.h"
#include "values/property_quad_word.h"
#include "values/property_string_value.h"
#include "values/property_typed_values.h"

namespace objscope {
namespace {

using Bytes = std::vector<uint8_t>;
using Fields = std::vector<std::string>;

TEST(ObjectSetFormat, LeaveOutTable) {
    struct Case {
        uint16_t classId, propertyId;
        bool leftOut;
    };
    const Case cases[] = {
        {60, 0, true},      {60, 12, true},    {60, 2, false},     {60, 7, false},
        {60, 1024, true},   {61, 1024, true},  {62, 1024, false},  {96, 2050, true},
        {96, 2055, true},   {96, 2056, false}, {97, 2052, false},  {11, 3072, true},
        {11, 3073, true},   {11, 3074, false}, {254, 3072, false}, {226, 3090, true},
        {226, 3083, true},  {238, 2064, true}, {238, 2062, false}, {165, 5139, true},
        {165, 5140, false}, {54, 4108, true},  {237, 4196, true},  {73, 4099, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsLeftOutProperty(c.classId, c.propertyId), c.leftOut)
            << "class " << c.classId << " property " << c.propertyId;
}

TEST(ObjectSetFields, Grammar) {
    struct Case {
        const char* line;
        Fields fields;
    };
    const Case cases[] = {
        {"60,100,65535,0,(14,2,\"Main PEQ\"),(13,3072,0)",
         {"60", "100", "65535", "0", "14,2,\"Main PEQ\"", "13,3072,0"}},
        {" 1 , ,2,", {"1", "2"}},            // blanks trimmed, empty dropped
        {"1000,0,0,(", {"1000", "0", "0"}},  // a BLOB line with no bytes
        {"1,(14,2,\"a) b, c\"),2", {"1", "14,2,\"a) b, c\"", "2"}},  // a text protects
        {"1,(14,2,\"x\"", {"1", "14,2,\"x\""}},  // an unclosed group runs to the end
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitObjectSetLine(c.line), c.fields) << c.line;

    EXPECT_EQ(SplitPropertyGroup("175,3000,[1,-2,3]"), (Fields{"175", "3000", "1,-2,3"}));
    EXPECT_EQ(SplitPropertyGroup("14,2,\"\""), (Fields{"14", "2", ""}));
    EXPECT_EQ(SplitPropertyGroup("14,2,\" padded \""), (Fields{"14", "2", " padded "}));
    EXPECT_EQ(SplitPropertyGroup("14,2,\"say \"hi\" [x]\""), (Fields{"14", "2", "say \"hi\" [x]"}));
    EXPECT_EQ(SplitPropertyGroup("174,9,["), (Fields{"174", "9", ""}));
    EXPECT_EQ(SplitPropertyGroup("131,3072,"), (Fields{"131", "3072", ""}));
}

struct EncodeCase {
    const char* group;
    GroupVerdict verdict;
    Bytes value;
};

TEST(ObjectSetEncoder, TypeCodeRules) {
    using V = GroupVerdict;
    const EncodeCase cases[] = {
        {"131,3072,-100", V::Encoded, {0x00}},
        {"131,3072,27.5", V::Encoded, {0xFF}},
        {"131,3072,30", V::Encoded, {0xFF}},  // clamped, not wrapped
        {"131,3072,-3", V::Encoded, {194}},
        {"132,4096,-3.5", V::Encoded, {0x40, 0xFE}},
        {"132,4096,-300", V::Encoded, {0x00, 0x80}},  // -256 dB
        {"1,4096,2.5", V::Encoded, {2}},              // ties to even
        {"1,4096,3.5", V::Encoded, {4}},
        {"1,4096,300", V::Encoded, {255}},
        {"3,4096,16777216", V::Encoded, {0xFF, 0xFF, 0xFF}},
        {"7,4096,-40000", V::Encoded, {0x00, 0x80}},
        {"13,3073,255", V::Encoded, {255}},  // raw Booleans
        {"142,3075,4", V::Encoded, {0x40, 0x9C}},
        {"155,4098,1", V::Encoded, {0x00, 0x00, 0x80, 0x3F}},
        {"153,4096,-128", V::Encoded, {0x00, 0x00, 0x80}},
        {"170,4096,513", V::Encoded, {0x01, 0x02}},
        {"171,4096,$0102", V::Encoded, {0x02, 0x01}},
        {"200,4096,70000", V::Encoded, {0x70, 0x11, 0x01, 0x00}},
        {"133,4096,5", V::Encoded, {}},  // a type without a value
        {"5,4096,$1234", V::Encoded, {0x34, 0x12, 0, 0, 0, 0, 0, 0}},
        {"5,4096,$123456789A", V::Encoded, {0x9A, 0x78, 0x56, 0x34, 0x12, 0, 0, 0}},
        {"5,4096,-2", V::Encoded, {0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"5,4096,junk", V::Encoded, {0, 0, 0, 0, 0, 0, 0, 0}},
        {"14,2,\"\"", V::Encoded, {0}},
        {"14,2,\"AB\"", V::Encoded, {'A', 'B'}},
        {"67,8,\"Q\"", V::Encoded, {'Q'}},
        {"69,3000,$00FF", V::Encoded, {0xFF, 0x00}},
        {"69,3000,70000", V::Encoded, {0xFF, 0xFF}},
        {"69,3000,x", V::Encoded, {0, 0}},
        {"72,3000,$0001:$0002:$0003", V::Encoded, {1, 0, 2, 0, 3, 0}},
        {"72,3000,$0001:$0002", V::Skipped, {}},
        {"72,3000,$1:$2:$10000", V::Skipped, {}},
        {"174,9,[1,2,255]", V::Encoded, {1, 2, 255}},
        {"174,9,[", V::Encoded, {}},
        {"176,9,[]", V::Encoded, {}},
        {"175,9,[1,-1,65535]", V::Encoded, {1, 0, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"176,9,[1,256]", V::Malformed, {}},
        {"175,9,[-32769]", V::Malformed, {}},
        {"131,3072,abc", V::Malformed, {}},
        {"131,3072,nan", V::Malformed, {}},
        {"132,4096", V::Skipped, {}},
        {"0,0,5", V::Skipped, {}},
        {"99,4096,5", V::Skipped, {}},
        {"300,4096,5", V::Skipped, {}},
    };
    for (const auto& c : cases) {
        GroupResult result = EncodePropertyGroup(c.group);
        EXPECT_EQ(result.verdict, c.verdict) << c.group << ": " << result.reason;
        if (c.verdict == V::Encoded) {
            EXPECT_EQ(result.property.value, c.value) << c.group;
        }
    }
    EXPECT_EQ(EncodePropertyGroup("132,19459,1").property.propertyId, 3075);
}

std::string Numbers(size_t count) {
    std::string text = "[";
    for (size_t i = 0; i < count; ++i)
        text += (i ? ",1" : "1");
    return text + "]";
}

TEST(ObjectSetEncoder, ListsBeyondAnItemAreRefusedForTheirObject) {
    EXPECT_EQ(EncodePropertyGroup("175,9," + Numbers(127)).verdict, GroupVerdict::Encoded);
    EXPECT_EQ(EncodePropertyGroup("175,9," + Numbers(128)).verdict, GroupVerdict::Refused);
    EXPECT_EQ(EncodePropertyGroup("176,9," + Numbers(255)).verdict, GroupVerdict::Encoded);
    EXPECT_EQ(EncodePropertyGroup("174,9," + Numbers(256)).verdict, GroupVerdict::Refused);

    ObjectRecord record;
    ASSERT_EQ(
        EncodeObjectLine("60,5,65535,0,(14,2,\"x\"),(175,3000," + Numbers(200) + ")", record).kind,
        LineResult::Record);
    EXPECT_NE(record.refusal.find("property 3000"), std::string::npos) << record.refusal;

    std::string big = "60,5,65535,0";
    for (int i = 0; i < 20; ++i)
        big += ",(176," + std::to_string(4096 + i) + "," + Numbers(250) + ")";
    ASSERT_EQ(EncodeObjectLine(big, record).kind, LineResult::Record);
    EXPECT_NE(record.refusal.find("4096"), std::string::npos) << record.refusal;
}

TEST(ObjectSetEncoder, ObjectLinesAndRecords) {
    ObjectRecord record;
    EXPECT_EQ(EncodeObjectLine("60,100,65535,0", record).kind, LineResult::Skipped);
    ASSERT_EQ(EncodeObjectLine("60,100,$FFFF,0,(14,2,\"\"),(99,5,1),(131,3072,-100)", record).kind,
              LineResult::Record);
    EXPECT_EQ(record.classId, 60);
    EXPECT_EQ(record.objectId, 100);
    EXPECT_EQ(record.ownerId, 65535);
    ASSERT_EQ(record.properties.size(), 2u);  // the unknown type is not counted
    EXPECT_TRUE(record.refusal.empty());
    EXPECT_EQ(ConfirmObjectPayload(record),
              (Bytes{60, 0, 100, 0, 0xFF, 0xFF, 2, 0, 0x02, 0x00, 0x00, 0x00, 0x0C, 0x00}));

    const char* malformed[] = {"70000,1,2,3,(1,4096,1)", "1,2,3,4,(131,3072,loud)",
                               "1,2,3,4,(1,70000,1)"};
    for (const char* line : malformed)
        EXPECT_EQ(EncodeObjectLine(line, record).kind, LineResult::Malformed) << line;
}

TEST(ObjectSetEncoder, BlobLines) {
    BlobRecord record;
    ASSERT_EQ(EncodeBlobLine("1000,8,3,(1,2,3,4)", record).kind, LineResult::Record);
    EXPECT_EQ(record.objectId, 1000);
    EXPECT_EQ(record.start, 8);
    EXPECT_EQ(record.bytes, (Bytes{1, 2, 3}));
    EXPECT_EQ(BlobWritePayload(record), (Bytes{8, 0, 3, 0, 1, 2, 3}));
    EXPECT_EQ(EncodeBlobLine("1000,0,0,(", record).kind, LineResult::Skipped);
    EXPECT_EQ(EncodeBlobLine("1000,0,3,(1,2)", record).kind, LineResult::Malformed);
    EXPECT_EQ(EncodeBlobLine("1000,0,2,(1,256)", record).kind, LineResult::Malformed);
    EXPECT_EQ(EncodeBlobLine("1000,65535,2,(1,2)", record).kind, LineResult::Malformed);
}

// A property of the type code with its value set from `text` through the
// encoder's own reading, so both sides can be compared.
std::unique_ptr<TVEKPropertyBase> Listed(uint8_t code, uint16_t id) {
    auto property = CreateListedProperty(code, true);
    property->SetPropertyID(id);
    return property;
}

TEST(ObjectSetWriter, ValueTexts) {
    TU32VEKDB2 gain;
    gain.SetData(-3.5);
    EXPECT_EQ(PropertyValueText(gain), "-3.5");
    TU32VEKCoefficient coefficient;
    coefficient.SetData(0.1);
    EXPECT_EQ(PropertyValueText(coefficient), "0.1");
    TU32UWord word;
    word.SetData(1000);
    EXPECT_EQ(PropertyValueText(word), "1000");
    TU32TObjectName name;
    name.SetData("Main PEQ");
    EXPECT_EQ(PropertyValueText(name), "\"Main PEQ\"");
    name.SetData(std::string(2, '\0'));
    EXPECT_EQ(PropertyValueText(name), "\"\"") << "what an empty text downloads as";
    name.SetData("two\r\nlines\nand\r");
    EXPECT_EQ(PropertyValueText(name), "\"two\r lines\nand\r\"");
    TU32aesOBJ_Handle handle;
    handle.SetData(0xAB);
    EXPECT_EQ(PropertyValueText(handle), "$00AB");
    TU32UQWord quad;
    quad.SetData(0x12345);
    EXPECT_EQ(PropertyValueText(quad), "$12345");
    quad.SetData(7);
    EXPECT_EQ(PropertyValueText(quad), "$0007");
    TVEKObject_Address address;
    address.SetParts(0x00020001, 3);
    EXPECT_EQ(PropertyValueText(address), "$0001:$0002:$0003");
    TU32VEKNumberList list;
    EXPECT_EQ(PropertyValueText(list), "[]");
    list.SetNumbers({1, 0xFFFF});
    EXPECT_EQ(PropertyValueText(list), "[1,-1]");
    TU32VEKByteArray bytes;
    bytes.SetBytes({0, 200});
    EXPECT_EQ(PropertyValueText(bytes), "[0,200]");
    TU32VEKBitSet bits;
    bits.SetData(std::string("\x01\xFF", 2));
    EXPECT_EQ(PropertyValueText(bits), "[1,255]");
    bits.SetData("");
    EXPECT_EQ(PropertyValueText(bits), "[");
}

TEST(ObjectSetWriter, ObjectAndBlobLines) {
    auto owner = Listed(69, 7);
    dynamic_cast<TU32UWord_int&>(*owner).SetData(100);
    auto name = Listed(14, 2);
    dynamic_cast<TU32StringValue&>(*name).SetData("In");
    auto handle = Listed(69, 1);
    auto common = Listed(1, 12);
    auto classOnly = Listed(13, 1024);  // left out for class 60
    auto gain = Listed(131, 3072);
    dynamic_cast<TU32MultiValue&>(*gain).SetData(-3);
    const TVEKPropertyBase* listed[] = {handle.get(), owner.get(),     name.get(),
                                        common.get(), classOnly.get(), gain.get()};
    EXPECT_EQ(ObjectLineFor(60, 101, 0, listed), "60,101,100,0,(14,2,\"In\"),(131,3072,-3)");
    EXPECT_EQ(ObjectLineFor(61, 101, 0, std::span(listed).first(1)), "61,101,65535,0");

    const uint8_t data[] = {0, 17, 255};
    EXPECT_EQ(BlobLine(1000, 32, data), "1000,32,3,(0,17,255)");
    EXPECT_EQ(BlobLine(1000, 32, {}), "1000,32,0,(");
}

// What the writer writes for each kind of property, the encoder turns into
// the bytes the property itself packs.
TEST(ObjectSetWriter, WhatIsWrittenReadsBack) {
    struct Case {
        uint8_t code;
        const char* value;  // through the encoder into the property first
    };
    const Case cases[] = {
        {1, "200"},
        {2, "65535"},
        {3, "70000"},
        {4, "4000000000"},
        {5, "$FFFFFFFFFFFFFFF0"},
        {6, "-5"},
        {7, "-300"},
        {8, "-70000"},
        {9, "-2000000000"},
        {13, "7"},
        {14, "\"Lobby, left (rear)\""},
        {67, "\"x\""},
        {69, "$1234"},
        {72, "$0001:$0002:$0003"},
        {131, "-99.5"},
        {132, "-3.5"},
        {135, "12.25"},
        {140, "1000.5"},
        {142, "3.0969"},
        {151, "1.125"},
        {152, "-1.5"},
        {153, "0.25"},
        {155, "0.3333"},
        {157, "-0.5"},
        {161, "-8"},
        {162, "1.5"},
        {163, "-20.5"},
        {164, "1234.567"},
        {165, "1.5"},
        {166, "100"},
        {167, "10.5"},
        {170, "600"},
        {171, "700"},
        {174, "[1,2,3]"},
        {175, "[1,-2,300]"},
        {176, "[9,8]"},
        {200, "123456"},
    };
    for (const auto& c : cases) {
        std::string group = std::to_string(c.code) + ",3000," + c.value;
        GroupResult first = EncodePropertyGroup(group);
        ASSERT_EQ(first.verdict, GroupVerdict::Encoded) << group << first.reason;
        auto property = Listed(c.code, 3000);
        ASSERT_TRUE(property->UnPackValue(first.property.value)) << group;
        std::string written = PropertyGroupText(*property);
        GroupResult again = EncodePropertyGroup(written.substr(1, written.size() - 2));
        ASSERT_EQ(again.verdict, GroupVerdict::Encoded) << written;
        EXPECT_EQ(again.property.value, first.property.value) << group << " -> " << written;
        EXPECT_EQ(again.property.typeCode, property->VEKtype());
    }
}

TEST(ObjectSetFile, ReadsObjectsThenBlobData) {
    const std::string text =
        "17,0,65535,0,(14,2,\"Rack\"),(1,2062,0)\r\n"
        "60,100,65535,0\r\n"
        "11,1000,65535,4,(14,2,\"Table\")\r\n" +
        std::string(kObjectSetMarkerLine) +
        "\r\n"
        "1000,0,3,(1,2,3)\r\n"
        "1000,3,0,(\r\n";
    ObjectSetProblem problem;
    ObjectSetFile file = ReadObjectSet(text, problem);
    EXPECT_EQ(problem.line, 0u) << problem.message;
    EXPECT_EQ(file.lineCount, 6u);
    EXPECT_EQ(file.objectLineCount, 3u);
    EXPECT_EQ(file.BlobLineCount(), 2u);
    ASSERT_EQ(file.objects.size(), 2u);
    EXPECT_EQ(file.objects[1].line, 3u);
    EXPECT_EQ(file.objects[1].maxBlobEntries, 4);
    ASSERT_EQ(file.blobs.size(), 1u);
    EXPECT_EQ(file.blobs[0].bytes, (Bytes{1, 2, 3}));

    file =
        ReadObjectSet("60,1,65535,0,(1,5,1)\n60,2,65535,0,(1,5,999999999999999999999)\n", problem);
    EXPECT_EQ(problem.line, 0u);  // a number clamps
    file = ReadObjectSet("60,1,65535,0,(1,5,1)\n####\n1,0,2,(1)\n", problem);
    EXPECT_EQ(problem.line, 3u);
    EXPECT_NE(problem.message.find("count"), std::string::npos);

    file = ReadObjectSet("60,1,65535,0,(1,5,1)\n####", problem);
    EXPECT_TRUE(file.hasMarker);
    EXPECT_EQ(file.BlobLineCount(), 0u);
    file = ReadObjectSet("", problem);
    EXPECT_TRUE(file.objects.empty());

    // In a file of CR LF lines a lone LF stays inside its text.
    file = ReadObjectSet("33,1,65535,0,(14,8,\" \n\")\r\n33,2,65535,0,(14,8,\"x\")\r\n", problem);
    ASSERT_EQ(file.objects.size(), 2u);
    EXPECT_EQ(file.objects[0].properties[0].value, (Bytes{' ', '\n'}));
}

}  // namespace
}  // namespace objscope
