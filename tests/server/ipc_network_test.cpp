// The real hubserver: network requests from clients, delivery of 1624,
// clients that die or stop reading, refused payloads and a server without
// network.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>

#include "ipc_test_support.h"
#include "wire/datagram.h"
#include "wire/ipc.h"

namespace {

using namespace testing_support;

using IpcNetworkTest = IpcServerTest;

constexpr uint32_t kLoopback = 0x7F000001;

std::vector<uint8_t> someDatagram(uint16_t number) {
    return datagramOf(0x1234, 0x0042, number, {1, 2, 3, 4});
}

// The client ID and network registration the peer process announces first.
std::pair<int64_t, int64_t> registrationOf(PeerProcess& peer) {
    std::istringstream ids(peer.readLine());
    std::pair<int64_t, int64_t> registration{0, 0};
    ids >> registration.first >> registration.second;
    return registration;
}

TEST_F(IpcNetworkTest, SentMessageReachesSubscriberAsItsEnvelope) {
    startServer();
    int32_t id = 0;
    TestClient& client = registeredClient(id);
    int64_t netID = client.subscribe(id, wire::kNetMonitor);
    ASSERT_GT(netID, 0);

    std::vector<uint8_t> datagram = someDatagram(0x8001);
    EXPECT_EQ(client.sendDatagram(id, kLoopback, datagram), static_cast<int64_t>(datagram.size()));
    std::optional<ClientMessage> sent = client.waitFor(wire::kMsgNetData);
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->wParam, static_cast<uint64_t>(netID));
    EXPECT_EQ(sent->payload, wire::buildEnvelope(kLoopback, wire::kDirectionSent, datagram));
}

TEST_F(IpcNetworkTest, AddressMessageNumbersAndDeregistration) {
    startServer();
    int32_t id = 0;
    TestClient& client = registeredClient(id);
    EXPECT_EQ(client.request(wire::kReqGetAddress, 0, 0), kLoopback);
    EXPECT_EQ(client.request(wire::kReqMessageNumber, 0, 0), 0x8000);
    EXPECT_EQ(client.request(wire::kReqMessageNumber, 0, 0), 0x8001);
    // A block: its first number, the next request starts after it; a size
    // past the largest block gives one number.
    EXPECT_EQ(client.request(wire::kReqMessageNumber, 0, 16), 0x8002);
    EXPECT_EQ(client.request(wire::kReqMessageNumber, 0, wire::kMaxMessageNumberBlock + 1), 0x8012);
    EXPECT_EQ(client.request(wire::kReqMessageNumber, 0, 0), 0x8013);

    int64_t netID = client.subscribe(id, wire::kNetReceive);
    ASSERT_GT(netID, 0);
    EXPECT_EQ(client.unsubscribe(static_cast<uint32_t>(netID)), 0);
    EXPECT_EQ(client.unsubscribe(static_cast<uint32_t>(netID)), 1);
    // The options this library adds: batches for either kind, received-only
    // for receive registrations alone.
    EXPECT_GT(client.subscribe(id, wire::kNetMonitor | wire::kNetBatches), 0);
    EXPECT_GT(client.subscribe(id, wire::kNetReceive | wire::kNetReceivedOnly | wire::kNetBatches),
              0);
    EXPECT_EQ(client.subscribe(id, wire::kNetMonitor | wire::kNetReceivedOnly),
              wire::kResultBadRequest);
    EXPECT_EQ(client.subscribe(id, 0x400), wire::kResultBadRequest);
    EXPECT_EQ(client.subscribe(id, 2), wire::kResultBadRequest);
    EXPECT_EQ(client.subscribe(id + 1, wire::kNetReceive), wire::kResultBadRequest);
}

TEST_F(IpcNetworkTest, KilledClientLosesItsRegistrationAtTheNextDispatch) {
    startServer();
    PeerProcess peer;
    auto [peerID, peerNetID] = registrationOf(peer);
    ASSERT_GT(peerID, 0);
    ASSERT_GT(peerNetID, 0);
    peer.killNow();

    int32_t id = 0;
    TestClient& client = registeredClient(id);
    int64_t netID = client.subscribe(id, wire::kNetReceive);
    EXPECT_GT(client.sendDatagram(id, kLoopback, someDatagram(1)), 0);
    std::optional<ClientMessage> own = client.waitFor(wire::kMsgNetData);
    ASSERT_TRUE(own);
    EXPECT_EQ(own->wParam, static_cast<uint64_t>(netID));
    // The dispatch found the dead client's window gone and removed its
    // registration, unless the reaper, which watches the process and
    // removes its whole record at once, came first.
    EXPECT_EQ(client.unsubscribe(static_cast<uint32_t>(peerNetID)), 1);
    EXPECT_GT(client.sendDatagram(id, kLoopback, someDatagram(2)), 0);
}

TEST_F(IpcNetworkTest, ClientThatDoesNotReadNeitherBlocksTheServerNorLosesItsRegistration) {
    startServer();
    PeerProcess peer;
    int64_t peerNetID = registrationOf(peer).second;
    ASSERT_GT(peerNetID, 0);

    int32_t id = 0;
    TestClient& client = registeredClient(id);
    // Far more data than the peer's connection buffer holds; every send is
    // answered although the peer takes none of its copies meanwhile.
    constexpr int kSends = 6000;
    std::vector<uint8_t> data(1400, 0x5A);
    int answered = 0;
    for (int i = 0; i < kSends; ++i) {
        auto datagram = datagramOf(0x1234, 0x42, static_cast<uint16_t>(i), data);
        answered += client.sendDatagram(id, kLoopback, datagram) > 0;
    }
    EXPECT_EQ(answered, kSends);

    // It got the sent copies that fitted, and lost the rest. Each datagram
    // sent to 127.0.0.1 also comes back to the server's own socket and is
    // dispatched a second time, so the peer is offered two copies of each.
    peer.writeLine("drain");
    long received = std::stol("0" + peer.readLine());
    EXPECT_GT(received, 0);
    EXPECT_LT(received, 2 * kSends);
    EXPECT_EQ(client.unsubscribe(static_cast<uint32_t>(peerNetID)), 0);
}

struct RefusedRequest {
    const char* name;
    uint32_t code;
    bool registeredClient;  // wParam is the test client's ID (else an unknown one)
    std::vector<uint8_t> payload;
    int64_t expected;
};

std::vector<uint8_t> envelopeClaiming(uint32_t length, size_t present) {
    std::vector<uint8_t> e(12 + present, 'V');
    wire::writeLe32(e.data(), kLoopback);
    wire::writeLe32(e.data() + 4, length);
    return e;
}

std::vector<uint8_t> commData(uint32_t length, size_t present) {
    std::vector<uint8_t> r(8 + present, 0);
    wire::writeLe32(r.data(), 1);
    wire::writeLe32(r.data() + 4, length);
    return r;
}

class RefusedPayloadTest : public IpcServerTest,
                           public ::testing::WithParamInterface<RefusedRequest> {};

TEST_P(RefusedPayloadTest, IsAnsweredWithItsCodeAndTheServerGoesOn) {
    const RefusedRequest& r = GetParam();
    startServer();
    int32_t id = 0;
    TestClient& client = registeredClient(id);
    int64_t target = r.registeredClient ? id : id + 50;
    EXPECT_EQ(client.request(r.code, static_cast<uint64_t>(target), 0, r.payload), r.expected);
    EXPECT_EQ(client.request(wire::kReqMessageNumber, 0, 0), 0x8000);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedPayloadTest,
    ::testing::Values(
        RefusedRequest{"SendWithoutEnvelope", wire::kReqSendNetwork, true, {}, -5},
        RefusedRequest{"SendFromUnknownClient", wire::kReqSendNetwork, false,
                       envelopeClaiming(9, 9), -9},
        RefusedRequest{"SendShortEnvelope", wire::kReqSendNetwork, true, std::vector<uint8_t>(5, 0),
                       -9},
        RefusedRequest{"SendLengthBeyondPayload", wire::kReqSendNetwork, true,
                       envelopeClaiming(4000, 9), -9},
        RefusedRequest{"SendLengthBelowHeader", wire::kReqSendNetwork, true, envelopeClaiming(3, 3),
                       -9},
        RefusedRequest{"OpenPortShortRequest", wire::kReqOpenComm, true,
                       std::vector<uint8_t>(27, 1), -9},
        RefusedRequest{"OpenPortThatCannotOpen", wire::kReqOpenComm, true,
                       std::vector<uint8_t>(28, 1), -9},
        RefusedRequest{"WriteLengthBeyondPayload", wire::kReqWriteComm, true, commData(9, 8), 0},
        RefusedRequest{"WriteToUnknownPort", wire::kReqWriteComm, true, commData(8, 8), 0},
        RefusedRequest{"CloseUnknownPort", wire::kReqCloseComm, true, {}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IpcNetworkTest, DebugTextIsWrittenOnlyWithItsTerminator) {
    startServer();
    TestClient& client = newClient();
    EXPECT_EQ(client.writeDebugText("client line\n"), 1);
    std::vector<uint8_t> unterminated(wire::kDebugTextSize, 'x');
    EXPECT_EQ(
        client.request(wire::kReqDebugText, static_cast<uint64_t>(::getpid()), 0, unterminated), 1);
    EXPECT_EQ(client.writeDebugText("after\n"), 1);
    std::string log = readFile(dirs_.log());
    EXPECT_NE(log.find(kRunningLine + "client line\nafter\n"), std::string::npos) << log;
}

TEST_F(IpcNetworkTest, WithoutNetworkTheNetworkRequestsFail) {
    startServer({.autoShutdown = 0, .noNetwork = true});
    int32_t id = 0;
    TestClient& client = registeredClient(id);
    EXPECT_EQ(client.subscribe(id, wire::kNetReceive), wire::kResultFailed);
    EXPECT_EQ(client.sendDatagram(id, kLoopback, someDatagram(1)), wire::kResultFailed);
    EXPECT_EQ(client.request(wire::kReqGetAddress, 0, 0), 0);
    EXPECT_EQ(client.unsubscribe(1), 1);
    EXPECT_EQ(readFile(dirs_.log()).find("(Network)"), std::string::npos);
}

}  // namespace
