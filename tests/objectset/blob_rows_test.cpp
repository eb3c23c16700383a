// The rows of a data block as the BLOB window shows them and sends them back.
#include "objectset/blob_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace objscope {
namespace {

using Bytes = std::vector<uint8_t>;
using Rows = std::vector<std::string>;

TEST(BlobRows, FixedEntries) {
    Bytes block = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0xAB};
    auto rows = BlobRowsFromBuffer(block, BlobLayout::FixedEntries, 4, 3);
    EXPECT_EQ(rows.rows, (Rows{"01 | 02 | 03 | 04", "05 | 06 | 07 | 08", "09 | 0A | 0B | AB"}));
    EXPECT_FALSE(rows.ranPastEnd);

    Rows edited = {"1 | 2", "", "05 | 06 | 07 | 08 | 09"};
    auto buffer = BlobBufferFromRows(edited, BlobLayout::FixedEntries, 4);
    ASSERT_TRUE(buffer.ok()) << buffer.error;
    EXPECT_EQ(buffer.bytes, (Bytes{1, 2, 0, 0, 5, 6, 7, 8}));  // padded, cut, blank skipped

    EXPECT_TRUE(BlobRowsFromBuffer({}, BlobLayout::FixedEntries, 4, 1).ranPastEnd);
    // An entry size of 0 gives empty rows and no division.
    EXPECT_EQ(BlobRowsFromBuffer({}, BlobLayout::FixedEntries, 0, 2).rows, (Rows{"", ""}));
}

TEST(BlobRows, LinkedList) {
    Bytes block = {5, 0, 0x0A, 0x0B, 0x0C, 4, 0, 1, 2};
    auto rows = BlobRowsFromBuffer(block, BlobLayout::LinkedList, 0, 2);
    EXPECT_EQ(rows.rows, (Rows{"0A | 0B | 0C", "01 | 02"}));
    auto buffer = BlobBufferFromRows(Rows{"0A | 0B | 0C | 0D"}, BlobLayout::LinkedList, 0);
    EXPECT_EQ(buffer.bytes, (Bytes{6, 0, 0x0A, 0x0B, 0x0C, 0x0D}));

    EXPECT_TRUE(BlobRowsFromBuffer(block, BlobLayout::LinkedList, 0, 3).ranPastEnd);
    Bytes broken = {1, 0, 9, 9};  // a length below its own two bytes
    auto walked = BlobRowsFromBuffer(broken, BlobLayout::LinkedList, 0, 5);
    EXPECT_TRUE(walked.ranPastEnd);
    EXPECT_TRUE(walked.rows.empty());
    EXPECT_EQ(BlobLayoutForClass(254), BlobLayout::LinkedList);
    EXPECT_EQ(BlobLayoutForClass(11), BlobLayout::FixedEntries);
}

TEST(BlobRows, RefusesWhatIsNoByte) {
    const char* bad[] = {"01 | 100", "01 | zz", "0x1"};
    for (const char* row : bad) {
        auto buffer = BlobBufferFromRows(Rows{"01", row}, BlobLayout::FixedEntries, 2);
        EXPECT_FALSE(buffer.ok()) << row;
        EXPECT_EQ(buffer.badRow, 2u) << row;
    }
    Rows many(20000, "01 | 02 | 03 | 04");
    auto buffer = BlobBufferFromRows(many, BlobLayout::FixedEntries, 4);
    EXPECT_FALSE(buffer.ok());
    EXPECT_EQ(buffer.badRow, 16384u);
}

TEST(BlobRows, BlbFiles) {
    Rows rows = {"01 | 02", "", "FF"};
    std::string text = BlbFileText(rows);
    EXPECT_EQ(text, "01 | 02\r\n\r\nFF\r\n");
    EXPECT_EQ(BlbFileRows(text), rows);
    EXPECT_EQ(BlbFileRows("A\nB"), (Rows{"A", "B"}));
}

}  // namespace
}  // namespace objscope
