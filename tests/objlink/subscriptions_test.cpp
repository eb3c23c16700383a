// Object subscriptions: which subscribers get an incoming message, how a pass
// treats subscriptions added or removed by a delivery, window deliveries and
// answering a received message.
#include "objlink_session.h"

namespace objlink_testing {
namespace {

TEST_F(ObjlinkSession, MessageReachesEverySubscriberOfItsObjectOnce) {
    Reports& seven = Reports::instance(1);
    Reports& eight = Reports::instance(2);
    ASSERT_GE(RegisterVEKObjectMessages_CB(registration_, 7, &Reports::record, 1), 1);
    ASSERT_GE(RegisterVEKObjectMessages_CB(registration_, 7, &Reports::record, 1), 1);
    ASSERT_GE(RegisterVEKObjectMessages_CB(registration_, 8, &Reports::record, 2), 1);

    device_->send(datagram(7, 0x21, 0x1234, {9, 8, 7}));
    ASSERT_TRUE(seven.waitFor(2));
    // A message without data, and a response (never an incoming message).
    device_->send(datagram(7, 0x21 | kFlag, 0x1235, {1}));
    device_->send(datagram(7, 0x22, 0x1236));
    ASSERT_TRUE(seven.waitFor(4));
    std::this_thread::sleep_for(200ms);

    std::vector<Report> got = seven.items();
    ASSERT_EQ(got.size(), 4u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(PACKED(got[i].record.Status), MessageSuccess);
        EXPECT_EQ(PACKED(got[i].record.ObjectID), 7);
        EXPECT_EQ(PACKED(got[i].record.MessageID), 0x21);
        EXPECT_EQ(PACKED(got[i].record.MessageNumber), 0x1234);
        EXPECT_EQ(PACKED(got[i].record.DataLength), 3);
        EXPECT_EQ(PACKED(got[i].record.MaxDataLength), 3);
        EXPECT_EQ(got[i].data, (std::vector<uint8_t>{9, 8, 7}));
        EXPECT_EQ(PACKED(got[i].record.Address.AddressType), FullAddress);
        EXPECT_EQ(PACKED(got[i].record.Address.Address), kDevice);
    }
    for (int i = 2; i < 4; ++i) {
        EXPECT_EQ(PACKED(got[i].record.MessageNumber), 0x1236);
        EXPECT_EQ(PACKED(got[i].record.DataLength), 0);
        EXPECT_EQ(PACKED(got[i].record.DataPtr), nullptr);
    }
    EXPECT_EQ(eight.size(), 0u);
}

// Subscriptions the first delivery of a pass changes.
struct PassChanges {
    int32_t registration = 0;
    int32_t victim = 0;  // unregistered by the first delivery
    int32_t added = 0;   // registered by the first delivery
    std::vector<int> order;
};
PassChanges gChanges;

void firstSubscriber(uint32_t, VEKMessageResponse_t*) {
    gChanges.order.push_back(1);
    UnRegisterVEKObjectMessages(gChanges.registration, gChanges.victim);
    gChanges.added = RegisterVEKObjectMessages_CB(
        gChanges.registration, 7,
        [](uint32_t, VEKMessageResponse_t*) { gChanges.order.push_back(3); }, 0);
}
void victimSubscriber(uint32_t, VEKMessageResponse_t*) {
    gChanges.order.push_back(2);
}

TEST_F(ObjlinkSession, PassSkipsRemovedAndVisitsAddedSubscriptions) {
    gChanges = PassChanges{};
    gChanges.registration = registration_;
    Reports& last = Reports::instance(1);
    ASSERT_GE(RegisterVEKObjectMessages_CB(registration_, 7, &firstSubscriber, 0), 1);
    gChanges.victim = RegisterVEKObjectMessages_CB(registration_, 7, &victimSubscriber, 0);
    ASSERT_GE(gChanges.victim, 1);
    ASSERT_GE(RegisterVEKObjectMessages_CB(registration_, 7, &Reports::record, 1), 1);

    device_->send(datagram(7, 1, 0x100));
    ASSERT_TRUE(last.waitFor(1));
    std::this_thread::sleep_for(200ms);
    // The victim never ran; the subscription added during the pass got the
    // same message in that pass (after the last one present before).
    EXPECT_EQ(gChanges.order, (std::vector<int>{1, 3}));
    EXPECT_GE(gChanges.added, 1);
}

TEST_F(ObjlinkSession, UnregisteredSubscriptionGetsNothingMore) {
    Reports& reports = Reports::instance(1);
    int32_t id = RegisterVEKObjectMessages_CB(registration_, 7, &Reports::record, 1);
    ASSERT_GE(id, 1);
    EXPECT_EQ(UnRegisterVEKObjectMessages(registration_, id), 1);
    EXPECT_EQ(UnRegisterVEKObjectMessages(registration_, id), 1);
    ASSERT_GE(RegisterVEKObjectMessages_CB(registration_, 8, &Reports::record, 1), 1);
    device_->send(datagram(7, 1, 0x100));
    device_->send(datagram(8, 1, 0x101));
    ASSERT_TRUE(reports.waitFor(1));
    std::this_thread::sleep_for(200ms);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(PACKED(reports.items()[0].record.ObjectID), 8);
}

TEST_F(ObjlinkSession, WindowSubscriberIsSentTheMessage) {
    constexpr uint32_t kIncoming = 0x8500;
    std::vector<plat::Message> received;
    std::vector<uint8_t> data;
    plat::Hwnd window = plat::createWindow([&](plat::Message& m) {
        if (m.msg == kIncoming) {
            received.push_back(m);
            auto* r = reinterpret_cast<VEKMessageResponse_t*>(static_cast<intptr_t>(m.lParam));
            data.assign(r->DataPtr, r->DataPtr + r->DataLength);
        }
        return int64_t{0};
    });
    ASSERT_GE(RegisterVEKObjectMessages_Window(registration_, 7, window, kIncoming), 1);
    device_->send(datagram(7, 1, 0x100, {4, 5}));
    auto deadline = std::chrono::steady_clock::now() + kLiveness;
    while (received.empty() && std::chrono::steady_clock::now() < deadline) {
        plat::waitForMessage(50ms);
        plat::Message m;
        while (plat::peekMessage(m)) {
            plat::dispatchMessage(m);
        }
    }
    ASSERT_EQ(received.size(), 1u);
    EXPECT_TRUE(received[0].isSend);
    EXPECT_EQ(received[0].wParam, 0u);
    EXPECT_EQ(data, (std::vector<uint8_t>{4, 5}));
    plat::destroyWindow(window);
}

// A subscriber answering what it received, from the library thread.
int32_t gResponder = 0;
void respondWithStatus(uint32_t, VEKMessageResponse_t* received) {
    uint8_t status[] = {0x00, 0x7F};
    received->DataPtr = status;
    received->DataLength = sizeof status;
    RespondVEKMessage(gResponder, received);
}

TEST_F(ObjlinkSession, RespondVEKMessageAnswersUnderTheReceivedNumber) {
    gResponder = registration_;
    ASSERT_GE(RegisterVEKObjectMessages_CB(registration_, 0x0102, &respondWithStatus, 0), 1);
    device_->send(datagram(0x0102, 5, 0x8001, {0xAA, 0xBB}));
    auto answer = device_->next();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->object, 0x0102);
    EXPECT_EQ(answer->message, 0x8005);
    EXPECT_EQ(answer->number, 0x8001);
    EXPECT_EQ(answer->data, (std::vector<uint8_t>{0x00, 0x7F}));
}

}  // namespace
}  // namespace objlink_testing

namespace objlink_testing {
namespace {

// A subscriber that waits for a request of its own from within its delivery,
// on the library thread: the wait dispatches that thread's messages, so a
// message for the object arriving meanwhile asks for a second pass there.
struct NestedWait {
    int32_t registration = 0;
    std::vector<uint16_t> delivered;  // message numbers, in delivery order
    VEKMessageStatus_t status = MessageFailure;
};
NestedWait gNested;

void requestFromDelivery(uint32_t, VEKMessageResponse_t* received) {
    gNested.delivered.push_back(PACKED(received->MessageNumber));
    if (gNested.delivered.size() == 1) {
        std::vector<uint8_t> none;
        VEKMessage_t m{};
        m.ObjectID = 3;
        m.MessageID = 4;
        m.Address = VEKAddress_t{FullAddress, kDevice};
        uint8_t buffer[8];
        VEKMessageResponse_t r{};
        r.DataPtr = buffer;
        r.MaxDataLength = sizeof buffer;
        SendVEKMessage(gNested.registration, 5000, &m, &r);
        gNested.status = r.Status;
    }
    Reports::instance(1).add(1, received);
}

TEST_F(ObjlinkSession, DeliveryThatWaitsForAResponseGetsItAndTheNextMessageAfterwards) {
    gNested = NestedWait{};
    gNested.registration = registration_;
    ASSERT_GE(RegisterVEKObjectMessages_CB(registration_, 7, &requestFromDelivery, 0), 1);
    device_->send(datagram(7, 1, 0x100));
    auto request = device_->next();
    ASSERT_TRUE(request);
    device_->send(datagram(7, 1, 0x101));  // arrives while the delivery waits
    std::this_thread::sleep_for(100ms);
    device_->respond(*request, {1});
    ASSERT_TRUE(Reports::instance(1).waitFor(2));
    EXPECT_EQ(gNested.status, MessageResponseSuccess);
    EXPECT_EQ(gNested.delivered, (std::vector<uint16_t>{0x100, 0x101}));
}

}  // namespace
}  // namespace objlink_testing
