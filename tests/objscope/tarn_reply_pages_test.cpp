// Listing pages bounded by bytes and by the count byte, and payload replies
// with a chosen status and mode.
#include "protocol/tarn_reply_pages.h"

#include <gtest/gtest.h>

namespace {

using namespace objscope;

const TarnHeader kRequest{0, 1, 0, 5, 0, 0, 0x8001, 9};
const TarnAddress kDevice{0, 5, 0};

std::vector<ObjectEntry> namedObjects(size_t count, size_t nameLength) {
    std::vector<ObjectEntry> entries;
    for (size_t i = 0; i < count; ++i)
        entries.push_back({static_cast<uint16_t>(100 + i), 52, std::string(nameLength, 'n')});
    return entries;
}

TEST(ListingPages, TakeWhatFitsTheByteLimitAndTheCountByte) {
    struct Case {
        const char* what;
        size_t count, nameLength, limit;
        size_t taken;
        bool partial;
    };
    const Case cases[] = {
        // 16 header bytes + 5 + name per entry.
        {"ten of 105 bytes in 1100", 10, 100, 1100, 10, false},
        {"limit reached", 20, 100, 1100, 10, true},
        {"exactly at the limit", 10, 100, 16 + 1050, 10, false},
        {"one byte short", 10, 100, 16 + 1049, 9, true},
        {"the count byte caps a page", 300, 0, kMaxTarnReplyBytes, 255, true},
        {"an entry no page can carry ends the listing", 3, 255, 200, 0, false},
        {"nothing to list", 0, 10, 200, 0, false},
    };
    for (const auto& c : cases) {
        auto entries = namedObjects(c.count, c.nameLength);
        auto page = buildObjectPlusListingPage(kRequest, kDevice, entries, c.limit);
        EXPECT_EQ(page.entriesTaken, c.taken) << c.what;
        EXPECT_EQ(page.partial, c.partial) << c.what;
        EXPECT_LE(page.data.size(), std::max<size_t>(c.limit, 16)) << c.what;
        auto decoded = decodeObjectPlusListing(page.data);
        EXPECT_EQ(decoded.entries.size(), c.taken) << c.what;
        EXPECT_EQ(decoded.partial, c.partial) << c.what;
    }
}

TEST(ListingPages, PropertyAndObjectPagesCarryTheirEntries) {
    std::vector<PropertyListEntry> properties{{2, {0x01, 0x50, 0x07, 0x00}},
                                              {14, {0x02, 0xC0, 1, 'x'}}};
    auto page = buildPropertyListingPage(kRequest, kDevice, properties);
    auto decoded = decodePropertyListing(page.data);
    ASSERT_EQ(decoded.entries.size(), 2u);
    EXPECT_EQ(decoded.entries[0].typeCode, 2);
    EXPECT_EQ(decoded.entries[1].item.propertyId(), 2);
    EXPECT_FALSE(decoded.partial);

    auto objects = namedObjects(400, 0);
    auto first = buildObjectListingPage(kRequest, kDevice, objects);
    EXPECT_EQ(first.entriesTaken, 255u);
    EXPECT_TRUE(first.partial);
    auto header = readTarnHeader(first.data);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->Mode, kModePartial);
    EXPECT_EQ(header->Dest_Dev, 0x8001);
    EXPECT_EQ(header->Dest_Obj, 9);
    EXPECT_EQ(header->Src_Dev, 5);
}

TEST(PayloadReply, CarriesTheChosenStatusAndMode) {
    const uint8_t payload[] = {1, 2, 3};
    auto reply = buildPayloadReply(kRequest, kDevice, payload, 0, kModePartial);
    ASSERT_EQ(reply.size(), kTarnHeaderSize + 3);
    EXPECT_EQ(reply[0], 0);
    EXPECT_EQ(reply[1], kModePartial);
    EXPECT_EQ(replyPayload(reply).size(), 3u);
    EXPECT_EQ(buildPayloadReply(kRequest, kDevice, payload, 2, 0)[0], 2);
}

}  // namespace
