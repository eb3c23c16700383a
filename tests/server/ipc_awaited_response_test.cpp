// Request 1636: a send whose response the server posts straight to a
// waiting window of the sender (1628) instead of to the receive
// registration it names. Every other registration still gets the response,
// the named one gets everything else in order, and a response that comes
// after the time-out or finds the waiter gone takes the usual way. Bad
// requests are refused.
#include <gtest/gtest.h>

#include <thread>

#include "ipc_test_support.h"
#include "wire/datagram.h"
#include "wire/ipc.h"

namespace {

using namespace testing_support;
using namespace std::chrono_literals;

constexpr uint32_t kDevice = 0x7F000002;  // 127.0.0.2
constexpr uint16_t kFlag = 0x8000;

std::vector<uint8_t> awaitingPayload(plat::Hwnd waiter, int64_t netID, uint32_t timeoutMs,
                                     const std::vector<uint8_t>& envelope) {
    std::vector<uint8_t> p(sizeof(_AwaitedResponse));
    wire::writeLe32(p.data(), static_cast<uint32_t>(waiter));
    wire::writeLe32(p.data() + 4, static_cast<uint32_t>(waiter >> 32));
    wire::writeLe32(p.data() + 8, static_cast<uint32_t>(netID));
    wire::writeLe32(p.data() + 12, timeoutMs);
    p.insert(p.end(), envelope.begin(), envelope.end());
    return p;
}

// The datagrams that reached one NetID (as 1624 or in a 1626 batch).
std::vector<std::vector<uint8_t>> datagramsFor(const std::deque<ClientMessage>& inbox,
                                               int64_t netID) {
    std::vector<std::vector<uint8_t>> out;
    for (const ClientMessage& m : inbox) {
        if ((m.msg != wire::kMsgNetData && m.msg != wire::kMsgNetDataBatch) ||
            m.wParam != static_cast<uint64_t>(netID)) {
            continue;
        }
        std::span<const uint8_t> rest(m.payload);
        while (auto view = wire::readEnvelope(rest)) {
            out.emplace_back(view->datagram.begin(), view->datagram.end());
            rest = rest.subspan(12 + view->datagram.size());
        }
    }
    return out;
}

std::vector<ClientMessage> awaitedIn(const std::deque<ClientMessage>& inbox) {
    std::vector<ClientMessage> out;
    for (const ClientMessage& m : inbox) {
        if (m.msg == wire::kMsgAwaitedResponse) {
            out.push_back(m);
        }
    }
    return out;
}

class IpcAwaitedResponseTest : public IpcServerTest {
  protected:
    void SetUp() override {
        startServer();
        device_ = std::make_unique<UdpPeer>(kDevice, recvPort_);
        ASSERT_TRUE(device_->bound());
        client_ = &registeredClient(id_);
        receiveNetID_ =
            client_->subscribe(id_, wire::kNetReceive | wire::kNetReceivedOnly | wire::kNetBatches);
        ASSERT_GT(receiveNetID_, 0);
    }

    // Sends the request as 1636 and waits until the device has it.
    void sendAwaiting(plat::Hwnd waiter, uint32_t timeoutMs) {
        auto payload =
            awaitingPayload(waiter, receiveNetID_, timeoutMs, envelopeOf(kDevice, request_));
        EXPECT_EQ(client_->request(wire::kReqSendAwaitingResponse, id_, 0, payload),
                  static_cast<int64_t>(request_.size()));
        ASSERT_TRUE(device_->receive(2s));
    }

    void deviceSends(const std::vector<uint8_t>& datagram) {
        device_->sendTo(0x7F000001, recvPort_, datagram);
    }

    std::unique_ptr<UdpPeer> device_;
    int32_t id_ = 0;
    TestClient* client_ = nullptr;
    int64_t receiveNetID_ = 0;
    std::vector<uint8_t> request_ = datagramOf(0x0102, 0x0007, 0x8123, {1, 2});
    std::vector<uint8_t> response_ = datagramOf(0x0102, 0x0007 | kFlag, 0x8123, {9});
};

TEST_F(IpcAwaitedResponseTest, ResponseGoesToTheWaiterAndEveryOtherRegistrationAsUsual) {
    int64_t monitorNetID = client_->subscribe(id_, wire::kNetMonitor | wire::kNetBatches);
    int32_t otherID = 0;
    TestClient& other = registeredClient(otherID);
    int64_t otherNetID = other.subscribe(otherID, wire::kNetReceive);
    sendAwaiting(client_->window(), 5000);

    // A message before the response, the response, one after it, and a
    // second copy of the response under a new number (not awaited any more).
    std::vector<uint8_t> before = datagramOf(0x0102, 0x0009, 0x0100);
    std::vector<uint8_t> after = datagramOf(0x0102, 0x0009, 0x0101);
    std::vector<uint8_t> later = datagramOf(0x0102, 0x0007 | kFlag, 0x8124, {9});
    for (const auto& d : {before, response_, after, later}) {
        deviceSends(d);
    }
    std::deque<ClientMessage> inbox = client_->collectFor(500ms);
    std::deque<ClientMessage> otherInbox = other.collectFor(100ms);

    std::vector<ClientMessage> awaited = awaitedIn(inbox);
    ASSERT_EQ(awaited.size(), 1u);
    EXPECT_EQ(awaited[0].wParam, static_cast<uint64_t>(receiveNetID_));
    EXPECT_EQ(awaited[0].payload,
              wire::buildEnvelope(kDevice, wire::kDirectionReceived, response_));
    EXPECT_EQ(datagramsFor(inbox, receiveNetID_),
              (std::vector<std::vector<uint8_t>>{before, after, later}));
    EXPECT_EQ(datagramsFor(inbox, monitorNetID),
              (std::vector<std::vector<uint8_t>>{request_, before, response_, after, later}));
    // A registration without options gets the sent copy as well.
    EXPECT_EQ(datagramsFor(otherInbox, otherNetID),
              (std::vector<std::vector<uint8_t>>{request_, before, response_, after, later}));
}

// A response that comes too late, or whose waiter is gone, reaches the
// receive registration instead.
TEST_F(IpcAwaitedResponseTest, ResponseAfterTheTimeOutTakesTheUsualWay) {
    sendAwaiting(client_->window(), 100);
    std::this_thread::sleep_for(300ms);
    deviceSends(response_);
    std::deque<ClientMessage> inbox = client_->collectFor(400ms);
    EXPECT_TRUE(awaitedIn(inbox).empty());
    EXPECT_EQ(datagramsFor(inbox, receiveNetID_), (std::vector<std::vector<uint8_t>>{response_}));
}

TEST_F(IpcAwaitedResponseTest, ResponseForAWaiterWhoseThreadEndedTakesTheUsualWay) {
    plat::Hwnd waiter = plat::kNoWindow;
    std::thread([&] {
        waiter = plat::createWindow([](plat::Message&) { return int64_t{0}; });
        plat::shutdownThreadLoop();
    }).join();
    ASSERT_NE(waiter, plat::kNoWindow);
    sendAwaiting(waiter, 5000);
    deviceSends(response_);
    std::deque<ClientMessage> inbox = client_->collectFor(400ms);
    EXPECT_TRUE(awaitedIn(inbox).empty());
    EXPECT_EQ(datagramsFor(inbox, receiveNetID_), (std::vector<std::vector<uint8_t>>{response_}));
}

struct RefusedAwaiting {
    const char* name;
    enum class Waiter { Own, Server, None } waiter;
    enum class NetID { Own, Monitor, OtherClients, Unknown } netID;
    bool unknownClient;
    size_t payloadCut;  // bytes taken off the end of the payload
    bool noPayload;
    int64_t expected;
};

class RefusedAwaitingTest : public IpcAwaitedResponseTest,
                            public ::testing::WithParamInterface<RefusedAwaiting> {};

TEST_P(RefusedAwaitingTest, IsRefusedAndNothingIsSent) {
    const RefusedAwaiting& r = GetParam();
    int32_t otherID = 0;
    TestClient& other = registeredClient(otherID);
    int64_t netID = receiveNetID_;
    switch (r.netID) {
        case RefusedAwaiting::NetID::Own:
            break;
        case RefusedAwaiting::NetID::Monitor:
            netID = client_->subscribe(id_, wire::kNetMonitor);
            break;
        case RefusedAwaiting::NetID::OtherClients:
            netID = other.subscribe(otherID, wire::kNetReceive);
            break;
        case RefusedAwaiting::NetID::Unknown:
            netID = 0x7000;
            break;
    }
    plat::Hwnd waiter = r.waiter == RefusedAwaiting::Waiter::Own      ? client_->window()
                        : r.waiter == RefusedAwaiting::Waiter::Server ? client_->server()
                                                                      : plat::kNoWindow;
    std::vector<uint8_t> payload;
    if (!r.noPayload) {
        payload = awaitingPayload(waiter, netID, 5000, envelopeOf(kDevice, request_));
        payload.resize(payload.size() - r.payloadCut);
    }
    uint64_t client = r.unknownClient ? static_cast<uint64_t>(id_ + 50) : id_;
    EXPECT_EQ(client_->request(wire::kReqSendAwaitingResponse, client, 0, payload), r.expected);
    EXPECT_FALSE(device_->receive(200ms));
    EXPECT_EQ(client_->request(wire::kReqMessageNumber, 0, 0), 0x8000);
}

using W = RefusedAwaiting::Waiter;
using N = RefusedAwaiting::NetID;
INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedAwaitingTest,
    ::testing::Values(RefusedAwaiting{"NoPayload", W::Own, N::Own, false, 0, true, -5},
                      RefusedAwaiting{"UnknownClient", W::Own, N::Own, true, 0, false, -9},
                      RefusedAwaiting{"ServersWindow", W::Server, N::Own, false, 0, false, -9},
                      RefusedAwaiting{"NoWindow", W::None, N::Own, false, 0, false, -9},
                      RefusedAwaiting{"MonitorNetID", W::Own, N::Monitor, false, 0, false, -9},
                      RefusedAwaiting{"OtherClientsNetID", W::Own, N::OtherClients, false, 0, false,
                                      -9},
                      RefusedAwaiting{"UnknownNetID", W::Own, N::Unknown, false, 0, false, -9},
                      // The datagram cut short, then the envelope, then the record.
                      RefusedAwaiting{"ShortDatagram", W::Own, N::Own, false, 3, false, -9},
                      RefusedAwaiting{"ShortEnvelope", W::Own, N::Own, false, 14, false, -9},
                      RefusedAwaiting{"ShortRecord", W::Own, N::Own, false, 30, false, -9}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
