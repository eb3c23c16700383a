// Doubled broadcasts, observed inside a network namespace this test makes:
// a veth pair with 10.77.0.1/24 on one end; the subnet broadcast 10.77.0.255
// loops back to the sockets of the namespace and goes nowhere else. The outer test
// runs this test program again inside the namespace with only the inner test
// selected; the inner test does nothing outside it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "network_fixture.h"

namespace {

using namespace testing_support;
using std::chrono::milliseconds;

constexpr const char* kInsideVariable = "VEK_TEST_INSIDE_NETNS";

// The command that makes the namespace and its interface.
std::string namespaceSetup(const char* unshareFlags) {
    return std::string("unshare ") + unshareFlags +
           " sh -c 'ip link set lo up && ip link add vek0 type veth peer name vek1 && "
           "ip addr add 10.77.0.1/24 dev vek0 && ip link set vek1 up && ip link set vek0 up && "
           "exec \"$0\" \"$@\"'";
}

// Which way of making a namespace works here; empty when none.
std::string workingUnshare() {
    for (const char* flags : {"-rn", "-n"}) {
        std::string probe = namespaceSetup(flags) + " true >/dev/null 2>&1";
        if (std::system(probe.c_str()) == 0) {
            return flags;
        }
    }
    return {};
}

std::string runCapturing(const std::string& command, int& status) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        status = -1;
        return output;
    }
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, n);
    }
    status = ::pclose(pipe);
    return output;
}

TEST(NetworkBroadcast, BroadcastLeavesTwiceInsideANamespace) {
    if (std::getenv(kInsideVariable) != nullptr) {
        GTEST_SKIP() << "already inside the namespace";
    }
    std::string flags = workingUnshare();
    if (flags.empty()) {
        GTEST_SKIP() << "neither 'unshare -rn' nor 'unshare -n' with a veth pair works here: "
                        "no network namespace for the broadcast test";
    }
    char self[4096] = {};
    ASSERT_GT(::readlink("/proc/self/exe", self, sizeof self - 1), 0);
    std::string command = std::string(kInsideVariable) + "=1 " + namespaceSetup(flags.c_str()) +
                          " " + self + " --gtest_filter=NetworkBroadcastInside.* 2>&1";
    int status = 0;
    std::string output = runCapturing(command, status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << output;
    EXPECT_EQ(output.find("SKIPPED"), std::string::npos) << output;
}

class NetworkBroadcastInside : public NetworkFixture {};

TEST_F(NetworkBroadcastInside, BroadcastIsSentAndDispatchedTwiceUnicastOnce) {
    if (std::getenv(kInsideVariable) == nullptr) {
        GTEST_SKIP() << "runs only inside the namespace made by NetworkBroadcast";
    }
    config_.vekBaseAddress = "10.77.0.1";
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
