// The list of awaited responses driven directly: which received message
// answers an entry, that it is taken once, that expired entries are dropped
// and make room, and that a client's entries leave with it.
#include "network_awaited.h"

#include <gtest/gtest.h>

namespace {

using hub::AwaitedResponse;
using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr uint32_t kDevice = 0x7F000002;

AwaitedResponse entry(int32_t client = 1, uint16_t number = 0x8010,
                      milliseconds timeout = milliseconds(5000)) {
    AwaitedResponse e;
    e.clientID = client;
    e.netID = 3;
    e.waiter = 0x1234000100010001ull;
    e.address = kDevice;
    e.messageId = 0x0007;
    e.messageNumber = number;
    e.deadline = steady_clock::now() + timeout;
    return e;
}

class AwaitedResponses : public ::testing::Test {
  protected:
    void SetUp() override { hub::forgetAllAwaitedResponses(); }
    void TearDown() override { hub::forgetAllAwaitedResponses(); }
};

struct Received {
    const char* name;
    uint32_t source;
    uint16_t messageId;
    uint16_t messageNumber;
    bool answers;
};

class AwaitedResponseMatch : public AwaitedResponses,
                             public ::testing::WithParamInterface<Received> {};

TEST_P(AwaitedResponseMatch, OnlyTheResponseTakesTheEntryAndOnlyOnce) {
    const Received& r = GetParam();
    ASSERT_TRUE(hub::awaitResponse(entry()));
    wire::DatagramHeader header{0x0102, r.messageId, r.messageNumber};
    std::optional<AwaitedResponse> taken = hub::takeAwaitedResponse(r.source, header);
    EXPECT_EQ(taken.has_value(), r.answers);
    if (taken) {
        EXPECT_EQ(taken->waiter, entry().waiter);
        EXPECT_EQ(taken->netID, 3u);
        EXPECT_FALSE(hub::takeAwaitedResponse(r.source, header));
    }
    EXPECT_EQ(hub::awaitedResponseCount(), r.answers ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AwaitedResponseMatch,
    ::testing::Values(Received{"Response", kDevice, 0x8007, 0x8010, true},
                      Received{"WithoutResponseFlag", kDevice, 0x0007, 0x8010, false},
                      Received{"OtherMessage", kDevice, 0x8008, 0x8010, false},
                      Received{"OtherNumber", kDevice, 0x8007, 0x8011, false},
                      Received{"OtherSource", kDevice + 1, 0x8007, 0x8010, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AwaitedResponses, ExpiredEntryAnswersNothingAndIsDropped) {
    ASSERT_TRUE(hub::awaitResponse(entry(1, 0x8010, milliseconds(0))));
    ASSERT_TRUE(hub::awaitResponse(entry(1, 0x8011)));
    EXPECT_FALSE(hub::takeAwaitedResponse(kDevice, {1, 0x8007, 0x8010}));
    EXPECT_EQ(hub::awaitedResponseCount(), 1u);
}

TEST_F(AwaitedResponses, FullListRefusesUntilEntriesExpire) {
    for (size_t i = 0; i < hub::kMaxAwaitedResponses; ++i) {
        ASSERT_TRUE(hub::awaitResponse(entry(1, static_cast<uint16_t>(i))));
    }
    EXPECT_FALSE(hub::awaitResponse(entry(2, 0xFFFF)));
    hub::forgetAllAwaitedResponses();
    for (size_t i = 0; i < hub::kMaxAwaitedResponses; ++i) {
        ASSERT_TRUE(hub::awaitResponse(entry(1, static_cast<uint16_t>(i), milliseconds(0))));
    }
    EXPECT_TRUE(hub::awaitResponse(entry(2, 0xFFFF)));
    EXPECT_EQ(hub::awaitedResponseCount(), 1u);
}

TEST_F(AwaitedResponses, ForgettingRemovesOneRequestOrAClientsEntries) {
    ASSERT_TRUE(hub::awaitResponse(entry(1, 0x8010)));
    ASSERT_TRUE(hub::awaitResponse(entry(1, 0x8011)));
    ASSERT_TRUE(hub::awaitResponse(entry(2, 0x8012)));
    hub::forgetAwaitedResponse(entry(1, 0x8011));
    EXPECT_EQ(hub::awaitedResponseCount(), 2u);
    hub::forgetAwaitedResponsesOf(1);
    EXPECT_EQ(hub::awaitedResponseCount(), 1u);
    EXPECT_TRUE(hub::takeAwaitedResponse(kDevice, {1, 0x8007, 0x8012}));
}

}  // namespace
