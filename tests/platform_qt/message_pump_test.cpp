// The Qt adapter: platform messages for windows of the Qt thread run from
// Qt's event loop on that thread, and platform waits on that thread keep
// Qt's events flowing while they sleep.
#include "platform/qt/message_pump.h"

#include <sys/eventfd.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <thread>
#include <vector>

#include "platform/qt/platform_window.h"
#include "platform/wait.h"
#include "window_test_support.h"

namespace plat::qt {
namespace {

using namespace std::chrono_literals;
constexpr uint32_t kMsgPing = 0x8101;
constexpr uint32_t kMsgNested = 0x8102;

class QtPumpTest : public plat::test::RuntimeDirTest {
  protected:
    // Runs Qt's event loop until `done` or the time-out.
    static bool runQtUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (done()) {
                loop.quit();
            }
        });
        QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
        poll.start(5);
        loop.exec();
        return done();
    }
};

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

TEST_F(QtPumpTest, MessagesFromAnotherThreadRunOnTheQtThreadAndSendsGetTheResult) {
    QtMessagePump pump;
    std::thread::id procThread;
    int pings = 0;
    QtPlatformWindow window([&](Message& m) -> int64_t {
        if (m.msg == kMsgPing) {
            procThread = std::this_thread::get_id();
            ++pings;
            return static_cast<int64_t>(m.wParam) * 2;
        }
        return 0;
    });
    ASSERT_TRUE(window.valid());

    std::optional<int64_t> sent;
    std::thread other([&] {
        EXPECT_EQ(postMessage(window.handle(), kMsgPing, 1, 0), PostResult::Ok);
        sent = sendMessageTimeout(window.handle(), kMsgPing, 21, 0, {}, 5000ms);
    });
    EXPECT_TRUE(runQtUntil([&] { return pings == 2; }, 5s));
    other.join();

    EXPECT_EQ(procThread, std::this_thread::get_id());
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(*sent, 42);
    EXPECT_EQ(pump.dispatchedCount(), 2u);
}

TEST_F(QtPumpTest, APlatformWaitOnTheQtThreadKeepsQtTimersRunningAndSleeps) {
    QtMessagePump pump;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);

    double cpuBefore = cpuSeconds();
    bool done =
        processMessagesUntil([] { return false; }, std::chrono::steady_clock::now() + 400ms);
    double cpuUsed = cpuSeconds() - cpuBefore;

    EXPECT_FALSE(done);
    EXPECT_GE(ticks, 8) << "Qt's timer did not run during the wait";
    EXPECT_LT(cpuUsed, 0.2) << "the wait burnt CPU instead of sleeping";
}

TEST_F(QtPumpTest, AWaitEndsWhenTheWaitersDescriptorIsSignalled) {
    QtMessagePump pump;
    int fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    ASSERT_GE(fd, 0);
    std::thread signaller([fd] {
        std::this_thread::sleep_for(50ms);
        ::eventfd_write(fd, 1);
    });
    auto start = std::chrono::steady_clock::now();
    waitForMessageOrFd(fd, 10000ms);
    auto waited = std::chrono::steady_clock::now() - start;
    signaller.join();
    ::close(fd);
    EXPECT_LT(waited, 5s);
}

TEST_F(QtPumpTest, AProcedureThatWaitsStillGetsTheMessagesItWaitsFor) {
    QtMessagePump pump;
    bool innerArrived = false;
    bool outerFinished = false;
    QtPlatformWindow window([&](Message& m) -> int64_t {
        if (m.msg == kMsgNested) {
            innerArrived = true;
        } else if (m.msg == kMsgPing) {
            Hwnd self = m.hwnd;
            std::thread poster([self] { postMessage(self, kMsgNested, 0, 0); });
            outerFinished = processMessagesUntil([&] { return innerArrived; },
                                                 std::chrono::steady_clock::now() + 5s);
            poster.join();
        }
        return 0;
    });
    postMessage(window.handle(), kMsgPing, 0, 0);
    EXPECT_TRUE(runQtUntil([&] { return outerFinished; }, 8s));
    EXPECT_TRUE(innerArrived);
}

// A waiter that takes messages one at a time and leaves once its own came
// (objlink's synchronous request does) may leave later ones queued: Qt's
// loop still dispatches them, at once rather than at the next wait.
TEST_F(QtPumpTest, MessagesLeftQueuedByAWaiterStillRunFromQtsLoop) {
    QtMessagePump pump;
    std::vector<uint64_t> seen;
    QtPlatformWindow window([&](Message& m) -> int64_t {
        if (m.msg == kMsgPing) {
            seen.push_back(m.wParam);
        }
        return 0;
    });
    for (uint64_t i = 0; i < 3; ++i) {
        ASSERT_EQ(postMessage(window.handle(), kMsgPing, i, 0), PostResult::Ok);
    }
    ASSERT_TRUE(waitForMessage(2000ms));
    Message own;
    ASSERT_TRUE(peekMessage(own));
    dispatchMessage(own);  // the waiter's message: it leaves
    ASSERT_EQ(seen, std::vector<uint64_t>{0});

    EXPECT_TRUE(runQtUntil([&] { return seen.size() == 3; }, 2s));
    EXPECT_EQ(seen, (std::vector<uint64_t>{0, 1, 2}));
}

TEST_F(QtPumpTest, ADestroyedWindowOwnerTakesItsWindowAlong) {
    QtMessagePump pump;
    Hwnd handle = kNoWindow;
    {
        QtPlatformWindow window([](Message&) -> int64_t { return 0; });
        handle = window.handle();
        EXPECT_TRUE(isWindow(handle));
    }
    EXPECT_FALSE(isWindow(handle));
    EXPECT_EQ(postMessage(handle, kMsgPing, 0, 0), PostResult::Gone);
}

TEST_F(QtPumpTest, WithoutAPumpAWaitSleepsOnThePlatformQueueAlone) {
    {
        QtMessagePump pump;
        EXPECT_EQ(QtMessagePump::current(), &pump);
    }
    EXPECT_EQ(QtMessagePump::current(), nullptr);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    processMessagesUntil([] { return false; }, std::chrono::steady_clock::now() + 100ms);
    EXPECT_EQ(ticks, 0);
}

}  // namespace
}  // namespace plat::qt
