#include "protocol/tarn_replies.h"

#include <gtest/gtest.h>

#include "protocol/tarn_notification.h"
#include "tarn_test_bytes.h"

namespace objscope {
namespace {

using testing::Bytes;
using testing::replyBlock;

Bytes valueOf(const ItemView& item) {
    return Bytes(item.value.begin(), item.value.end());
}

TEST(TarnReplies, ObjectListing) {
    Bytes reply = replyBlock(0, 0x80, {2, 0, 0x30, 0, 0xE2, 0, 0x31, 0x01, 11, 0});
    auto page = decodeObjectListing(reply);
    EXPECT_TRUE(page.partial);
    EXPECT_FALSE(page.cutShort());
    ASSERT_EQ(page.entries.size(), 2u);
    EXPECT_EQ(page.entries[0], (ObjectEntry{0x30, 0xE2, ""}));
    EXPECT_EQ(page.entries[1], (ObjectEntry{0x131, 11, ""}));
}

TEST(TarnReplies, ObjectPlusListingCarriesNames) {
    Bytes reply = replyBlock(0, 0, {2, 0, 1, 0, 2, 0, 3, 'E', 'Q', '1', 4, 0, 5, 0, 0});
    auto page = decodeObjectPlusListing(reply);
    EXPECT_FALSE(page.partial);
    ASSERT_EQ(page.entries.size(), 2u);
    EXPECT_EQ(page.entries[0], (ObjectEntry{1, 2, "EQ1"}));
    EXPECT_EQ(page.entries[1], (ObjectEntry{4, 5, ""}));
}

TEST(TarnReplies, ClassListing) {
    auto page = decodeClassListing(replyBlock(0, 0, {3, 0, 1, 0, 0xE2, 0, 0xFE, 0}));
    EXPECT_EQ(page.entries, (std::vector<uint16_t>{1, 0xE2, 0xFE}));
}

TEST(TarnReplies, PropertyListingPairsTypeCodesWithItems) {
    Bytes reply = replyBlock(0, 0x80,
                             {3, 0,                         //
                              2, 0x05, 0x40, 0x34, 0x12,    // UWord
                              14, 0x06, 0xC0, 2, 'h', 'i',  // String
                              131, 0x07, 0x00, 200});       // DB1
    auto page = decodePropertyListing(reply);
    ASSERT_EQ(page.entries.size(), 3u);
    EXPECT_EQ(page.entries[0].typeCode, 2);
    EXPECT_EQ(page.entries[0].item.propertyId(), 5);
    EXPECT_EQ(valueOf(page.entries[0].item), (Bytes{0x34, 0x12}));
    EXPECT_EQ(page.entries[1].typeCode, 14);
    EXPECT_EQ(valueOf(page.entries[1].item), (Bytes{'h', 'i'}));
    EXPECT_EQ(page.entries[2].item.propertyId(), 7);
    EXPECT_EQ(valueOf(page.entries[2].item), Bytes{200});
}

TEST(TarnReplies, CountIsNotTrustedBeyondTheBytesThatArrived) {
    // Each reply announces more entries than arrived whole.
    auto objects = decodeObjectListing(replyBlock(0, 0, {200, 0, 1, 0, 2, 0, 3, 0}));
    EXPECT_EQ(objects.declaredCount, 200);
    EXPECT_EQ(objects.entries.size(), 1u);
    EXPECT_TRUE(objects.cutShort());

    auto plus = decodeObjectPlusListing(replyBlock(0, 0, {2, 0, 1, 0, 2, 0, 9, 'a', 'b'}));
    EXPECT_TRUE(plus.entries.empty());

    auto classes = decodeClassListing(replyBlock(0, 0, {255, 0, 1}));
    EXPECT_TRUE(classes.entries.empty());

    auto properties = decodePropertyListing(replyBlock(0, 0,
                                                       {3, 0,                 //
                                                        2, 0x05, 0x40, 1, 2,  //
                                                        14, 0x06, 0xC0, 50, 'x'}));
    EXPECT_EQ(properties.entries.size(), 1u);
}

TEST(TarnReplies, SurplusBytesBeyondTheCountAreIgnored) {
    auto page = decodeClassListing(replyBlock(0, 0, {1, 0, 7, 0, 8, 0, 9, 0}));
    EXPECT_EQ(page.entries, std::vector<uint16_t>{7});
}

TEST(TarnReplies, ShortRepliesAreEmptyAnswers) {
    const Bytes cases[] = {
        {}, Bytes(13, 0), replyBlock(0, 0x80, {}), replyBlock(0, 0, {5}), replyBlock(0, 0, {5, 0})};
    for (const auto& reply : cases) {
        SCOPED_TRACE(reply.size());
        EXPECT_TRUE(decodeObjectListing(reply).entries.empty());
        EXPECT_TRUE(decodeObjectPlusListing(reply).entries.empty());
        EXPECT_TRUE(decodePropertyListing(reply).entries.empty());
        EXPECT_TRUE(decodeClassListing(reply).entries.empty());
        EXPECT_FALSE(decodeItemReply(reply));
    }
    EXPECT_TRUE(replyPayload(replyBlock(0, 0, {})).empty());
}

// A rejected listing request is answered with the status; whatever follows
// the header is no list and gives no entries.
TEST(TarnReplies, RejectedListingsDecodeNoEntries) {
    auto listing = [](uint8_t status, uint8_t mode) {
        return replyBlock(status, mode, {1, 0, 1, 0, 2, 0, 3, 0, 0, 0});
    };
    for (auto [status, mode] : {std::pair<uint8_t, uint8_t>{2, 0}, {0, 32}, {0, 0x81}, {5, 0x80}}) {
        Bytes reply = listing(status, mode);
        SCOPED_TRACE(std::to_string(status) + "/" + std::to_string(mode));
        EXPECT_TRUE(decodeObjectListing(reply).entries.empty());
        EXPECT_TRUE(decodeObjectPlusListing(reply).entries.empty());
        EXPECT_TRUE(decodePropertyListing(reply).entries.empty());
        EXPECT_TRUE(decodeClassListing(reply).entries.empty());
    }
    EXPECT_EQ(decodeClassListing(listing(0, 0x80)).entries.size(), 1u);
}

TEST(TarnReplies, OnlyModeExactly0x80IsPartial) {
    EXPECT_TRUE(isPartialReply(replyBlock(0, 0x80, {})));
    EXPECT_FALSE(isPartialReply(replyBlock(0, 0x81, {})));
    EXPECT_FALSE(isPartialReply(replyBlock(0, 0, {})));
    EXPECT_FALSE(isPartialReply(Bytes{0, 0x80}));
}

TEST(TarnReplies, GetReplyItem) {
    Bytes reply = replyBlock(0, 0, {0x05, 0x40, 0x40, 0xFE});
    auto item = decodeItemReply(reply);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->propertyId(), 5);
    EXPECT_EQ(valueOf(*item), (Bytes{0x40, 0xFE}));
    EXPECT_FALSE(decodeItemReply(replyBlock(0, 0, {0x05, 0x80, 1, 2})));
}

TEST(TarnReplies, NextPageStartAdvancesByWhatArrived) {
    EXPECT_EQ(nextPageStart(0, 20), 20);
    EXPECT_EQ(nextPageStart(20, 15), 35);
    EXPECT_EQ(nextPageStart(65530, 5), 65535);
    EXPECT_FALSE(nextPageStart(65530, 6));
    // A partial page without entries would ask for the same page forever.
    EXPECT_FALSE(nextPageStart(40, 0));
}

Bytes notification(uint16_t destDev, uint16_t destObj, std::initializer_list<uint8_t> payload) {
    Bytes data{0,
               0,
               0,
               0,
               static_cast<uint8_t>(destDev),
               static_cast<uint8_t>(destDev >> 8),
               static_cast<uint8_t>(destObj),
               static_cast<uint8_t>(destObj >> 8),
               1,
               0,
               5,
               0,
               0x20,
               0};
    data.insert(data.end(), payload.begin(), payload.end());
    return data;
}

TEST(TarnNotifications, AcceptsOwnSourceIdAndBroadcast) {
    for (uint16_t destDev : {uint16_t{0x8031}, uint16_t{0xFFFF}}) {
        Bytes data = notification(destDev, 12, {0x05, 0x00, 0x7F});
        auto found = decodeNotification(data, 0x8031);
        ASSERT_TRUE(found);
        EXPECT_EQ(found->registrationNumber, 12);
        ASSERT_TRUE(found->item);
        EXPECT_EQ(valueOf(*found->item), Bytes{0x7F});
    }
}

TEST(TarnNotifications, IgnoresOtherPcsAndNonRegistrations) {
    EXPECT_FALSE(decodeNotification(notification(0x8041, 12, {5, 0, 1}), 0x8031));
    EXPECT_FALSE(decodeNotification(notification(0x8031, 0, {5, 0, 1}), 0x8031));
    EXPECT_FALSE(decodeNotification(notification(0x8031, 11, {5, 0, 1}), 0x8031));
    EXPECT_FALSE(decodeNotification(Bytes(13, 0xFF), 0x8031));
}

TEST(TarnNotifications, WithoutWholeItemStillNamesTheRegistration) {
    auto headerOnly = decodeNotification(notification(0xFFFF, 300, {}), 0x8031);
    ASSERT_TRUE(headerOnly);
    EXPECT_EQ(headerOnly->registrationNumber, 300);
    EXPECT_FALSE(headerOnly->item);
    auto cut = decodeNotification(notification(0xFFFF, 300, {5, 0xC0, 9, 1}), 0x8031);
    ASSERT_TRUE(cut);
    EXPECT_FALSE(cut->item);
}

}  // namespace
}  // namespace objscope
