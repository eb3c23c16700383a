// The paced sends of the real hubserver under load: datagrams wait in a
// bounded queue for their departure instead of holding the main thread, so
// requests, other clients and signals are served meanwhile, and a send is
// never reported failed while it still leaves.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "ipc_test_support.h"
#include "wire/datagram.h"
#include "wire/ipc.h"

namespace {

using namespace testing_support;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr uint32_t kDevice = 0x7F000002;  // 127.0.0.2

class NetworkPacingTest : public IpcServerTest {
  protected:
    void startPacedServer(int delayMs) {
        startServer({.autoShutdown = 0, .noNetwork = false, .messageDelayTime = delayMs});
        device_ = std::make_unique<UdpPeer>(kDevice, recvPort_);
        ASSERT_TRUE(device_->bound());
    }

    // The message numbers of the datagrams the device got until none came
    // for `quiet`.
    std::multiset<uint16_t> deviceNumbers(milliseconds quiet) {
        std::multiset<uint16_t> numbers;
        while (auto got = device_->receive(quiet)) {
            if (got->bytes.size() >= wire::kNetMsgHeaderSize) {
                numbers.insert(wire::readLe16(got->bytes.data() + 7));
            }
        }
        return numbers;
    }

    std::unique_ptr<UdpPeer> device_;
};

// 25 threads send 2 datagrams each at once. Waiting out the pacing on the
// main thread made most of these requests time out although their
// datagrams left later; now every request is answered at once and every
// datagram leaves exactly once.
TEST_F(NetworkPacingTest, ConcurrentSendsAreAnsweredAtOnceAndLeaveExactlyOnce) {
    startPacedServer(40);
    int32_t clientID = 0;
    registeredClient(clientID);
    constexpr int kThreads = 25;
    std::atomic<int> accepted{0};
    std::atomic<int64_t> slowestMs{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            TestClient client;
            for (int i = 0; i < 2; ++i) {
                auto number = static_cast<uint16_t>(0x8000 + t * 2 + i);
                auto start = Clock::now();
                int64_t result =
                    client.sendDatagram(clientID, kDevice, datagramOf(0xFF00, 1, number));
                auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
                accepted += result == 9 ? 1 : 0;
                int64_t seen = slowestMs.load();
                while (took.count() > seen &&
                       !slowestMs.compare_exchange_weak(seen, took.count())) {
                }
            }
            plat::shutdownThreadLoop();
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(accepted.load(), 2 * kThreads);
    EXPECT_LT(slowestMs.load(), 1000);
    std::multiset<uint16_t> numbers = deviceNumbers(milliseconds(1000));
    EXPECT_EQ(numbers.size(), 2u * kThreads);
    EXPECT_EQ(std::set<uint16_t>(numbers.begin(), numbers.end()).size(), 2u * kThreads);
}

// A backlog of many seconds neither delays another client's request nor
// SIGTERM; the datagrams still queued are dropped and counted in the log.
TEST_F(NetworkPacingTest, BacklogDelaysNeitherRequestsNorShutdown) {
    startPacedServer(100);
    int32_t clientID = 0;
    TestClient& sender = registeredClient(clientID);
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(sender.sendDatagram(clientID, kDevice,
                                      datagramOf(0xFF00, 1, static_cast<uint16_t>(0x8000 + i))),
                  9);
    }
    int32_t otherID = 0;
    TestClient& other = registeredClient(otherID);
    auto start = Clock::now();
    EXPECT_EQ(other.request(wire::kReqGetAddress, static_cast<uint64_t>(otherID), 0),
              int64_t{0x7F000001});
    EXPECT_LT(Clock::now() - start, milliseconds(500));

    start = Clock::now();
    ASSERT_EQ(::kill(server_, SIGTERM), 0);
    ASSERT_TRUE(serverExited(milliseconds(1000)));
    EXPECT_LT(Clock::now() - start, milliseconds(1000));
    EXPECT_NE(maskedLog().find(" queued messages not sent.\n"), std::string::npos) << maskedLog();
}

// A client may hold only so many bytes in the queue: a datagram beyond its
// share is refused with -12 and never leaves, one that was accepted leaves.
TEST_F(NetworkPacingTest, DatagramsBeyondAClientsShareAreRefusedAndNeverLeave) {
    startPacedServer(20);
    int32_t clientID = 0;
    TestClient& sender = registeredClient(clientID);
    // Object 0 keeps these long datagrams out of the large-message transfer.
    const std::vector<uint8_t> filler(60000, 0x5A);
    std::set<uint16_t> accepted;
    std::set<uint16_t> refused;
    for (uint16_t i = 0; i < 24; ++i) {
        auto number = static_cast<uint16_t>(0x8000 + i);
        int64_t result =
            sender.sendDatagram(clientID, kDevice, datagramOf(0, 0x7777, number, filler));
        (result > 0 ? accepted : refused).insert(number);
        EXPECT_TRUE(result == 60009 || result == -12) << result;
    }
    EXPECT_FALSE(accepted.empty());
    EXPECT_FALSE(refused.empty());
    std::multiset<uint16_t> left = deviceNumbers(milliseconds(1500));
    EXPECT_EQ(std::set<uint16_t>(left.begin(), left.end()), accepted);
    EXPECT_EQ(left.size(), accepted.size());
    EXPECT_NE(maskedLog().find("Send queue full: message of client " + std::to_string(clientID) +
                               " dropped (1 dropped).\n"),
              std::string::npos)
        << maskedLog();
}

}  // namespace
