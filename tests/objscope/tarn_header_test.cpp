#include "protocol/tarn_header.h"

#include <gtest/gtest.h>

#include "protocol/tarn_status.h"
#include "tarn_test_bytes.h"

namespace objscope {
namespace {

using testing::Bytes;

TEST(TarnHeader, WritesEveryFieldLittleEndian) {
    TarnHeader header =
        makeRequestHeader(RequestMode::ReplyWanted, {0x0102, 0x0304, 0x0506}, {7, 0x8031, 9});
    Bytes out;
    appendTarnHeader(out, header);
    EXPECT_EQ(out, (Bytes{0, 2, 0x02, 0x01, 0x04, 0x03, 0x06, 0x05, 7, 0, 0x31, 0x80, 9, 0}));
}

TEST(TarnHeader, ReadsWhatWasWritten) {
    TarnHeader header{0x81, 0x80, 1, 0xFFFF, 12, 4, 5, 6};
    Bytes out;
    appendTarnHeader(out, header);
    auto read = readTarnHeader(out);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Status, 0x81);
    EXPECT_EQ(read->Mode, 0x80);
    EXPECT_EQ(read->Dest_Dev, 0xFFFF);
    EXPECT_EQ(read->Dest_Obj, 12);
    EXPECT_EQ(read->Src_Obj, 6);
}

TEST(TarnHeader, ShortBlockHasNoHeader) {
    Bytes thirteen(13, 0);
    EXPECT_FALSE(readTarnHeader(thirteen));
    EXPECT_FALSE(readTarnHeader({}));
}

TEST(TarnStatusValue, StatusByteWinsOverMode) {
    EXPECT_EQ(statusValue(0, 0), 0);
    EXPECT_EQ(statusValue(0, 0x80), 0x8000);
    EXPECT_EQ(statusValue(5, 0x80), 5);
    EXPECT_EQ(statusValue(200, 0x10), 200);
    EXPECT_EQ(replyStatusValue(testing::replyBlock(0, 0x80, {})), 0x8000);
    EXPECT_EQ(replyStatusValue(testing::replyBlock(2, 0, {1, 2})), 2);
}

// A block without a whole header carries no status byte: it is judged by
// the library's own failure value, not as a status the device never sent.
TEST(TarnStatusValue, BlockShorterThanTheHeaderIsALibraryFailure) {
    for (const Bytes& cut : {Bytes{0, 0, 1, 2}, Bytes{}, Bytes(13, 0)}) {
        EXPECT_EQ(replyStatusValue(cut), kStatusReplyTooShort) << cut.size();
    }
    EXPECT_LT(kStatusReplyTooShort, 0);
    EXPECT_EQ(StatusText(kStatusReplyTooShort), "Reply Too Short");
    EXPECT_EQ(replyStatusValue(Bytes(14, 0)), kStatusOk);
}

}  // namespace
}  // namespace objscope
