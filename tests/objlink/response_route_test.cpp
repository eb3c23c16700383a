// The response of a synchronous request goes straight to the thread that
// waits for it: it arrives while hubclient's own thread is stuck in a
// callback, many threads waiting at once each get their own, and a thread
// that tore its loop down between two requests is answered all the same.
#include "objlink_session.h"

namespace objlink_testing {
namespace {

// A subscriber that keeps hubclient's thread until released.
struct BusyCallback {
    std::atomic<bool> inside{false};
    std::atomic<bool> release{false};
};
BusyCallback gBusy;

void blockingSubscriber(uint32_t, VEKMessageResponse_t*) {
    gBusy.inside = true;
    waitUntil([] { return gBusy.release.load(); }, 10s);
    gBusy.inside = false;
}

// Answers every request with its own data until destroyed.
class Echo {
  public:
    explicit Echo(Device& device)
        : thread_([this, &device] {
              while (running_) {
                  if (auto request = device.next(50ms)) {
                      device.respond(*request, request->data);
                  }
              }
          }) {}
    ~Echo() {
        running_ = false;
        thread_.join();
    }

  private:
    std::atomic<bool> running_{true};
    std::thread thread_;
};

TEST_F(ObjlinkSession, SyncResponseArrivesWhileTheLibraryThreadIsBusy) {
    gBusy.inside = false;
    gBusy.release = false;
    ASSERT_GE(RegisterVEKObjectMessages_CB(registration_, 7, &blockingSubscriber, 0), 1);
    device_->send(datagram(7, 1, 0x100));
    ASSERT_TRUE(waitUntil([] { return gBusy.inside.load(); }));

    Echo echo(*device_);
    std::vector<uint8_t> data = {4, 5};
    VEKMessage_t m = message(9, 2, data);
    ResponseBuffer<8> response;
    int32_t number = SendVEKMessage(registration_, 3000, &m, &response.record);
    bool libraryThreadStillBusy = gBusy.inside;
    gBusy.release = true;

    EXPECT_GE(number, 0x8000);
    EXPECT_EQ(PACKED(response.record.Status), MessageResponseSuccess);
    EXPECT_EQ(response.data(), data);
    EXPECT_TRUE(libraryThreadStillBusy);
    EXPECT_TRUE(waitUntil([] { return !gBusy.inside.load(); }));
}

TEST_F(ObjlinkSession, ManyThreadsWaitingAtOnceEachGetTheirOwnResponse) {
    Echo echo(*device_);
    constexpr int kThreads = 6;
    constexpr int kRequests = 25;
    std::atomic<int> answered{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRequests; ++i) {
                std::vector<uint8_t> data = {static_cast<uint8_t>(t), static_cast<uint8_t>(i)};
                VEKMessage_t m = message(9, 2, data);
                ResponseBuffer<8> response;
                int32_t number = SendVEKMessage(registration_, 5000, &m, &response.record);
                bool own =
                    number >= 0x8000 && PACKED(response.record.Status) == MessageResponseSuccess &&
                    PACKED(response.record.MessageNumber) == number && response.data() == data;
                EXPECT_TRUE(own) << "thread " << t << " request " << i;
                answered += own ? 1 : 0;
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(answered.load(), kThreads * kRequests);
}

TEST_F(ObjlinkSession, ThreadThatToreItsLoopDownIsStillAnswered) {
    Echo echo(*device_);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(::testing::Message() << "round " << round);
        std::vector<uint8_t> data = {static_cast<uint8_t>(round)};
        VEKMessage_t m = message(9, 2, data);
        ResponseBuffer<8> response;
        EXPECT_GE(SendVEKMessage(registration_, 3000, &m, &response.record), 0x8000);
        EXPECT_EQ(PACKED(response.record.Status), MessageResponseSuccess);
        EXPECT_EQ(response.data(), data);
        plat::shutdownThreadLoop();
    }
}

}  // namespace
}  // namespace objlink_testing
