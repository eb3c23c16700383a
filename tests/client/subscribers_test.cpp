// Deliveries to receive and network-monitor subscribers: filtering, and
// callbacks that change subscriptions and timers while they run.
#include <algorithm>
#include <cstdio>

#include "peer_socket.h"
#include "platform/window.h"
#include "session_fixture.h"
#include "wire/datagram.h"
#include "wire/ipc.h"

namespace client_testing {
namespace {

Recorder gMonitor;
Recorder gReceiver;
Recorder gFence;
Recorder gSelf;
Recorder gTimer;
int32_t gRegistration = 0;
int32_t gSelfId = 0;

void toMonitor(_Message* m, NetMonCBReason_t reason) {
    gMonitor.add(m, reason);
}
void toReceiver(_Message* m, uint32_t parameter) {
    gReceiver.add(m, parameter);
}
void toFence(_Message* m, NetMonCBReason_t reason) {
    gFence.add(m, reason);
}

class Subscribers : public ServerSession {
  protected:
    void SetUp() override {
        ServerSession::SetUp();
        for (Recorder* r : {&gMonitor, &gReceiver, &gFence, &gSelf, &gTimer}) {
            r->clear();
        }
        gRegistration = registration_;
    }
};

uint16_t objectOf(const Delivery& d) {
    return static_cast<uint16_t>(d.bytes[3] | d.bytes[4] << 8);
}

TEST_F(Subscribers, ReceiverGetsOnlyReceivedMessagesForApplicationObjects) {
    ASSERT_GE(RegisterReceiveCallback_CB(registration_, toReceiver, 77), 1);
    ASSERT_GE(RegisterNetMonCallback_CB(registration_, toMonitor), 1);
    PeerSocket peer(kPeerAddress, ports_.receive);
    ASSERT_TRUE(peer.bound());

    ASSERT_EQ(sendTo(kPeerAddress, datagram(0x0005, 0x0001, 0x8000)), 1);
    ASSERT_FALSE(peer.receive().empty());
    peer.sendToServer(ports_.receive, datagram(0x0000, 0x0110, 0x8001));  // server protocol
    peer.sendToServer(ports_.receive, datagram(0x0006, 0x8001, 0x8000, "ok"));

    ASSERT_TRUE(gReceiver.waitFor(1));
    ASSERT_TRUE(gMonitor.waitFor(3));
    // The server may answer the protocol message: look the three up by content.
    auto monitored = gMonitor.items();
    auto seen = [&](uint16_t object, uint32_t reason) {
        return std::count_if(monitored.begin(), monitored.end(), [&](const Delivery& d) {
            return objectOf(d) == object && d.extra == reason && d.address == kPeerAddress;
        });
    };
    EXPECT_EQ(seen(0x0005, MessageSent), 1);
    EXPECT_EQ(seen(0x0000, MessageReceived), 1);
    EXPECT_EQ(seen(0x0006, MessageReceived), 1);

    // One thread delivers in order: the receiver's one delivery is the last
    // message, so the earlier ones were filtered out, not still pending.
    auto received = gReceiver.items();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(objectOf(received[0]), 0x0006);
    EXPECT_EQ(received[0].extra, 77u);
    EXPECT_EQ(received[0].address, kPeerAddress);
    EXPECT_EQ(received[0].bytes, datagram(0x0006, 0x8001, 0x8000, "ok"));
}

// A burst from a device is read by the server in passes and handed on in
// batches: every subscriber still gets every message once, one callback per
// message, in the order the device sent them.
TEST_F(Subscribers, BurstReachesEverySubscriberOnceEachInOrder) {
    constexpr uint16_t kBurst = 100;  // well within the socket buffer
    ASSERT_GE(RegisterReceiveCallback_CB(registration_, toReceiver, 5), 1);
    ASSERT_GE(RegisterNetMonCallback_CB(registration_, toMonitor), 1);
    PeerSocket peer(kPeerAddress, ports_.receive);
    ASSERT_TRUE(peer.bound());
    for (uint16_t n = 0; n < kBurst; ++n) {
        peer.sendToServer(ports_.receive, datagram(0x0007, 0x0002, 0x8000 + n));
    }
    ASSERT_TRUE(gReceiver.waitFor(kBurst));
    ASSERT_TRUE(gMonitor.waitFor(kBurst));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    for (Recorder* r : {&gReceiver, &gMonitor}) {
        auto items = r->items();
        ASSERT_EQ(items.size(), kBurst);
        for (uint16_t n = 0; n < kBurst; ++n) {
            EXPECT_EQ(items[n].bytes, datagram(0x0007, 0x0002, 0x8000 + n)) << n;
        }
    }
}

// A batch message is read envelope by envelope, each delivered on its own
// in order; a last envelope whose Length claims more bytes than are left is
// dropped, not read past the end.
TEST_F(Subscribers, BatchIsDeliveredEnvelopeByEnvelopeAndATruncatedTailIsDropped) {
    int32_t netId = RegisterNetMonCallback_CB(registration_, toMonitor);
    ASSERT_GE(netId, 1);
    char title[64];
    std::snprintf(title, sizeof title, "HUBCLIENT App 0x%X", static_cast<unsigned>(::getpid()));
    plat::Hwnd hidden = plat::findWindow(title);
    ASSERT_NE(hidden, plat::kNoWindow);
    std::vector<uint8_t> batch;
    for (uint16_t n = 0; n < 3; ++n) {
        auto e = wire::buildEnvelope(kPeerAddress, n % 2, datagram(0x0009, 0x0001, 0x8000 + n));
        batch.insert(batch.end(), e.begin(), e.end());
    }
    auto tail = wire::buildEnvelope(kPeerAddress, 1, datagram(0x0009, 0x0001, 0x8003, "long"));
    batch.insert(batch.end(), tail.begin(), tail.end() - 2);
    ASSERT_EQ(plat::postMessage(hidden, wire::kMsgNetDataBatch, static_cast<uint64_t>(netId), 0,
                                plat::Payload::fromBytes(std::move(batch))),
              plat::PostResult::Ok);
    ASSERT_TRUE(gMonitor.waitFor(3));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    auto items = gMonitor.items();
    ASSERT_EQ(items.size(), 3u);
    for (uint16_t n = 0; n < 3; ++n) {
        EXPECT_EQ(items[n].bytes, datagram(0x0009, 0x0001, 0x8000 + n));
        EXPECT_EQ(items[n].extra, n % 2u);
    }
}

void unregisterSelfOnFirstCall(_Message* m, NetMonCBReason_t reason) {
    gSelf.add(m, reason);
    EXPECT_EQ(UnRegisterNetMonCallback(gRegistration, gSelfId), 1);
}

void removeOwnTimer(uint32_t parameter, int32_t timerId) {
    gTimer.add(Delivery{0, {}, static_cast<uint32_t>(timerId)});
    EXPECT_EQ(parameter, 99u);
    EXPECT_EQ(RemoveTimer(gRegistration, timerId), 0);
}

void installTimerOnFirstCall(_Message* m, NetMonCBReason_t reason) {
    gSelf.add(m, reason);
    if (gSelf.size() == 1) {
        EXPECT_GE(InstallTimer_CB(gRegistration, 10, removeOwnTimer, 99), 1);
    }
}

// The fence monitor is the oldest registration: the server hands it each
// message last, so once it saw a message every other subscriber had its turn.
TEST_F(Subscribers, CallbackThatUnregistersItselfGetsNothingMore) {
    ASSERT_GE(RegisterNetMonCallback_CB(registration_, toFence), 1);
    gSelfId = RegisterNetMonCallback_CB(registration_, unregisterSelfOnFirstCall);
    ASSERT_GE(gSelfId, 1);
    for (uint16_t n = 0; n < 3; ++n) {
        ASSERT_EQ(sendTo(kPeerAddress, datagram(0x0005, 0x0001, 0x8000 + n)), 1);
    }
    ASSERT_TRUE(gFence.waitFor(3));
    EXPECT_EQ(gSelf.size(), 1u);
    EXPECT_EQ(UnRegisterNetMonCallback(registration_, gSelfId), VEK_ERR_BAD_ARG);
}

TEST_F(Subscribers, CallbackInstallsATimerThatRemovesItselfInItsFirstReport) {
    ASSERT_GE(RegisterNetMonCallback_CB(registration_, installTimerOnFirstCall), 1);
    ASSERT_EQ(sendTo(kPeerAddress, datagram(0x0005, 0x0001, 0x8000)), 1);
    ASSERT_TRUE(gTimer.waitFor(1));
    // Ten more periods: a timer that kept running would have reported again.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(gTimer.size(), 1u);
    EXPECT_EQ(RemoveTimer(registration_, static_cast<int32_t>(gTimer.items()[0].extra)),
              VEK_ERR_BAD_ARG);
}

TEST_F(Subscribers, EitherUnregisterExportRemovesEitherKind) {
    int32_t receiver = RegisterReceiveCallback_CB(registration_, toReceiver, 0);
    int32_t monitor = RegisterNetMonCallback_CB(registration_, toMonitor);
    ASSERT_GE(receiver, 1);
    ASSERT_GE(monitor, 1);
    EXPECT_EQ(UnRegisterNetMonCallback(registration_, receiver), 1);
    EXPECT_EQ(UnRegisterReceiveCallback(registration_, monitor), 1);
    EXPECT_EQ(UnRegisterReceiveCallback(registration_, monitor), VEK_ERR_BAD_ARG);
}

TEST_F(Subscribers, CleanupRemovesTheRegistrationsSubscribersAndTimers) {
    int32_t other = VEKBaseStartup();
    ASSERT_GE(other, 1);
    int32_t monitor = RegisterNetMonCallback_CB(other, toMonitor);
    int32_t timer = InstallTimer_CB(other, 1000, removeOwnTimer, 0);
    ASSERT_GE(monitor, 1);
    ASSERT_GE(timer, 1);
    VEKBaseCleanup(other);
    // Any registration may name the IDs: they are gone from the process.
    EXPECT_EQ(UnRegisterNetMonCallback(registration_, monitor), VEK_ERR_BAD_ARG);
    EXPECT_EQ(RemoveTimer(registration_, timer), VEK_ERR_BAD_ARG);
    EXPECT_EQ(UnRegisterNetMonCallback(other, monitor), VEK_ERR_NOT_REGISTERED);
}

}  // namespace
}  // namespace client_testing
