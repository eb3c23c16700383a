// Doubled broadcasts, observed inside a private network namespace, where
// the subnet broadcast 10.77.0.255 loops back to the sockets of the
// namespace and goes nowhere else.
#include <gtest/gtest.h>

#include "network_fixture.h"
#include "private_network.h"

namespace {

using namespace testing_support;
using std::chrono::milliseconds;

TEST(NetworkBroadcast, BroadcastLeavesTwiceInsideANamespace) {
    runInsidePrivateNetwork("NetworkBroadcastInside.*", 1);
}

class NetworkBroadcastInside : public NetworkFixture {};

TEST_F(NetworkBroadcastInside, BroadcastIsSentAndDispatchedTwiceUnicastOnce) {
    if (!insidePrivateNetwork()) {
        GTEST_SKIP() << "runs only inside the namespace made by NetworkBroadcast";
    }
    config_.vekBaseAddress = kPrivateNetworkAddress;
    config_.doubleUpBroadcasts = 1;
    config_.doubleUpDelayTime = 100;
    config_.messagesOut = 0;
    ASSERT_TRUE(startNetwork());
    ASSERT_GT(hub::RegisterNetworkClient(clientID_, hub::NetMonRegistration), 0);
    UdpPeer monitor(0, recvPort());
    ASSERT_TRUE(monitor.bound());
    const uint32_t subnetBroadcast = 0x0A4D00FF;  // 10.77.0.255
    ASSERT_TRUE(monitor.awaitArrivalStamps(subnetBroadcast, recvPort()));

    std::vector<uint8_t> message = datagram(1, 2, 0x8000);
    EXPECT_EQ(sendFromServer(subnetBroadcast, message), static_cast<int32_t>(message.size()));
    pumpFor(milliseconds(250));  // the second copy leaves from the pacing timer
    auto first = monitor.receive(milliseconds(5000));
    auto second = monitor.receive(milliseconds(5000));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->bytes, message);
    EXPECT_EQ(second->bytes, message);
    EXPECT_GE(second->arrival - first->arrival, milliseconds(100));

    // The server hears its own broadcast twice too: the second copy is a
    // duplicate. So the monitor registration sees two sent, one received.
    ASSERT_TRUE(waitForDeliveries(3));
    pumpFor(milliseconds(100));
    auto count = [&](uint32_t parameter) {
        return std::count_if(deliveries_.begin(), deliveries_.end(),
                             [&](const Delivery& d) { return d.parameter() == parameter; });
    };
    EXPECT_EQ(count(0), 2);
    EXPECT_EQ(count(1), 1);

    deliveries_.clear();
    EXPECT_EQ(sendFromServer(0x0A4D0002, datagram(1, 2, 0x8001)), 9);  // 10.77.0.2: once
    pumpFor(milliseconds(300));
    EXPECT_EQ(count(0), 1);
    EXPECT_FALSE(monitor.receive(milliseconds(50)));
}

}  // namespace
