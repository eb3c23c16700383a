// Network registrations, the dispatch to them and the message numbers.
#include <gtest/gtest.h>

#include "network_fixture.h"

namespace {

using namespace testing_support;
using std::chrono::milliseconds;

class NetworkRegistrationTest : public NetworkFixture {
  protected:
    void SetUp() override {
        NetworkFixture::SetUp();
        config_.messagesOut = 0;
        ASSERT_TRUE(startNetwork());
    }

    // Sends one datagram that comes back to the server's own socket (nothing
    // listens at 127.0.0.9), so every registration sees a sent and a
    // received copy.
    void sendRoundTrip(uint16_t number) {
        ASSERT_GT(sendFromServer(loopback(9), datagram(1, 1, number)), 0);
    }
};

TEST_F(NetworkRegistrationTest, IdsCountUpAndTypesAreChecked) {
    EXPECT_EQ(hub::RegisterNetworkClient(clientID_, hub::NetworkRegistration), 1);
    EXPECT_EQ(hub::RegisterNetworkClient(clientID_, hub::NetMonRegistration), 2);
    EXPECT_EQ(hub::RegisterNetworkClient(clientID_, 2), -9);
    EXPECT_EQ(hub::RegisterNetworkClient(clientID_, -1), -9);
    EXPECT_EQ(hub::NetRegistrationCount(), 2u);
    EXPECT_EQ(hub::DeRegisterNetworkClient(1), 0);
    EXPECT_EQ(hub::DeRegisterNetworkClient(1), 1);
    EXPECT_EQ(hub::RegisterNetworkClient(clientID_, hub::NetworkRegistration), 3);
}

TEST_F(NetworkRegistrationTest, EveryRegistrationGetsEachMessageNewestFirst) {
    int32_t receive = hub::RegisterNetworkClient(clientID_, hub::NetworkRegistration);
    int32_t monitor = hub::RegisterNetworkClient(clientID_, hub::NetMonRegistration);
    sendRoundTrip(0x8100);
    ASSERT_TRUE(waitForDeliveries(4));
    pumpFor(milliseconds(30));
    ASSERT_EQ(deliveries_.size(), 4u);
    // Sent copy to both (newest first), then the received copy to both.
    EXPECT_EQ(deliveries_[0].netID, static_cast<uint64_t>(monitor));
    EXPECT_EQ(deliveries_[1].netID, static_cast<uint64_t>(receive));
    EXPECT_EQ(deliveries_[0].parameter(), 0u);
    EXPECT_EQ(deliveries_[1].parameter(), 0u);
    EXPECT_EQ(deliveries_[2].netID, static_cast<uint64_t>(monitor));
    EXPECT_EQ(deliveries_[3].netID, static_cast<uint64_t>(receive));
    EXPECT_EQ(deliveries_[2].parameter(), 1u);
    EXPECT_EQ(deliveries_[3].parameter(), 1u);
    EXPECT_EQ(deliveries_[2].address(), loopback(1));  // the server's own sending socket
}

// A registration that asked only for received messages for application
// objects is posted neither sent copies nor reserved messages (object 0);
// beside it a plain receive registration still gets every copy.
TEST_F(NetworkRegistrationTest, ReceivedOnlyRegistrationGetsNoSentCopiesAndNoObjectZero) {
    int32_t filtered = hub::RegisterNetworkClient(clientID_, hub::NetworkRegistration,
                                                  hub::NetCopies::ReceivedForObjects);
    int32_t plain = hub::RegisterNetworkClient(clientID_, hub::NetworkRegistration);
    ASSERT_GT(sendFromServer(loopback(9), datagram(0, 0x300, 0x8301)), 0);  // object 0
    sendRoundTrip(0x8302);
    // Plain: sent and received copy of each (4); filtered: the received copy
    // of object 1 only.
    ASSERT_TRUE(waitForDeliveries(5));
    pumpFor(milliseconds(30));
    std::vector<Delivery> toFiltered;
    for (const Delivery& d : deliveries_) {
        if (d.netID == static_cast<uint64_t>(filtered)) {
            toFiltered.push_back(d);
        }
    }
    EXPECT_EQ(deliveries_.size() - toFiltered.size(), 4u);
    for (const Delivery& d : deliveries_) {
        EXPECT_TRUE(d.netID == static_cast<uint64_t>(filtered) ||
                    d.netID == static_cast<uint64_t>(plain));
    }
    ASSERT_EQ(toFiltered.size(), 1u);
    EXPECT_EQ(toFiltered[0].parameter(), 1u);
}

TEST_F(NetworkRegistrationTest, ClientRemovalTakesAllItsRegistrations) {
    plat::Hwnd otherWindow = plat::createWindow([](plat::Message&) -> int64_t { return 0; });
    int32_t other = hub::RegisterWin32Client(otherWindow, static_cast<uint32_t>(::getpid()));
    hub::RegisterNetworkClient(clientID_, hub::NetworkRegistration);
    hub::RegisterNetworkClient(other, hub::NetworkRegistration);
    hub::RegisterNetworkClient(clientID_, hub::NetMonRegistration);
    hub::DeleteNetRegistrationEntryID(clientID_);
    EXPECT_EQ(hub::NetRegistrationCount(), 1u);
    EXPECT_EQ(hub::DeRegisterNetworkClient(2), 0);
    plat::destroyWindow(otherWindow);
}

TEST_F(NetworkRegistrationTest, RegistrationOfAVanishedWindowIsDeletedAtTheNextDispatch) {
    plat::Hwnd goneWindow = plat::createWindow([](plat::Message&) -> int64_t { return 0; });
    int32_t gone = hub::RegisterWin32Client(goneWindow, static_cast<uint32_t>(::getpid()));
    hub::RegisterNetworkClient(gone, hub::NetMonRegistration);
    hub::RegisterNetworkClient(clientID_, hub::NetMonRegistration);
    plat::destroyWindow(goneWindow);
    sendRoundTrip(0x8200);
    ASSERT_TRUE(waitForDeliveries(2));
    EXPECT_EQ(hub::NetRegistrationCount(), 1u);
    EXPECT_EQ(deliveries_[0].netID, 2u);
}

TEST_F(NetworkRegistrationTest, MessageNumbersStartAt8000AndWrapAfterFFFF) {
    EXPECT_EQ(hub::GetNextMessageNumber(), 0x8000);
    EXPECT_EQ(hub::GetNextMessageNumber(), 0x8001);
    for (int i = 0x8002; i < 0xFFFF; ++i) {
        hub::GetNextMessageNumber();
    }
    EXPECT_EQ(hub::GetNextMessageNumber(), 0xFFFF);
    EXPECT_EQ(hub::GetNextMessageNumber(), 0x8000);
    // A new start begins again at 0x8000.
    hub::RemoveNetworkInterface();
    ASSERT_TRUE(startNetwork());
    EXPECT_EQ(hub::GetNextMessageNumber(), 0x8000);
}

TEST_F(NetworkRegistrationTest, NothingWorksAfterTheNetworkStopped) {
    hub::RegisterNetworkClient(clientID_, hub::NetworkRegistration);
    hub::RemoveNetworkInterface();
    EXPECT_EQ(hub::RegisterNetworkClient(clientID_, hub::NetworkRegistration), -12);
    EXPECT_EQ(hub::DeRegisterNetworkClient(1), 1);
    EXPECT_EQ(sendFromServer(loopback(2), datagram(1, 1, 1)), -12);
    EXPECT_EQ(hub::NetRegistrationCount(), 0u);
}

}  // namespace
