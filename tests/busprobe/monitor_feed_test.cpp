#include "monitor_feed.h"

#include <gtest/gtest.h>

#include <QTest>
#include <thread>

namespace busprobe {
namespace {

// Messages pushed from another thread reach the GUI thread complete, in
// order, and in batches: far fewer deliveries than messages, none larger than
// the feed's batch bound.
TEST(MonitorFeed, DeliversInBoundedBatchesOnTheGuiThread) {
    MonitorFeed& feed = MonitorFeed::instance();
    std::vector<uint16_t> numbers;
    size_t deliveries = 0;
    std::thread::id deliveredOn;
    feed.attach([&](std::vector<CapturedMessage>& batch) {
        ++deliveries;
        deliveredOn = std::this_thread::get_id();
        for (const auto& m : batch) {
            numbers.push_back(static_cast<uint16_t>(m.bytes[7] | m.bytes[8] << 8));
        }
    });
    constexpr int kMessages = 10000;
    std::thread library([&] {
        for (int i = 0; i < kMessages; ++i) {
            uint8_t datagram[9] = {
                'V', 'E', 'K', 0, 0, 1, 0, static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8)};
            _Message m{0x7F000002, sizeof datagram, datagram, nullptr};
            MonitorFeed::onNetMonMessage(&m, MessageReceived);
        }
    });
    library.join();
    EXPECT_TRUE(QTest::qWaitFor([&] { return numbers.size() == kMessages; }, 10000));
    feed.detach();
    EXPECT_EQ(deliveredOn, std::this_thread::get_id());
    ASSERT_EQ(numbers.size(), static_cast<size_t>(kMessages));
    for (int i = 0; i < kMessages; ++i) {
        ASSERT_EQ(numbers[static_cast<size_t>(i)], static_cast<uint16_t>(i));
    }
    EXPECT_LE(feed.maxBatch(), 500u);
    EXPECT_LE(deliveries, 100u);
    EXPECT_EQ(feed.droppedCount(), 0u);
}

}  // namespace
}  // namespace busprobe
