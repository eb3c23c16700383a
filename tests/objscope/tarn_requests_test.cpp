#include "protocol/tarn_requests.h"

#include <gtest/gtest.h>

#include "values/property_arrays.h"
#include "values/property_messages.h"
#include "values/property_multi_value.h"
#include "values/property_pack.h"
#include "protocol/tarn_items.h"
#include "tarn_test_bytes.h"

namespace objscope {
namespace {

using testing::Bytes;

const TarnRequester kMe{0x0007, 0x8031};
const TarnAddress kTarget{1, 5, 0x20};

Bytes payloadOf(const TarnRequest& request) {
    return Bytes(request.data.begin() + kTarnHeaderSize, request.data.end());
}

TEST(TarnRequests, RegistrationOfFixedSizePropertyIs36Bytes) {
    auto request = buildRegistration(kMe, kTarget, 12, {0x4105, 2, 2});
    ASSERT_TRUE(request);
    EXPECT_EQ(request->messageId, 14);
    EXPECT_EQ(request->data, (Bytes{
                                 0,    2,    1,    0,    5,  0, 0x20, 0, 7, 0,  // header
                                 0x31, 0x80, 12,   0,                           //
                                 0,    0,                                       // 14
                                 7,    0,    0x31, 0x80, 12, 0,                 // 16: source
                                 0,    0,                                       // 22
                                 4,    0,                                       // 24: interval
                                 0x05, 0x01,                                    // 26: ID
                                 1,    0,                                       // 28: threshold
                                 2,                                             // 30: type
                                 12,   0,                                       // 31: reg no
                                 2,                                             // 33: h
                                 0x05, 0x41,                                    // 34: item
                             }));
}

TEST(TarnRequests, RegistrationOfVariableSizePropertyIs37Bytes) {
    auto request = buildRegistration(kMe, kTarget, 300, {0x0105, 14, 10});
    ASSERT_TRUE(request);
    ASSERT_EQ(request->data.size(), 37u);
    EXPECT_EQ(request->data[12], 0x2C);  // Src_Obj = registration number 300
    EXPECT_EQ(request->data[13], 0x01);
    EXPECT_EQ(request->data[28], 0);  // String: threshold 0
    EXPECT_EQ(request->data[33], 3);
    EXPECT_EQ(Bytes(request->data.begin() + 34, request->data.end()), (Bytes{0x05, 0xC1, 10}));
}

TEST(TarnRequests, RegistrationLengthByWireSize) {
    for (size_t wireSize : {1, 2, 4}) {
        EXPECT_EQ(buildRegistration(kMe, kTarget, 12, {1, 1, wireSize})->data.size(), 36u);
    }
    for (size_t wireSize : {0, 3, 6, 8, 128}) {
        EXPECT_EQ(buildRegistration(kMe, kTarget, 12, {1, 14, wireSize})->data.size(), 37u);
    }
    EXPECT_FALSE(buildRegistration(kMe, kTarget, 12, {1, 175, 400}));
}

TEST(TarnRequests, ChangeThresholdByType) {
    struct Case {
        uint8_t typeCode;
        uint16_t threshold;
    };
    const Case cases[] = {{13, 0}, {14, 0}, {174, 0}, {132, 64}, {2, 1}, {131, 1}, {67, 1}, {0, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.typeCode));
        EXPECT_EQ(registrationThreshold(c.typeCode), c.threshold);
        auto request = buildRegistration(kMe, kTarget, 12, {1, c.typeCode, 2});
        EXPECT_EQ(request->data[28] | request->data[29] << 8, c.threshold);
    }
}

TEST(TarnRequests, GetAllObjsWithAndWithoutClassFilter) {
    TarnRequest plain = buildGetAllObjs(kMe, 1, 5, 0, std::nullopt);
    EXPECT_EQ(plain.messageId, 1024);
    EXPECT_EQ(plain.data.size(), 16u);
    EXPECT_EQ(plain.data[1], 1);   // read request
    EXPECT_EQ(plain.data[6], 0);   // the device itself
    EXPECT_EQ(plain.data[12], 9);  // Src_Obj = kind
    EXPECT_EQ(payloadOf(plain), (Bytes{0, 0}));

    TarnRequest filtered = buildGetAllObjs(kMe, 1, 5, 0x0102, kClassLinkedListObject);
    EXPECT_EQ(filtered.data.size(), 18u);
    EXPECT_EQ(payloadOf(filtered), (Bytes{0x02, 0x01, 254, 0}));
}

TEST(TarnRequests, GetSendsTheItemHeaderOnly) {
    auto fixed = buildGet(kMe, kTarget, 0x8105, 2);
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->messageId, 1);
    EXPECT_EQ(fixed->data[1], 1);
    EXPECT_EQ(fixed->data[12], 2);
    EXPECT_EQ(payloadOf(*fixed), (Bytes{0x05, 0x41}));
    auto variable = buildGet(kMe, kTarget, 0x0105, 3);
    EXPECT_EQ(payloadOf(*variable), (Bytes{0x05, 0xC1, 3}));
    EXPECT_FALSE(buildGet(kMe, kTarget, 1, 256));
}

TEST(TarnRequests, SetCarriesOneItem) {
    Bytes item = encodeItem(0x0105, Bytes{0x40, 0xFE});
    auto noReply = buildSet(kMe, kTarget, false, item);
    ASSERT_TRUE(noReply);
    EXPECT_EQ(noReply->messageId, 2);
    EXPECT_EQ(noReply->data[1], 0);
    EXPECT_EQ(payloadOf(*noReply), item);
    EXPECT_EQ(buildSet(kMe, kTarget, true, item)->data[1], 2);
    EXPECT_FALSE(buildSet(kMe, kTarget, true, {}));
}

TEST(TarnRequests, UnregisterNamesTheCancelledRegistration) {
    TarnRequest request = buildUnregister(kMe, kTarget, {7, 0x8031, 44});
    EXPECT_EQ(request.messageId, 18);
    EXPECT_EQ(request.data[1], 2);
    EXPECT_EQ(request.data[12], 44);  // Src_Obj = registration number
    EXPECT_EQ(payloadOf(request), (Bytes{0xFF, 0x03, 7, 0, 0x31, 0x80, 44, 0}));
}

TEST(TarnRequests, ConfirmObjectAndSetMultiplePropsCountTheirItems) {
    std::vector<Bytes> items{encodeItem(1, Bytes{9}), encodeItem(2, Bytes{1, 2, 3})};
    auto confirm = buildConfirmObject(kMe, 1, 5, 0x00E2, 0x0030, 0xFFFF, items);
    ASSERT_TRUE(confirm);
    EXPECT_EQ(confirm->messageId, 1029);
    EXPECT_EQ(confirm->data[6], 0);
    EXPECT_EQ(payloadOf(*confirm), (Bytes{0xE2, 0, 0x30, 0, 0xFF, 0xFF, 2, 0,  //
                                          1, 0, 9,                             //
                                          2, 0xC0, 3, 1, 2, 3}));
    auto multi = buildSetMultipleProps(kMe, kTarget, items);
    ASSERT_TRUE(multi);
    EXPECT_EQ(multi->messageId, 17);
    EXPECT_EQ(multi->data[6], 0x20);
    EXPECT_EQ(payloadOf(*multi), (Bytes{2, 0, 1, 0, 9, 2, 0xC0, 3, 1, 2, 3}));
}

// Properties whose value cannot be packed (a byte array over 255 bytes, a
// type without a wire form) give empty items: each is left out with a
// message, the rest still goes.
TEST(TarnRequests, ItemsThatCouldNotBePackedAreLeftOutOfConfirmAndMultiSet) {
    std::vector<std::string> messages;
    PropertyMessageSink previous =
        SetPropertyMessageSink([&](const std::string& text) { messages.push_back(text); });
    TU32VEKByteArray tooLong;
    tooLong.SetPropertyID(3);
    tooLong.SetBytes(std::vector<uint8_t>(300, 1));
    TU32MultiValue noWireForm;  // type 156 has no wire form
    noWireForm.SetVEKType(156);
    noWireForm.SetPropertyID(4);
    std::vector<Bytes> items{encodeItem(1, Bytes{9}), {}, {}, encodeItem(2, Bytes{1, 2, 3})};
    EXPECT_EQ(PackData(items[1], tooLong), 0u);
    EXPECT_EQ(PackData(items[2], noWireForm), 0u);
    EXPECT_EQ(messages,
              (std::vector<std::string>{">>> PackData:  Value Too Long For An Item >>>300",
                                        ">>> PackData:  Unknown Property_Type >>>156"}));
    messages.clear();

    auto confirm = buildConfirmObject(kMe, 1, 5, 0x00E2, 0x0030, 0xFFFF, items);
    ASSERT_TRUE(confirm);
    EXPECT_EQ(payloadOf(*confirm), (Bytes{0xE2, 0, 0x30, 0, 0xFF, 0xFF, 2, 0,  //
                                          1, 0, 9,                             //
                                          2, 0xC0, 3, 1, 2, 3}));
    EXPECT_EQ(messages.size(), 2u);
    auto multi = buildSetMultipleProps(kMe, kTarget, items);
    ASSERT_TRUE(multi);
    EXPECT_EQ(payloadOf(*multi), (Bytes{2, 0, 1, 0, 9, 2, 0xC0, 3, 1, 2, 3}));
    auto none = buildSetMultipleProps(kMe, kTarget, std::vector<Bytes>{Bytes{}});
    ASSERT_TRUE(none);
    EXPECT_EQ(payloadOf(*none), (Bytes{0, 0}));
    SetPropertyMessageSink(previous);
}

TEST(TarnRequests, RequestsLongerThanOneDatagramAreRefusedNotCut) {
    // 14 header + 2 count + 2 * 258 bytes of items = 532: more than the
    // 512-byte buffer a request record starts with, still one datagram.
    std::vector<Bytes> items(2, encodeItem(1, Bytes(255, 0)));
    auto multi = buildSetMultipleProps(kMe, kTarget, items);
    ASSERT_TRUE(multi);
    EXPECT_EQ(multi->data.size(), 532u);
    EXPECT_TRUE(buildConfirmObject(kMe, 1, 5, 1, 2, 3, items));
    // 14 + 2 + 6 * 258 = 1564 > 1471 data bytes of one datagram.
    std::vector<Bytes> tooMany(6, encodeItem(1, Bytes(255, 0)));
    EXPECT_FALSE(buildSetMultipleProps(kMe, kTarget, tooMany));
    EXPECT_FALSE(buildConfirmObject(kMe, 1, 5, 1, 2, 3, tooMany));
    EXPECT_TRUE(buildMethod(kMe, kTarget, 3073, true, Bytes(kTarnMaxRequestLength - 14, 0)));
    EXPECT_FALSE(buildMethod(kMe, kTarget, 3073, true, Bytes(kTarnMaxRequestLength - 13, 0)));
}

TEST(TarnRequests, DeviceCommandsAddressTheDevice) {
    struct Case {
        TarnRequest request;
        uint16_t messageId;
        Bytes payload;
    };
    const Case cases[] = {
        {buildDelete(kMe, 1, 5, 0x0230), 1028, {0x30, 0x02}},
        {buildDeleteAllObjs(kMe, 1, 5), 1030, {1, 0}},
        {buildSoftReset(kMe, 1, 5), 2054, {0xA5, 0x5A}},
        {buildSetDefaultData(kMe, 1, 5), 2055, {0xA5, 0x5A}},
        {buildGetAllClasses(kMe, 1, 5), 1025, {}},
        {buildGetAllObjsPlus(kMe, 1, 5, 3), 1035, {3, 0}},
        {buildGetAllProps(kMe, {1, 5, 0}, 0), 19, {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.messageId);
        EXPECT_EQ(c.request.messageId, c.messageId);
        EXPECT_EQ(c.request.data[4], 5);
        EXPECT_EQ(c.request.data[6], 0);
        EXPECT_EQ(c.request.data[12], static_cast<uint8_t>(c.request.kind));
        EXPECT_EQ(payloadOf(c.request), c.payload);
    }
}

TEST(TarnRequests, MethodModeFollowsReplyWanted) {
    Bytes payload{1, 2, 3};
    auto withReply = buildMethod(kMe, kTarget, 3073, true, payload);
    auto withoutReply = buildMethod(kMe, kTarget, 3072, false, payload);
    EXPECT_EQ(withReply->messageId, 3073);
    EXPECT_EQ(withReply->data[1], 2);
    EXPECT_EQ(withoutReply->data[1], 3);
    EXPECT_EQ(withReply->data[12], 31);
    EXPECT_EQ(payloadOf(*withReply), payload);
}

TEST(TarnRequests, ListingStartIndexIsRewrittenInPlace) {
    TarnRequest request = buildGetAllObjs(kMe, 1, 5, 0, uint16_t{11});
    ASSERT_TRUE(setListingStartIndex(request.data, 0x1234));
    EXPECT_EQ(listingStartIndex(request.data), 0x1234);
    EXPECT_EQ(payloadOf(request), (Bytes{0x34, 0x12, 11, 0}));
    Bytes headerOnly = buildGetAllClasses(kMe, 1, 5).data;
    EXPECT_FALSE(setListingStartIndex(headerOnly, 1));
    EXPECT_FALSE(listingStartIndex(headerOnly));
}

}  // namespace
}  // namespace objscope
