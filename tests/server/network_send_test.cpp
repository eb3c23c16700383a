// Sending datagrams: pacing, results, the trace and the sent copies handed to
// the clients. The peer at 127.0.0.2 stands in for a device.
#include <gtest/gtest.h>

#include "network_fixture.h"
#include "wire/hexdump.h"

namespace {

using namespace testing_support;
using std::chrono::milliseconds;

class NetworkSendTest : public NetworkFixture {
  protected:
    void SetUp() override {
        NetworkFixture::SetUp();
        device_ = std::make_unique<UdpPeer>(loopback(2), recvPort());
        ASSERT_TRUE(device_->bound());
    }

    std::unique_ptr<UdpPeer> device_;
};

TEST_F(NetworkSendTest, ConsecutiveSendsAreSpacedByTheDelay) {
    config_.messageDelayTime = 150;
    ASSERT_TRUE(startNetwork());
    ASSERT_TRUE(device_->awaitArrivalStamps(loopback(2), recvPort()));
    std::vector<uint8_t> first = datagram(1, 1, 0x8000);
    std::vector<uint8_t> second = datagram(1, 1, 0x8001);
    EXPECT_EQ(sendFromServer(loopback(2), first), static_cast<int32_t>(first.size()));
    EXPECT_EQ(sendFromServer(loopback(2), second), static_cast<int32_t>(second.size()));
    // Both wait in the queue; the pacing timer sends them from the loop.
    pumpFor(milliseconds(400));
    auto a = device_->receive(milliseconds(5000));
    auto b = device_->receive(milliseconds(5000));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->bytes, first);
    EXPECT_EQ(b->bytes, second);
    EXPECT_GE(b->arrival - a->arrival, milliseconds(150));
}

TEST_F(NetworkSendTest, SentDatagramIsTracedAndDispatchedAsSent) {
    ASSERT_TRUE(startNetwork());
    ASSERT_GT(hub::RegisterNetworkClient(clientID_, hub::NetworkRegistration), 0);
    newLog();
    std::vector<uint8_t> message = datagram(0x0102, 5, 0x8001, {0xAA, 0xBB});
    ASSERT_EQ(sendFromServer(loopback(2), message), 11);

    auto got = device_->receive(milliseconds(5000));
    ASSERT_TRUE(got);
    EXPECT_EQ(got->bytes, message);
    ASSERT_TRUE(waitForDeliveries(1));
    EXPECT_EQ(deliveries_[0].parameter(), 0u);
    EXPECT_EQ(deliveries_[0].address(), loopback(2));
    EXPECT_EQ(deliveries_[0].datagram(), message);
    EXPECT_EQ(newLog(), kStamp +
                            "Message Sent Successfully :\nAddress: 127.0.0.2\nLength: 11\nData:\n" +
                            wire::hexDump(message));
}

TEST_F(NetworkSendTest, ClientSendsThroughItsRequestPayload) {
    ASSERT_TRUE(startNetwork());
    std::vector<uint8_t> message = datagram(3, 3, 0x8003);
    std::vector<uint8_t> envelope = wire::buildEnvelope(loopback(2), 1, message);
    plat::Payload payload = plat::Payload::fromBytes(envelope);
    EXPECT_EQ(hub::SendVEKNetworkMessage(clientID_, payload), static_cast<int32_t>(message.size()));
    auto got = device_->receive(milliseconds(5000));
    ASSERT_TRUE(got);
    EXPECT_EQ(got->bytes, message);
}

TEST_F(NetworkSendTest, RefusedRequests) {
    ASSERT_TRUE(startNetwork());
    std::vector<uint8_t> envelope = wire::buildEnvelope(loopback(2), 0, datagram(1, 1, 1));
    std::vector<uint8_t> lying = envelope;
    wire::writeLe32(lying.data() + 4, 1000);  // Length beyond the bytes given
    struct Case {
        const char* what;
        int32_t result;
        int32_t expected;
    };
    const Case cases[] = {
        {"unknown client", hub::SendVEKNetworkMessage(clientID_ + 50, envelope), -9},
        {"unknown client, payload",
         hub::SendVEKNetworkMessage(0, plat::Payload::fromBytes(envelope)), -9},
        {"no envelope", hub::SendVEKNetworkMessage(clientID_, plat::Payload{}), -5},
        {"no envelope, internal", hub::SendVEKNetworkMessage(0, std::span<const uint8_t>{}), -5},
        {"length beyond the data", hub::SendVEKNetworkMessage(clientID_, lying), -9},
        {"shorter than an envelope", hub::SendVEKNetworkMessage(0, std::span(envelope).first(8)),
         -9},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result, c.expected) << c.what;
    }
    EXPECT_FALSE(device_->receive(milliseconds(50)));
}

TEST_F(NetworkSendTest, OnlyLongObjectMessagesGoToTheLargeTransfer) {
    ASSERT_TRUE(startNetwork());
    std::vector<uint8_t> data(1481 - 9, 0x11);
    std::vector<uint8_t> large = datagram(5, 1, 0x8000, data);
    EXPECT_EQ(sendFromServer(loopback(2), large), 1);
    // Object 0 is never split: it leaves as one datagram of any length.
    std::vector<uint8_t> reserved = datagram(0, 0x77, 0x8000, data);
    EXPECT_EQ(sendFromServer(loopback(2), reserved), 1481);
    // Exactly 1480 bytes still fit one datagram.
    std::vector<uint8_t> fits = datagram(5, 1, 0x8001, std::vector<uint8_t>(1480 - 9, 0x22));
    EXPECT_EQ(sendFromServer(loopback(2), fits), 1480);
    // Whatever the transfer itself sends, the long message never leaves whole.
    std::vector<std::vector<uint8_t>> seen;
    while (auto got = device_->receive(milliseconds(300))) {
        seen.push_back(got->bytes);
    }
    auto count = [&](const std::vector<uint8_t>& bytes) {
        return std::count(seen.begin(), seen.end(), bytes);
    };
    EXPECT_EQ(count(large), 0);
    EXPECT_EQ(count(reserved), 1);
    EXPECT_EQ(count(fits), 1);
}

TEST_F(NetworkSendTest, FailedSendIsTracedReturnsMinus12AndReachesNobody) {
    config_.messagesOut = 1;
    ASSERT_TRUE(startNetwork());
    ASSERT_GT(hub::RegisterNetworkClient(clientID_, hub::NetMonRegistration), 0);
    newLog();
    // A datagram larger than UDP can carry cannot be sent (EMSGSIZE). Object 0
    // keeps it out of the large transfer.
    std::vector<uint8_t> tooLarge = datagram(0, 1, 1, std::vector<uint8_t>(70000, 0));
    EXPECT_EQ(sendFromServer(loopback(2), tooLarge), -12);
    pumpFor(milliseconds(30));
    EXPECT_TRUE(deliveries_.empty());
    std::string expected = kStamp +
                           "Message Sent Unsuccessfully (Error : " + std::to_string(EMSGSIZE) +
                           ") :\nAddress: 127.0.0.2\nLength: 70009\nData:\n";
    EXPECT_EQ(newLog().substr(0, expected.size()), expected);
}

}  // namespace
