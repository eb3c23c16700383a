// A client's section stays writable by the client while the server handles
// the request. A client that keeps rewriting the envelope's Length must not
// make the server send what it did not check, nor hand monitors an
// envelope shorter than a datagram header.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "ipc_test_support.h"
#include "message_table.h"
#include "wire/datagram.h"
#include "wire/ipc.h"

namespace {

using namespace testing_support;
using std::chrono::milliseconds;

constexpr uint32_t kDevice = 0x7F000002;  // 127.0.0.2

class IpcSectionRewriteTest : public IpcServerTest {};

// Deterministic form of the race below: the section's maker rewrites it
// while the handler runs; the handler keeps seeing the bytes it was given.
TEST(MessageTableSections, HandlersSeeAPrivateCopyOfASection) {
    plat::Payload section = plat::Payload::section(16);
    std::memset(section.mutableData(), 0x11, 16);
    plat::Message m;
    m.msg = wire::kReqSendNetwork;
    m.payload = plat::Payload::adoptSectionFd(::dup(section.sectionFd()));
    ASSERT_TRUE(m.payload.isSection());
    hub::MessageTable table;
    std::vector<uint8_t> before;
    std::vector<uint8_t> after;
    table.set(wire::kReqSendNetwork, [&](plat::Message& got) {
        before.assign(got.payload.bytes().begin(), got.payload.bytes().end());
        std::memset(section.mutableData(), 0x22, 16);  // the maker writes meanwhile
        after.assign(got.payload.bytes().begin(), got.payload.bytes().end());
        return int64_t{1};
    });
    EXPECT_EQ(table.dispatch(m), 1);
    EXPECT_EQ(before, std::vector<uint8_t>(16, 0x11));
    EXPECT_EQ(after, before);
}

TEST_F(IpcSectionRewriteTest, LengthRewrittenDuringTheRequestIsNeverUsedUnchecked) {
    startServer();
    UdpPeer device(kDevice, recvPort_);
    ASSERT_TRUE(device.bound());
    int32_t clientID = 0;
    TestClient& client = registeredClient(clientID);
    ASSERT_GT(client.subscribe(clientID, wire::kNetMonitor), 0);

    // A section of its own (not copied into the request) holding an envelope
    // with a 9-byte datagram; the rewriter flips Length between 9 and 0.
    std::vector<uint8_t> envelope = envelopeOf(kDevice, datagramOf(0xFF00, 1, 0x8000));
    plat::Payload section = plat::Payload::section(envelope.size());
    std::memcpy(section.mutableData(), envelope.data(), envelope.size());
    auto* length = reinterpret_cast<uint32_t*>(section.mutableData() + 4);
    std::atomic<bool> stop{false};
    std::thread rewriter([&] {
        // Both values stay for a moment, about as long as the server takes
        // between reading the field and using it.
        auto dwell = [](int spins) {
            for (int spin = 0; spin < spins; ++spin) {
                asm volatile("" ::: "memory");
            }
        };
        while (!stop.load(std::memory_order_relaxed)) {
            __atomic_store_n(length, 0u, __ATOMIC_RELAXED);
            dwell(20);
            __atomic_store_n(length, 9u, __ATOMIC_RELAXED);
            dwell(400);
        }
    });
    // The device reads while the requests go on, so its socket never fills.
    std::vector<size_t> arrivedSizes;
    std::atomic<bool> sending{true};
    std::thread reader([&] {
        while (sending.load() || arrivedSizes.size() < 1000) {
            auto got = device.receive(milliseconds(300));
            if (!got) {
                if (!sending.load()) {
                    return;
                }
                continue;
            }
            arrivedSizes.push_back(got->bytes.size());
        }
    });
    int accepted = 0;
    for (int i = 0; i < 400; ++i) {
        auto result = plat::sendMessageTimeout(client.server(), wire::kReqSendNetwork,
                                               static_cast<uint64_t>(clientID), 0, section,
                                               milliseconds(wire::kRequestTimeoutMs));
        ASSERT_TRUE(result);
        EXPECT_TRUE(*result == 9 || *result == wire::kResultBadRequest) << *result;
        accepted += *result == 9 ? 1 : 0;
    }
    stop = true;
    rewriter.join();
    sending = false;
    reader.join();

    for (const ClientMessage& m : client.collectFor(milliseconds(500))) {
        if (m.msg != wire::kMsgNetData) {
            continue;
        }
        ASSERT_GE(m.payload.size(), 12u + wire::kNetMsgHeaderSize);
        EXPECT_GE(wire::readLe32(m.payload.data() + 4), wire::kNetMsgHeaderSize);
    }
    for (size_t size : arrivedSizes) {
        EXPECT_EQ(size, wire::kNetMsgHeaderSize);
    }
    // The device may miss some when its socket fills; it never gets more.
    EXPECT_FALSE(arrivedSizes.empty());
    EXPECT_LE(arrivedSizes.size(), static_cast<size_t>(accepted));
}

}  // namespace
