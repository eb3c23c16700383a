#include "request_pairing.h"

#include <gtest/gtest.h>

#include "message_search.h"
#include "wire/datagram.h"

namespace busprobe {
namespace {

CapturedMessage message(Direction direction, uint32_t address, uint16_t messageId, uint16_t number,
                        int64_t atMs, std::vector<uint8_t> data = {}) {
    auto datagram = wire::buildDatagram({0x0102, messageId, number}, data);
    CapturedMessage m = stampedMessage(direction, address, datagram.data(), datagram.size());
    m.steadyNs = atMs * 1000000;
    return m;
}

struct Pairer {
    CaptureStore store;
    RequestPairing pairing{1000};
    uint64_t add(CapturedMessage m) {
        pairing.observe(m, store.endSerial(), store);
        return store.add(m);
    }
};

TEST(RequestPairing, ResponsesMatchAddressIdAndNumberTheOtherWay) {
    struct Case {
        const char* what;
        CapturedMessage response;
        bool pairs;
    };
    const Case cases[] = {
        {"the answer", message(Direction::Received, 0x7F000003, 0x8405, 0x8123, 12), true},
        {"another peer", message(Direction::Received, 0x7F000004, 0x8405, 0x8123, 12), false},
        {"another number", message(Direction::Received, 0x7F000003, 0x8405, 0x8124, 12), false},
        {"another ID", message(Direction::Received, 0x7F000003, 0x8406, 0x8123, 12), false},
        {"same direction", message(Direction::Sent, 0x7F000003, 0x8405, 0x8123, 12), false},
    };
    for (const auto& c : cases) {
        Pairer p;
        uint64_t request = p.add(message(Direction::Sent, 0x7F000003, 0x0405, 0x8123, 10));
        uint64_t response = p.add(c.response);
        EXPECT_EQ(p.store.at(response).pairing, Pairing::Response) << c.what;
        EXPECT_EQ(p.store.at(response).latencyNs, c.pairs ? 2000000 : -1) << c.what;
        EXPECT_EQ(p.store.at(request).pairing, c.pairs ? Pairing::Answered : Pairing::Waiting)
            << c.what;
    }
}

TEST(RequestPairing, UnansweredAfterTheTimeOutAndBoundedWhilePending) {
    Pairer p;
    uint64_t early = p.add(message(Direction::Received, 0x7F000002, 0x0010, 0x8001, 0));
    uint64_t late = p.add(message(Direction::Received, 0x7F000002, 0x0010, 0x8002, 600));
    EXPECT_EQ(p.pairing.expire(999 * 1000000LL, p.store), 0u);
    EXPECT_EQ(p.pairing.expire(1000 * 1000000LL, p.store), 1u);
    EXPECT_EQ(p.store.at(early).pairing, Pairing::Unanswered);
    EXPECT_EQ(p.store.at(late).pairing, Pairing::Waiting);
    // A response after the time-out pairs with nothing.
    uint64_t reply = p.add(message(Direction::Sent, 0x7F000002, 0x8010, 0x8001, 1200));
    EXPECT_EQ(p.store.at(reply).latencyNs, -1);

    CaptureStore store;
    RequestPairing bounded(1000, 2);
    for (uint16_t n = 1; n <= 3; ++n) {
        CapturedMessage m = message(Direction::Sent, 1, 1, n, 0);
        bounded.observe(m, store.endSerial(), store);
        store.add(m);
    }
    EXPECT_EQ(bounded.pending(), 2u);
    EXPECT_EQ(store.messages()[0].pairing, Pairing::Unanswered);
}

TEST(MessageSearch, MatchesAddressIdsAndWholeBytes) {
    CaptureStore store;
    store.add(message(Direction::Received, 0x7F000002, 0x0405, 0x8001, 0, {0xAA, 0xBB, 0xCC}));
    store.add(message(Direction::Received, 0x7F000004, 0x0C01, 0x8002, 0, {0x0A, 0xBB}));
    struct Case {
        const char* query;
        std::optional<uint64_t> found;
    };
    const Case cases[] = {
        {"127.0.0.4", 1},     {"0c01", 1},           {"bb cc", 0},
        {"BBCC", 0},          {"ABB", std::nullopt},  // not on a byte boundary
        {"zz", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(findMessage(store, 1, MessageQuery(c.query)), c.found) << c.query;
    }
    EXPECT_EQ(findMessage(store, 0, MessageQuery("VEK")), std::nullopt);  // not hex, no address
    EXPECT_EQ(findMessage(store, 0, MessageQuery("56 45 4B")), 1u);       // the next one, wrapping
}

}  // namespace
}  // namespace busprobe
