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
                                                  {hub::NetCopies::ReceivedForObjects, false});
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

// What one pass dispatches reaches a registration that takes batches in one
// message, in order (a receive-only one only what it asked for, one envelope
// as 1624); the others get one 1624 per envelope as before.
TEST_F(NetworkRegistrationTest, BatchTakerGetsWhatOnePassDispatchedInOneMessageInOrder) {
    int32_t batched =
        hub::RegisterNetworkClient(clientID_, hub::NetMonRegistration, {hub::NetCopies::All, true});
    int32_t receiver = hub::RegisterNetworkClient(clientID_, hub::NetworkRegistration,
                                                  {hub::NetCopies::ReceivedForObjects, true});
    int32_t single = hub::RegisterNetworkClient(clientID_, hub::NetMonRegistration);
    std::vector<std::vector<uint8_t>> envelopes = {
        wire::buildEnvelope(loopback(2), 1, datagram(1, 1, 0x8401)),
        wire::buildEnvelope(loopback(2), 0, datagram(1, 1, 0x8402)),
        wire::buildEnvelope(loopback(2), 1, datagram(0, 1, 0x8403)),
    };
    {
        hub::NetDispatchBatch pass;
        for (const auto& e : envelopes) {
            hub::DispatchNetworkMessage(e);
        }
        pumpFor(milliseconds(30));
        EXPECT_TRUE(batches_.empty());  // nothing before the pass ends
    }
    ASSERT_TRUE(pumpUntil([&] { return deliveries_.size() >= 4 && !batches_.empty(); }));
    pumpFor(milliseconds(30));
    ASSERT_EQ(batches_.size(), 1u);
    EXPECT_EQ(batches_[0].netID, static_cast<uint64_t>(batched));
    std::vector<uint8_t> all;
    for (const auto& e : envelopes) {
        all.insert(all.end(), e.begin(), e.end());
    }
    EXPECT_EQ(batches_[0].envelope, all);
    ASSERT_EQ(deliveries_.size(), 4u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(deliveries_[i].netID, static_cast<uint64_t>(single));
        EXPECT_EQ(deliveries_[i].envelope, envelopes[i]);
    }
    EXPECT_EQ(deliveries_[3].netID, static_cast<uint64_t>(receiver));
    EXPECT_EQ(deliveries_[3].envelope, envelopes[0]);
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
