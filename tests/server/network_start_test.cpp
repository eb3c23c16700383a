// Start and stop of the network service and their log lines.
#include <gtest/gtest.h>

#include "network_fixture.h"

namespace {

using namespace testing_support;

const std::string kStarted = "   ** HUBSERVER (EXE) Started... (Network).\n";
const std::string kStopped = "   ** HUBSERVER (EXE) Shutting Down... (Network).\n";
const std::string kFailed = "   ** HUBSERVER (EXE) Startup Error (Network Failed to Initialize).\n";

// Holds a port without SO_REUSEADDR or SO_REUSEPORT, so nobody else can bind it.
class PortBlocker {
  public:
    explicit PortBlocker(uint16_t port) {
        fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = htons(port);
        bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0;
    }
    ~PortBlocker() { ::close(fd_); }
    bool bound() const { return bound_; }

  private:
    int fd_ = -1;
    bool bound_ = false;
};

using NetworkStartTest = NetworkFixture;

TEST_F(NetworkStartTest, StartAndStopWriteTheirLines) {
    newLog();
    ASSERT_TRUE(startNetwork());
    EXPECT_TRUE(hub::NetworkInstalled());
    EXPECT_EQ(hub::GetIPAddress(), loopback(1));
    EXPECT_EQ(newLog(), kStarted);
    hub::RemoveNetworkInterface();
    EXPECT_FALSE(hub::NetworkInstalled());
    EXPECT_EQ(newLog(), kStopped);
    hub::RemoveNetworkInterface();
    EXPECT_EQ(newLog(), "");
}

TEST_F(NetworkStartTest, NoNetworkSupportStartsWithoutSockets) {
    config_.noNetworkSupport = 1;
    newLog();
    EXPECT_TRUE(startNetwork());
    EXPECT_FALSE(hub::NetworkInstalled());
    EXPECT_EQ(hub::GetIPAddress(), 0u);
    EXPECT_EQ(hub::RegisterNetworkClient(clientID_, hub::NetworkRegistration), -12);
    EXPECT_EQ(sendFromServer(loopback(2), datagram(1, 1, 1)), -12);
    EXPECT_EQ(hub::GetNextMessageNumber(), 0x8000);
    hub::RemoveNetworkInterface();
    EXPECT_EQ(newLog(), "");
    // The ports stayed free.
    PortBlocker exclusive(recvPort());
    EXPECT_TRUE(exclusive.bound());
}

TEST_F(NetworkStartTest, BusyPortFailsTheStartWithItsLines) {
    struct Case {
        bool sendPortBusy;
        const char* socketName;
    };
    for (const Case& c : {Case{true, "Sending Socket"}, Case{false, "Recieve Socket"}}) {
        uint16_t port = c.sendPortBusy ? static_cast<uint16_t>(config_.sendSocketPort) : recvPort();
        PortBlocker blocker(port);
        newLog();
        EXPECT_FALSE(startNetwork()) << c.socketName;
        EXPECT_FALSE(hub::NetworkInstalled());
        EXPECT_EQ(newLog(), std::string("   ** HUBSERVER (EXE) Startup Error (Unable to bind ") +
                                c.socketName + " to Port " + std::to_string(port) +
                                ", Error = " + std::to_string(EADDRINUSE) + ").\n" + kFailed);
        hub::RemoveNetworkInterface();
        EXPECT_EQ(newLog(), "");
    }
    // Nothing stayed open: both ports can be taken exclusively again.
    PortBlocker send(static_cast<uint16_t>(config_.sendSocketPort));
    PortBlocker exclusive(recvPort());
    EXPECT_TRUE(exclusive.bound());
}

TEST_F(NetworkStartTest, OwnAddressFromTheSettingOrTheHostName) {
    struct Case {
        const char* setting;
        bool logged;
    };
    for (const Case& c : {Case{"10.1.2.3", false}, Case{"0.0.0.0", false}, Case{"10.1.2", true},
                          Case{"banana", true}}) {
        config_.vekBaseAddress = c.setting;
        newLog();
        ASSERT_TRUE(startNetwork());
        std::string expectedLog = kStarted;
        if (c.logged) {
            expectedLog = std::string("   ** HUBSERVER (EXE) Invalid VEKBaseAddress \"") +
                          c.setting + "\", using host name.\n" + kStarted;
        }
        EXPECT_EQ(newLog(), expectedLog) << c.setting;
        uint32_t address = hub::GetIPAddress();
        if (std::string(c.setting) == "10.1.2.3") {
            EXPECT_EQ(address, 0x0A010203u);
        } else {
            EXPECT_NE(address, 0xFFFFFFFFu) << c.setting;  // the host name's address or 0
        }
        hub::RemoveNetworkInterface();
    }
}

}  // namespace
