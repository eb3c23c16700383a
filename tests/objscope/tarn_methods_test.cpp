#include "protocol/tarn_methods.h"

#include <gtest/gtest.h>

#include "tarn_test_bytes.h"

namespace objscope {
namespace {

using testing::Bytes;

TEST(TarnMethods, Payloads) {
    struct Case {
        Bytes payload;
        Bytes expected;
    };
    const Case cases[] = {
        {addObjectPayload(0x00E2, 0x30, kNoOwner, 16), {0xE2, 0, 0x30, 0, 0xFF, 0xFF, 16, 0}},
        {classTextPayload(0x00E2, 0x0102), {0xE2, 0, 0x02, 0x01, 1}},
        {stopTestPayload(3), {3, 0}},
        {startSequencePayload(kSequenceModeSet, 3), {0x00, 0x90, 3, 0, 0, 0, 0, 0}},
        {startSequencePayload(kSequenceModeStart, 4), {0x10, 0x80, 4, 0, 0, 0, 0, 0}},
        {circuitTestPayload(0x30, 1, 2, 3), {0x30, 0, 1, 0, 2, 0, 3, 0, 0, 0, 0, 0}},
        {testListPayload(0, 7), {0, 0, 7, 0}},
        {testResultsPayload(1, 2, 0, 9), {1, 0, 2, 0, 0, 0, 9, 0}},
        {flushResultsPayload(1, 0x1234), {1, 0, 0x34, 0x12}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.payload, c.expected);
}

TEST(TarnMethods, StartIndexOffsetsMatchThePayloads) {
    Bytes list = testListPayload(0, 0);
    ASSERT_TRUE(setPayloadStartIndex(list, kTestListStartOffset, 0x0105));
    EXPECT_EQ(list, testListPayload(0, 0x0105));
    Bytes results = testResultsPayload(1, 2, 0, 0);
    ASSERT_TRUE(setPayloadStartIndex(results, kTestResultsStartOffset, 40));
    EXPECT_EQ(results, testResultsPayload(1, 2, 0, 40));
    Bytes tooShort{1, 0};
    EXPECT_FALSE(setPayloadStartIndex(tooShort, 2, 1));
    EXPECT_FALSE(setPayloadStartIndex(tooShort, 100, 1));
}

TEST(TarnMethods, ResultWord) {
    EXPECT_EQ(methodResult(Bytes{0x34, 0x12, 9}), 0x1234);
    EXPECT_FALSE(methodResult(Bytes{0x34}));
}

Bytes testListPage(uint16_t count, size_t recordsPresent, uint8_t firstSerial) {
    Bytes page{static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8)};
    for (size_t r = 0; r < recordsPresent; ++r) {
        Bytes record(14, 0);
        record[0] = static_cast<uint8_t>(firstSerial + r);
        page.insert(page.end(), record.begin(), record.end());
    }
    return page;
}

TEST(TarnMethods, TestListPagesCollectWholeRecords) {
    RecordPager pager(kTestListLayout);
    EXPECT_EQ(pager.addPage(testListPage(2, 2, 1)), 2u);
    Bytes cut = testListPage(3, 3, 3);
    cut.resize(cut.size() - 5);  // third record arrives cut
    EXPECT_EQ(pager.addPage(cut), 2u);
    EXPECT_EQ(pager.addPage(testListPage(1, 3, 5)), 1u);  // surplus records ignored
    EXPECT_EQ(pager.announcedCount(), 6u);
    ASSERT_EQ(pager.recordCount(), 5u);
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(pager.record(i)[0], i + 1);
    EXPECT_TRUE(pager.record(5).empty());
}

TEST(TarnMethods, TestResultPagesKeepTheFirstHeader) {
    RecordPager pager(kTestResultsLayout);
    Bytes first(12, 0xA1);
    first[10] = 2;
    first[11] = 0;
    first.resize(12 + 2 * 11, 0x11);
    Bytes second(12, 0xB2);
    second[10] = 1;
    second[11] = 0;
    second.resize(12 + 11, 0x22);
    EXPECT_EQ(pager.addPage(first), 2u);
    EXPECT_EQ(pager.addPage(second), 1u);
    EXPECT_EQ(pager.firstHeader()[0], 0xA1);
    EXPECT_EQ(pager.recordCount(), 3u);
    EXPECT_EQ(pager.record(2)[0], 0x22);
}

TEST(TarnMethods, PageTooShortForItsHeaderAddsNothing) {
    RecordPager pager(kTestResultsLayout);
    EXPECT_EQ(pager.addPage(Bytes(11, 0xFF)), 0u);
    EXPECT_EQ(pager.addPage({}), 0u);
    EXPECT_EQ(pager.recordCount(), 0u);
    EXPECT_TRUE(pager.firstHeader().empty());
}

}  // namespace
}  // namespace objscope
