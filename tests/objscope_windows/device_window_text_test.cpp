// The texts of the device windows: method IDs and data bytes, test records
// and results, end-of-branch rows and chunks, new objects' numbers.
#include <gtest/gtest.h>

#include "devicewin/add_object_text.h"
#include "devicewin/eob_points.h"
#include "devicewin/method_text.h"
#include "devicewin/test_record_text.h"
#include "protocol/tarn_method_records.h"

namespace objscope {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(MethodText, IdsInPageOrNumberForm) {
    struct Case {
        const char* text;
        bool ok;
        uint16_t id;
        const char* rewritten;
    };
    const Case cases[] = {
        {"2m5", true, 2053, "2m5"},  {" $0C00 ", true, 3072, "3m0"},
        {"3072", true, 3072, "3m0"}, {"1m2000", true, 3024, "2m976"},
        {"m5", false, 0, ""},        {"2m", false, 0, ""},
        {"", false, 0, ""},          {"-1", false, 0, ""},
        {"64m0", false, 0, ""},      {"abc", false, 0, ""},
    };
    for (const auto& c : cases) {
        MethodIdText parsed = ParseMethodText(c.text);
        EXPECT_EQ(parsed.ok, c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(parsed.id, c.id) << c.text;
            EXPECT_EQ(MethodPageText(parsed.id), c.rewritten);
        }
    }
    EXPECT_EQ(ParseMethodText("").error, "No Method Entered - Try Again, Please");
    EXPECT_EQ(ParseMethodText("m5").error, "Invalid Method Entered - Try Again, Please");
    EXPECT_EQ(ParseMethodText("64m0").error.rfind("Range check error", 0), 0u);
}

TEST(MethodText, DataAndReplyBytes) {
    Bytes bytes = DataBytesFromText("1, 2,300\n x $FF");
    EXPECT_EQ(bytes, (Bytes{1, 2, 44, 0, 255}));
    EXPECT_EQ(DataBytesText(bytes), "1, 2, 44, 0, 255");
    const Bytes reply = {5, 200};
    EXPECT_EQ(ReplyBytesText(reply, false), "  5, 200");
    EXPECT_EQ(ReplyBytesText(reply, true), "$05, $C8");
}

TEST(TestRecordText, ResultsAndDates) {
    TestResultRecord result;
    result.elapsed = 40;
    result.pointId = 7;
    result.setLevel = -448;
    result.testLevel = -449;
    result.resultBits = 0x81;
    Bytes bytes;
    appendRecord(bytes, result);
    const char* expected[] = {"7", "2.50", "0", "-3.5", "-3.5", "$81"};
    for (int column = 0; column < 6; ++column)
        EXPECT_EQ(TestResultCell(bytes, column), expected[column]) << column;
    EXPECT_EQ(TestResultCell(Bytes(5), 0), "") << "a cut record shows nothing";

    PackedDateTime when = UnpackDateTime(0x2A216000);
    EXPECT_EQ(when.year, 2001);
    EXPECT_EQ(when.month, 1);
    EXPECT_EQ(when.day, 1);
    EXPECT_EQ(when.hour, 12);
    EXPECT_EQ(when.minute, 0);
    EXPECT_EQ(when.second, 0);
}

TEST(EobPoints, RowsAreSortedCheckedAndChunked) {
    std::vector<EobRowTexts> rows = {
        {"5", "2", "100", "-3.5"}, {"5", "1", "200", "0"}, {"0", "1", "1", "1"},
        {"6", "1", "$10", "abc"},  {"7", "1", "1", "300"},
    };
    EobRowsResult result = EobRecordsFromRows(rows);
    ASSERT_TRUE(result.ok()) << result.error;
    ASSERT_EQ(result.records.size(), 4u) << "point 0 is dropped";
    EXPECT_EQ(result.records[0].branch, 1);
    EXPECT_EQ(result.records[1].setValue, -448);
    EXPECT_EQ(result.records[2].setValue, -32768);
    EXPECT_EQ(EobRowFor(result.records[2]).setValue, "-256");
    EXPECT_EQ(result.records[3].setValue, -32768) << "beyond 16 bits";

    const EobRowTexts bad[] = {
        {"1", "256", "1", "0"}, {"1", "1", "16777216", "0"}, {"65536", "1", "1", "0"}};
    for (const auto& row : bad) {
        EobRowsResult refused = EobRecordsFromRows(std::span(&row, 1));
        EXPECT_FALSE(refused.ok());
        EXPECT_EQ(refused.badRow, 1u);
    }

    std::vector<EobPointRecord> many(120);
    for (size_t i = 0; i < many.size(); ++i)
        many[i].pointId = static_cast<uint16_t>(i + 1);
    auto chunks = EobWriteChunks(many);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].offset, 0);
    EXPECT_EQ(chunks[1].offset, 400);
    EXPECT_EQ(chunks[2].offset, 800);
    EXPECT_EQ(chunks[2].records, 21u) << "20 points and the end mark";
    EXPECT_EQ(chunks[2].bytes.size(), 21u * 8);

    Bytes block = {0x64, 0, 0, 1, 5, 0, 0x40, 0xFE, 0, 0, 0, 0, 0, 0, 0, 0, 9, 9};
    auto points = EobPointsFromBlock(block);
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].deviceAddress, 100u);
    EXPECT_TRUE(EobPointsFromBlock(Bytes(8, 0)).empty());
}

TEST(AddObjectText, ClassBoxAndFields) {
    EXPECT_EQ(ClassIdFromText("Compressor (49)"), 49u);
    EXPECT_EQ(ClassIdFromText("77"), 77u);
    EXPECT_EQ(ClassIdFromText("EQ 31 Band (61)"), 61u);
    EXPECT_EQ(ClassIdFromText("none"), 0u);
    NewObjectResult read = ReadNewObject("Gain (52)", " $10 ", "", "x");
    EXPECT_TRUE(read.error.empty());
    EXPECT_EQ(read.numbers.objectId, 16);
    EXPECT_EQ(read.numbers.ownerId, 65535);
    EXPECT_EQ(read.numbers.maxBlobEntries, 0);
    EXPECT_FALSE(ReadNewObject("Gain (70000)", "1", "", "").error.empty());
    EXPECT_FALSE(ReadNewObject("52", "-1", "", "").error.empty());
}

}  // namespace
}  // namespace objscope
