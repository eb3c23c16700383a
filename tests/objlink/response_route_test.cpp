// The response of a synchronous request goes straight to the thread that
// waits for it: it arrives while hubclient's own thread is stuck in a
// callback, many threads waiting at once each get their own, a thread that
// tore its loop down between two requests is answered all the same, and a
// message that came with the response is left for the thread's outer loop.
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

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

// The device answers and at once sends a message that a window of the
// waiting thread subscribes to (a change notification). Both reach the
// thread while the wait is held in a procedure, so one look at its sources
// takes both, the response first; the wait leaves with its response and the
// notification still queued. An outer loop that sleeps on queueFd() (Qt's)
// must be woken for it: the library thread is held in its send until the
// notification is handled. The hold comes from a watched descriptor: a post
// would leave the thread's inbox first in line for the next look.
TEST_F(ObjlinkSession, NotificationArrivingWithTheResponseWakesTheOuterLoop) {
    constexpr uint32_t kHold = 0x8501;
    constexpr uint32_t kNotified = 0x8502;
    int hold[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0, hold), 0);
    bool notified = false;
    plat::Hwnd window = plat::createWindow([&](plat::Message& m) {
        if (m.msg == kHold) {
            char byte;
            ::recv(hold[0], &byte, 1, MSG_DONTWAIT);
            std::this_thread::sleep_for(300ms);  // response and notification arrive meanwhile
        } else if (m.msg == kNotified) {
            notified = true;
        }
        return int64_t{0};
    });
    ASSERT_GE(RegisterVEKObjectMessages_Window(registration_, 7, window, kNotified), 1);
    ASSERT_TRUE(plat::watchReadable(hold[0], window, kHold));
    std::thread device([this] {
        for (int request = 0; request < 2; ++request) {
            auto received = device_->next();
            if (!received) {
                return;
            }
            device_->respond(*received, {});
            if (request == 1) {
                device_->send(datagram(7, 1, 0x100, {1}));
            }
        }
    });
    std::vector<uint8_t> data = {1};
    VEKMessage_t m = message(9, 2, data);
    ResponseBuffer<8> response;
    // The first request opens the server's connection to this thread.
    ASSERT_GE(SendVEKMessage(registration_, 3000, &m, &response.record), 0x8000);
    ASSERT_EQ(::send(hold[1], "h", 1, 0), 1);
    ASSERT_GE(SendVEKMessage(registration_, 3000, &m, &response.record), 0x8000);
    EXPECT_EQ(PACKED(response.record.Status), MessageResponseSuccess);
    device.join();

    pollfd queue{plat::queueFd(), POLLIN, 0};
    EXPECT_TRUE(notified || ::poll(&queue, 1, 2000) == 1);
    auto deadline = std::chrono::steady_clock::now() + kLiveness;
    while (!notified && std::chrono::steady_clock::now() < deadline) {
        plat::waitForMessage(50ms);
        plat::Message next;
        while (plat::peekMessage(next)) {
            plat::dispatchMessage(next);
        }
    }
    EXPECT_TRUE(notified);
    plat::unwatch(hold[0]);
    plat::destroyWindow(window);
    ::close(hold[0]);
    ::close(hold[1]);
}

}  // namespace
}  // namespace objlink_testing
