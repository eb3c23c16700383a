#include "protocol/tarn_items.h"

#include <gtest/gtest.h>

#include "tarn_test_bytes.h"

namespace objscope {
namespace {

using testing::Bytes;

struct SizeCodeCase {
    size_t wireSize;
    ItemSizeCode code;
    size_t headerLength;
};

TEST(TarnItems, SizeCodeFollowsWireSize) {
    const SizeCodeCase cases[] = {
        {1, ItemSizeCode::OneByte, 2},   {2, ItemSizeCode::TwoBytes, 2},
        {4, ItemSizeCode::FourBytes, 2}, {3, ItemSizeCode::Variable, 3},
        {0, ItemSizeCode::Variable, 3},  {6, ItemSizeCode::Variable, 3},
        {8, ItemSizeCode::Variable, 3},  {255, ItemSizeCode::Variable, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wireSize);
        EXPECT_EQ(itemSizeCodeFor(c.wireSize), c.code);
        EXPECT_EQ(itemHeaderLength(c.wireSize), c.headerLength);
    }
}

TEST(TarnItems, FourByteValueHasSizeCode2AndNoLengthByte) {
    Bytes value{0x11, 0x22, 0x33, 0x44};
    EXPECT_EQ(encodeItem(0x0123, value), (Bytes{0x23, 0x81, 0x11, 0x22, 0x33, 0x44}));
}

TEST(TarnItems, ThreeByteValueHasSizeCode3AndLengthByte) {
    Bytes value{0x00, 0x00, 0x80};
    EXPECT_EQ(encodeItem(0x0123, value), (Bytes{0x23, 0xC1, 0x03, 0x00, 0x00, 0x80}));
}

TEST(TarnItems, StoredSizeBitsOfThePropertyIdAreReplaced) {
    // The ID says size code 3 (0xC000) but the value is one byte.
    Bytes value{0x7F};
    EXPECT_EQ(encodeItem(0xC123, value), (Bytes{0x23, 0x01, 0x7F}));
    EXPECT_EQ(itemHeaderWord(0x4005, 4), 0x8005);
}

TEST(TarnItems, EmptyVariableValueHasLengthZero) {
    EXPECT_EQ(encodeItem(7, {}), (Bytes{0x07, 0xC0, 0x00}));
}

TEST(TarnItems, ValueLongerThanTheLengthByteIsRefused) {
    Bytes tooLong(256, 0xAA);
    Bytes out{0x55};
    EXPECT_EQ(appendItem(out, 9, tooLong), 0u);
    EXPECT_EQ(out, Bytes{0x55});
    EXPECT_EQ(appendItemHeader(out, 9, 300), 0u);
    EXPECT_TRUE(encodeItem(9, tooLong).empty());
    EXPECT_EQ(encodeItem(9, Bytes(255, 1)).size(), 258u);
}

TEST(TarnItems, ReadsEachSizeCode) {
    struct Case {
        Bytes bytes;
        uint16_t propertyId;
        size_t headerLength;
        Bytes value;
    };
    const Case cases[] = {
        {{0x05, 0x00, 0xAB, 0xEE}, 5, 2, {0xAB}},
        {{0x05, 0x40, 0x40, 0xFE}, 5, 2, {0x40, 0xFE}},
        {{0xFF, 0xBF, 1, 2, 3, 4}, 0x3FFF, 2, {1, 2, 3, 4}},
        {{0x10, 0xC0, 0x03, 7, 8, 9, 0xEE}, 0x10, 3, {7, 8, 9}},
        {{0x10, 0xC0, 0x00}, 0x10, 3, {}},
    };
    for (const auto& c : cases) {
        auto item = readItem(c.bytes);
        ASSERT_TRUE(item);
        EXPECT_EQ(item->propertyId(), c.propertyId);
        EXPECT_EQ(item->headerLength, c.headerLength);
        EXPECT_EQ(Bytes(item->value.begin(), item->value.end()), c.value);
        EXPECT_EQ(item->totalLength(), c.headerLength + c.value.size());
    }
}

TEST(TarnItems, ItemRunningPastTheEndIsRefused) {
    const Bytes cases[] = {
        {},
        {0x05},                    // header cut
        {0x05, 0xC0},              // length byte missing
        {0x05, 0x00},              // 1-byte value missing
        {0x05, 0x40, 0x01},        // 2-byte value cut
        {0x05, 0x80, 1, 2, 3},     // 4-byte value cut
        {0x05, 0xC0, 0x05, 1, 2},  // length says 5, two arrived
        {0x05, 0xC0, 0xFF},        // length 255, nothing arrived
    };
    for (const auto& bytes : cases) {
        SCOPED_TRACE(bytes.size());
        EXPECT_FALSE(readItem(bytes));
    }
}

TEST(TarnItems, EncodedItemsReadBack) {
    for (size_t size : {0, 1, 2, 3, 4, 5, 8, 128, 255}) {
        SCOPED_TRACE(size);
        Bytes value(size);
        for (size_t i = 0; i < size; ++i)
            value[i] = static_cast<uint8_t>(i * 7);
        Bytes item = encodeItem(0x1234, value);
        auto read = readItem(item);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->propertyId(), 0x1234);
        EXPECT_EQ(read->totalLength(), item.size());
        EXPECT_EQ(Bytes(read->value.begin(), read->value.end()), value);
    }
}

}  // namespace
}  // namespace objscope
