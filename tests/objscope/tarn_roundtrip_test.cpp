// What objscope builds, a device decodes; what a device builds, objscope
// decodes.
#include <gtest/gtest.h>

#include "protocol/tarn_items.h"
#include "protocol/tarn_notification.h"
#include "protocol/tarn_replies.h"
#include "protocol/tarn_reply_builders.h"
#include "protocol/tarn_request_decoders.h"
#include "protocol/tarn_requests.h"
#include "protocol/tarn_status.h"
#include "tarn_test_bytes.h"

namespace objscope {
namespace {

using testing::Bytes;

const TarnRequester kMe{3, 0x8031};
const TarnAddress kObject{1, 5, 0x20};
const TarnAddress kDevice{1, 5, 0};

TarnHeader headerOf(const TarnRequest& request) {
    return *readTarnHeader(request.data);
}

TEST(TarnRoundTrip, RegistrationAndItsNotification) {
    auto request = buildRegistration(kMe, kObject, 77, {0x4105, 132, 2});
    auto decoded = decodeRegistrationRequest(request->data);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->notifyTo, (TarnAddress{3, 0x8031, 77}));
    EXPECT_EQ(decoded->interval, 4);
    EXPECT_EQ(decoded->propertyId, 0x0105);
    EXPECT_EQ(decoded->threshold, 64);
    EXPECT_EQ(decoded->typeCode, 132);
    EXPECT_EQ(decoded->registrationNumber, 77);
    EXPECT_EQ(decoded->itemHeader.wireSize, 2u);

    Bytes item = encodeItem(decoded->propertyId, Bytes{0x40, 0xFE});
    Bytes notification = buildNotification(decoded->notifyTo, kObject, item);
    auto notified = decodeNotification(notification, 0x8031);
    ASSERT_TRUE(notified);
    EXPECT_EQ(notified->registrationNumber, 77);
    ASSERT_TRUE(notified->item);
    EXPECT_EQ(notified->item->totalLength(), item.size());
}

TEST(TarnRoundTrip, ReplyHeaderSwapsTheAddresses) {
    TarnRequest request = buildGetAllClasses(kMe, 1, 5);
    auto reply = buildStatusReply(headerOf(request), kDevice, 0, 0x40);
    auto header = readTarnHeader(reply);
    EXPECT_EQ(header->Dest_Net, 3);
    EXPECT_EQ(header->Dest_Dev, 0x8031);
    EXPECT_EQ(header->Dest_Obj, 12);  // the request's kind
    EXPECT_EQ(header->Src_Dev, 5);
    EXPECT_EQ(StatusText(replyStatusValue(reply)), "Not Allowed/Read-Only (64)");
}

TEST(TarnRoundTrip, Listings) {
    TarnHeader request = headerOf(buildGetAllObjsPlus(kMe, 1, 5, 0));
    std::vector<ObjectEntry> objects{{0x30, 0xE2, "Mixer"}, {0x31, 11, ""}};
    auto plus =
        decodeObjectPlusListing(*buildObjectPlusListingReply(request, kDevice, objects, true));
    EXPECT_TRUE(plus.partial);
    EXPECT_EQ(plus.entries, objects);

    objects[0].name.clear();
    auto plain = decodeObjectListing(*buildObjectListingReply(request, kDevice, objects, false));
    EXPECT_FALSE(plain.partial);
    EXPECT_EQ(plain.entries, objects);

    std::vector<PropertyListEntry> properties{{2, encodeItem(5, Bytes{1, 2})},
                                              {14, encodeItem(6, Bytes{'a', 'b', 'c'})}};
    Bytes propertyReply = *buildPropertyListingReply(request, kDevice, properties, true);
    auto props = decodePropertyListing(propertyReply);
    ASSERT_EQ(props.entries.size(), 2u);
    EXPECT_EQ(props.entries[1].typeCode, 14);
    EXPECT_EQ(props.entries[1].item.wireSize(), 3u);

    std::vector<uint16_t> classes{1, 2, 0xE2};
    EXPECT_EQ(decodeClassListing(*buildClassListingReply(request, kDevice, classes)).entries,
              classes);

    std::vector<uint16_t> tooMany(256, 1);
    EXPECT_FALSE(buildClassListingReply(request, kDevice, tooMany));
    std::vector<ObjectEntry> longName{{1, 2, std::string(256, 'x')}};
    EXPECT_FALSE(buildObjectPlusListingReply(request, kDevice, longName, false));
}

TEST(TarnRoundTrip, ObjectWritesAndCommands) {
    std::vector<Bytes> items{encodeItem(1, Bytes{9}), encodeItem(2, Bytes{1, 2, 3})};
    auto confirm =
        decodeConfirmObjectRequest(buildConfirmObject(kMe, 1, 5, 0xE2, 0x30, 0xFFFF, items)->data);
    ASSERT_TRUE(confirm);
    EXPECT_EQ(confirm->classId, 0xE2);
    EXPECT_EQ(confirm->ownerHandle, 0xFFFF);
    ASSERT_EQ(confirm->properties.items.size(), 2u);
    EXPECT_EQ(confirm->properties.items[1].propertyId(), 2);

    auto multi = decodeSetMultiplePropsRequest(buildSetMultipleProps(kMe, kObject, items)->data);
    ASSERT_TRUE(multi);
    EXPECT_FALSE(multi->cutShort());

    auto unreg = decodeUnregisterRequest(buildUnregister(kMe, kObject, {3, 0x8031, 77}).data);
    EXPECT_EQ(unreg->code, kUnregisterCode);
    EXPECT_EQ(unreg->registrationSource, (TarnAddress{3, 0x8031, 77}));

    EXPECT_EQ(decodeCommandWord(buildSoftReset(kMe, 1, 5).data), kResetKey);
    EXPECT_EQ(decodeGetRequest(buildGet(kMe, kObject, 0x0105, 3)->data)->wireSize, 3u);
    auto listing = decodeObjectListingRequest(buildGetAllObjs(kMe, 1, 5, 9, uint16_t{11}).data);
    EXPECT_EQ(listing->startIndex, 9);
    EXPECT_EQ(listing->classFilter, 11);
    EXPECT_FALSE(decodeObjectListingRequest(buildGetAllObjs(kMe, 1, 5, 9, {}).data)->classFilter);
}

TEST(TarnRoundTrip, HostileRequestsAreRefusedOrCut) {
    Bytes header(14, 0);
    EXPECT_FALSE(decodeRegistrationRequest(header));
    EXPECT_FALSE(decodeUnregisterRequest(header));
    EXPECT_FALSE(decodeConfirmObjectRequest(header));
    EXPECT_FALSE(decodeSetMultiplePropsRequest(header));
    EXPECT_FALSE(decodeGetRequest(header));
    EXPECT_FALSE(decodeSetRequest(header));
    EXPECT_FALSE(decodeObjectListingRequest(header));
    EXPECT_FALSE(decodeCommandWord(Bytes(5, 0)));

    // A registration whose header-length byte disagrees with its item header.
    auto registration = buildRegistration(kMe, kObject, 77, {1, 2, 2})->data;
    registration[33] = 3;
    registration.push_back(0);
    EXPECT_FALSE(decodeRegistrationRequest(registration));

    // Count 1000, two whole items and a cut third.
    Bytes multi = header;
    Bytes body{0xE8, 0x03, 1, 0, 9, 2, 0, 8, 3, 0xC0, 9, 1};
    multi.insert(multi.end(), body.begin(), body.end());
    auto items = decodeSetMultiplePropsRequest(multi);
    ASSERT_TRUE(items);
    EXPECT_EQ(items->declaredCount, 1000);
    EXPECT_EQ(items->items.size(), 2u);
    EXPECT_TRUE(items->cutShort());
}

}  // namespace
}  // namespace objscope
