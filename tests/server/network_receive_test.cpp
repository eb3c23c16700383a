// Receiving datagrams: validation, the duplicate filter, the trace and the
// hand-over to the registered clients, driven through real UDP on loopback.
#include <gtest/gtest.h>

#include "network_duplicates.h"
#include "network_fixture.h"
#include "wire/hexdump.h"

namespace {

using namespace testing_support;

TEST(DuplicateRing, RemembersTheLastFiveIdentitiesOfAllSources) {
    hub::DuplicateRing ring;
    ring.reset();
    ring.remember(1, 10, 0x8000);
    EXPECT_TRUE(ring.contains(1, 10, 0x8000));
    struct Case {
        uint32_t address;
        uint16_t id;
        uint16_t number;
    };
    // Each differs from the remembered identity in one key field only.
    for (const Case& c : {Case{2, 10, 0x8000}, Case{1, 11, 0x8000}, Case{1, 10, 0x8001},
                          Case{1, 10 | 0x8000, 0x8000}}) {
        EXPECT_FALSE(ring.contains(c.address, c.id, c.number)) << c.address << " " << c.id;
    }
    for (uint16_t i = 0; i < 4; ++i) {
        ring.remember(3, i, 1);
    }
    EXPECT_TRUE(ring.contains(1, 10, 0x8000));  // four later entries: still there
    ring.remember(3, 4, 1);
    EXPECT_FALSE(ring.contains(1, 10, 0x8000));  // the fifth overwrote it
    ring.reset();
    EXPECT_FALSE(ring.contains(3, 4, 1));
}

class NetworkReceiveTest : public NetworkFixture {
  protected:
    void SetUp() override {
        NetworkFixture::SetUp();
        ASSERT_TRUE(startNetwork());
        ASSERT_GT(hub::RegisterNetworkClient(clientID_, hub::NetMonRegistration), 0);
        newLog();
    }

    // Sends from `peer` to the server's receive port.
    void deliver(const UdpPeer& peer, const std::vector<uint8_t>& bytes) {
        ASSERT_TRUE(peer.sendTo(loopback(1), recvPort(), bytes));
    }

    UdpPeer device2_{loopback(2)};
    UdpPeer device3_{loopback(3)};
};

std::string receivedTrace(const char* word, const char* address,
                          const std::vector<uint8_t>& bytes) {
    return kStamp + "Message " + word + " :\nAddress: " + address +
           "\nLength: " + std::to_string(bytes.size()) + "\nData:\n" + wire::hexDump(bytes);
}

TEST_F(NetworkReceiveTest, AcceptedDatagramIsTracedAndDispatchedAsReceived) {
    std::vector<uint8_t> message = datagram(0x0102, 5, 0x8001, {0xAA, 0xBB});
    deliver(device2_, message);
    ASSERT_TRUE(waitForDeliveries(1));
    EXPECT_EQ(deliveries_[0].address(), loopback(2));
    EXPECT_EQ(deliveries_[0].parameter(), 1u);
    EXPECT_EQ(deliveries_[0].datagram(), message);
    EXPECT_EQ(wire::readLe32(deliveries_[0].envelope.data() + 4), message.size());
    EXPECT_EQ(newLog(), receivedTrace("Received", "127.0.0.2", message));
}

TEST_F(NetworkReceiveTest, RepeatIsDiscardedUntilFiveOthersWereAccepted) {
    std::vector<uint8_t> message = datagram(7, 1, 0x9000);
    deliver(device2_, message);
    deliver(device2_, message);
    ASSERT_TRUE(waitForDeliveries(1));
    EXPECT_TRUE(pumpUntil([&] { return log().find("Message Discarded :") != std::string::npos; }));
    EXPECT_EQ(newLog(), receivedTrace("Received", "127.0.0.2", message) +
                            receivedTrace("Discarded", "127.0.0.2", message));

    for (uint16_t i = 0; i < 5; ++i) {
        deliver(device2_, datagram(7, 1, static_cast<uint16_t>(0x9100 + i)));
    }
    ASSERT_TRUE(waitForDeliveries(6));
    deliver(device2_, message);
    ASSERT_TRUE(waitForDeliveries(7));
    EXPECT_EQ(deliveries_[6].datagram(), message);
}

TEST_F(NetworkReceiveTest, EqualIdentityFromTwoSourcesIsAcceptedTwice) {
    std::vector<uint8_t> message = datagram(7, 3, 0x8123);
    deliver(device2_, message);
    ASSERT_TRUE(waitForDeliveries(1));
    deliver(device3_, message);
    ASSERT_TRUE(waitForDeliveries(2));
    EXPECT_EQ(deliveries_[0].address(), loopback(2));
    EXPECT_EQ(deliveries_[1].address(), loopback(3));
}

TEST_F(NetworkReceiveTest, ShortDatagramLeavesNoTraceAndBadMagicIsDiscarded) {
    deliver(device2_, {'V', 'E', 'K', 1, 0});
    std::vector<uint8_t> wrongMagic = datagram(1, 2, 3, std::vector<uint8_t>(11, 0x41));
    wrongMagic[0] = 'v';
    deliver(device2_, wrongMagic);
    // A valid message afterwards shows that both earlier ones were handled.
    std::vector<uint8_t> valid = datagram(1, 2, 3);
    deliver(device2_, valid);
    ASSERT_TRUE(waitForDeliveries(1));
    pumpFor(std::chrono::milliseconds(50));
    ASSERT_EQ(deliveries_.size(), 1u);
    EXPECT_EQ(deliveries_[0].datagram(), valid);
    EXPECT_EQ(newLog(), receivedTrace("Discarded", "127.0.0.2", wrongMagic) +
                            receivedTrace("Received", "127.0.0.2", valid));
}

TEST_F(NetworkReceiveTest, OneDatagramPerNotificationAndTheTraceFollowsTheSwitch) {
    hub::TurnOnNetworkDebugging(0);
    const int count = 20;
    for (int i = 0; i < count; ++i) {
        deliver(device2_, datagram(9, 9, static_cast<uint16_t>(0xA000 + i)));
    }
    ASSERT_TRUE(waitForDeliveries(count));
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(wire::readLe16(deliveries_[i].datagram().data() + 7), 0xA000 + i);
    }
    EXPECT_EQ(newLog(), "");
}

TEST_F(NetworkReceiveTest, LargestDatagramArrivesWhole) {
    std::vector<uint8_t> message = datagram(4, 4, 0x8888, std::vector<uint8_t>(65000, 0x5A));
    hub::TurnOnNetworkDebugging(0);
    deliver(device2_, message);
    ASSERT_TRUE(waitForDeliveries(1));
    EXPECT_EQ(deliveries_[0].datagram(), message);
}

TEST_F(NetworkReceiveTest, ReassembledMessageWithShortLengthFieldIsIgnored) {
    // An envelope whose Length claims more than is there is never read past
    // its end.
    std::vector<uint8_t> envelope = wire::buildEnvelope(loopback(2), 0, datagram(1, 1, 1));
    wire::writeLe32(envelope.data() + 4, 4000);
    hub::ProcessNetworkMessage(envelope);
    pumpFor(std::chrono::milliseconds(20));
    EXPECT_TRUE(deliveries_.empty());
    EXPECT_EQ(newLog(), "");
}

}  // namespace
