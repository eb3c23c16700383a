// The real hubserver: the WIN16 client interface. One WIN16 client at a
// time; its messages come as copy-data from the interface thread with the
// NetID in lParam; it sends with copy-data.
#include <gtest/gtest.h>

#include "ipc_test_support.h"
#include "wire/datagram.h"
#include "wire/ipc.h"

namespace {

using namespace testing_support;

using IpcWin16Test = IpcServerTest;

constexpr uint32_t kLoopback = 0x7F000001;

int64_t sendCopyData(TestClient& from, plat::Hwnd senderWindow, std::vector<uint8_t> envelope) {
    return plat::sendMessageTimeout(from.server(), plat::kMsgCopyData, senderWindow, 0,
                                    plat::Payload::fromBytes(std::move(envelope)),
                                    std::chrono::milliseconds(wire::kRequestTimeoutMs))
        .value_or(-1000);
}

TEST_F(IpcWin16Test, NewWin16ClientReplacesTheOldAndGetsCopyDataWithItsNetId) {
    startServer();
    TestClient& first = newClient();
    int64_t firstID = first.registerWin16();
    ASSERT_GT(firstID, 0);
    int64_t firstNetID = first.subscribe(static_cast<int32_t>(firstID), wire::kNetReceive);
    ASSERT_GT(firstNetID, 0);

    TestClient& second = newClient();
    int64_t secondID = second.registerWin16();
    ASSERT_GT(secondID, firstID);
    EXPECT_FALSE(second.versionText(static_cast<int32_t>(firstID)));
    int64_t secondNetID = second.subscribe(static_cast<int32_t>(secondID), wire::kNetMonitor);
    ASSERT_GT(secondNetID, 0);

    int32_t senderID = 0;
    TestClient& sender = registeredClient(senderID);
    std::vector<uint8_t> datagram = datagramOf(7, 8, 9, {0xAA});
    ASSERT_GT(sender.sendDatagram(senderID, kLoopback, datagram), 0);

    std::optional<ClientMessage> copy = second.waitFor(plat::kMsgCopyData);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->wParam, sender.server());
    EXPECT_EQ(copy->lParam, secondNetID);
    EXPECT_EQ(copy->payload, wire::buildEnvelope(kLoopback, wire::kDirectionSent, datagram));
    // The replaced client's registration stays.
    EXPECT_EQ(first.unsubscribe(static_cast<uint32_t>(firstNetID)), 0);
}

TEST_F(IpcWin16Test, CopyDataSendsLike1634) {
    startServer();
    TestClient& win16 = newClient();
    int64_t win16ID = win16.registerWin16();
    ASSERT_GT(win16ID, 0);
    std::vector<uint8_t> datagram = datagramOf(7, 8, 9, {1, 2, 3});

    EXPECT_EQ(sendCopyData(win16, win16.window(), envelopeOf(kLoopback, datagram)),
              static_cast<int64_t>(datagram.size()));
    // Unreadable data gives 0; a window that never registered is refused.
    EXPECT_EQ(sendCopyData(win16, win16.window(), {1, 2, 3}), 0);
    std::vector<uint8_t> lying = envelopeOf(kLoopback, datagram);
    wire::writeLe32(lying.data() + 4, 5000);
    EXPECT_EQ(sendCopyData(win16, win16.window(), lying), 0);
    TestClient& stranger = newClient();
    EXPECT_EQ(sendCopyData(stranger, stranger.window(), envelopeOf(kLoopback, datagram)),
              wire::kResultBadRequest);

    // After 1334 the WIN16 window is a stranger too.
    ASSERT_EQ(plat::postMessage(win16.server(), wire::kReqUnregisterWin16,
                                static_cast<uint64_t>(win16ID), 0),
              plat::PostResult::Ok);
    EXPECT_EQ(sendCopyData(win16, win16.window(), envelopeOf(kLoopback, datagram)),
              wire::kResultBadRequest);
}

TEST_F(IpcWin16Test, RegistrationOfAVanishedWin16WindowIsRemoved) {
    startServer();
    auto vanishing = std::make_unique<TestClient>();
    int64_t vanishingID = vanishing->registerWin16();
    int64_t vanishingNetID = vanishing->subscribe(static_cast<int32_t>(vanishingID), 0);
    ASSERT_GT(vanishingNetID, 0);
    vanishing.reset();  // its window is destroyed

    int32_t senderID = 0;
    TestClient& sender = registeredClient(senderID);
    ASSERT_GT(sender.sendDatagram(senderID, kLoopback, datagramOf(1, 2, 3)), 0);

    // The interface thread delivers in order: once the next WIN16 client has
    // its copy, the vanished one's delivery has failed before it.
    TestClient& next = newClient();
    int64_t nextID = next.registerWin16();
    ASSERT_GT(next.subscribe(static_cast<int32_t>(nextID), 0), 0);
    ASSERT_GT(sender.sendDatagram(senderID, kLoopback, datagramOf(1, 2, 4)), 0);
    // Its sent copy and then the copy the server read back from loopback.
    ASSERT_TRUE(next.waitFor(plat::kMsgCopyData));
    ASSERT_TRUE(next.waitFor(plat::kMsgCopyData));
    EXPECT_EQ(sender.unsubscribe(static_cast<uint32_t>(vanishingNetID)), 1);
}

TEST_F(IpcWin16Test, InterfaceThatCannotStartShutsTheServerDown) {
    // Another window holds the interface's title, so its window cannot be made.
    plat::Hwnd squatter = plat::createWindow([](plat::Message&) { return int64_t{0}; },
                                             "HUBSERVER WIN16 Client Interface");
    ASSERT_NE(squatter, plat::kNoWindow);
    launchServer({.autoShutdown = 0, .noNetwork = true});
    ASSERT_TRUE(serverExited());
    std::string log = stampsMasked(readFile(dirs_.log()));
    EXPECT_EQ(log.find(kRunningLine), std::string::npos);
    EXPECT_NE(
        log.find("   ** HUBSERVER (EXE) Startup Error (Unable to Initialize WIN16 Interface).\n"
                 "[TS]\n** HUBSERVER (EXE) Shutting Down....\n"),
        std::string::npos)
        << log;
    EXPECT_TRUE(log.ends_with(kExitingLine));
}

}  // namespace
