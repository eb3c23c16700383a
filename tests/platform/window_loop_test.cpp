// Message loops within one process: posts and sends on one thread and
// between threads, timers, watched descriptors, destruction and teardown.
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

#include "window_test_support.h"

namespace plat::test {
namespace {

using namespace std::chrono_literals;

constexpr uint32_t kMsgUser = 0x400;

class WindowLoopTest : public RuntimeDirTest {};

// A window on its own thread; runs its loop until the test ends.
class WindowThread {
  public:
    explicit WindowThread(WindowProc proc) {
        std::promise<Hwnd> ready;
        auto handle = ready.get_future();
        thread_ = std::thread([&ready, proc = std::move(proc)]() mutable {
            Hwnd h = createWindow([proc](Message& m) {
                if (m.msg == kMsgClose) {
                    postQuitMessage(0);
                    return int64_t{0};
                }
                return proc(m);
            });
            ready.set_value(h);
            runMessageLoop();
            shutdownThreadLoop();
        });
        hwnd_ = handle.get();
    }
    ~WindowThread() {
        postMessage(hwnd_, kMsgClose, 0, 0);
        thread_.join();
    }
    Hwnd hwnd() const { return hwnd_; }

  private:
    std::thread thread_;
    Hwnd hwnd_ = kNoWindow;
};

TEST_F(WindowLoopTest, PostsArriveInOrderWithTheirPayloadOnTheSameThread) {
    std::vector<std::pair<uint64_t, std::vector<uint8_t>>> seen;
    Hwnd h = createWindow([&](Message& m) {
        if (m.msg == kMsgUser) {
            seen.emplace_back(
                m.wParam, std::vector<uint8_t>(m.payload.bytes().begin(), m.payload.bytes().end()));
        }
        return int64_t{0};
    });
    ASSERT_NE(h, kNoWindow);
    EXPECT_TRUE(isWindow(h));
    for (uint64_t i = 0; i < 50; ++i) {
        uint8_t b = static_cast<uint8_t>(i);
        ASSERT_EQ(postMessage(h, kMsgUser, i, 0, Payload::copyOf(&b, 1)), PostResult::Ok);
    }
    ASSERT_TRUE(pumpUntil([&] { return seen.size() == 50; }, 5s));
    for (uint64_t i = 0; i < 50; ++i) {
        EXPECT_EQ(seen[i].first, i);
        EXPECT_EQ(seen[i].second, std::vector<uint8_t>{static_cast<uint8_t>(i)});
    }
}

// The process id the loop keeps is read again in a forked child: the
// child's windows name the child, and a send from the parent reaches it.
TEST_F(WindowLoopTest, ForkedChildsWindowsNameTheChild) {
    Hwnd parent = createWindow([](Message&) { return int64_t{0}; });
    ASSERT_EQ(parent >> 32, static_cast<uint64_t>(::getpid()));
    int toParent[2];
    ASSERT_EQ(::pipe(toParent), 0);
    pid_t child = ::fork();
    if (child == 0) {
        shutdownThreadLoop();  // the parent's loop is not the child's
        Hwnd own = createWindow([](Message& m) { return static_cast<int64_t>(m.wParam) + 1; });
        [[maybe_unused]] ssize_t w = ::write(toParent[1], &own, sizeof own);
        Message m;
        while (getMessage(m)) {
            dispatchMessage(m);
        }
        ::_exit(0);
    }
    Hwnd childWindow = kNoWindow;
    ASSERT_EQ(::read(toParent[0], &childWindow, sizeof childWindow),
              static_cast<ssize_t>(sizeof childWindow));
    EXPECT_EQ(childWindow >> 32, static_cast<uint64_t>(child));
    EXPECT_EQ(sendMessageTimeout(childWindow, kMsgUser, 41, 0, {}, 5s), std::optional<int64_t>(42));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(toParent[0]);
    ::close(toParent[1]);
    destroyWindow(parent);
}

TEST_F(WindowLoopTest, SendToOwnThreadCallsTheProcedureDirectly) {
    Hwnd h = createWindow([](Message& m) { return m.isSend ? m.lParam + 1 : -1; });
    ASSERT_NE(h, kNoWindow);
    EXPECT_EQ(sendMessageTimeout(h, kMsgUser, 0, 41, {}, 100ms), 42);
}

TEST_F(WindowLoopTest, SendAcrossThreadsReturnsTheResultAndKeepsCallerQueue) {
    std::atomic<uint32_t> senderPid{0};
    WindowThread other([&](Message& m) {
        senderPid = m.senderPid;
        return static_cast<int64_t>(m.wParam * 10);
    });
    int ownCalls = 0;
    Hwnd mine = createWindow([&](Message& m) { return m.msg == kMsgUser ? ++ownCalls : 0; });
    ASSERT_EQ(postMessage(mine, kMsgUser, 0, 0), PostResult::Ok);
    for (uint64_t i = 1; i <= 20; ++i) {
        EXPECT_EQ(sendMessageTimeout(other.hwnd(), kMsgUser, i, 0, {}, 2s), int64_t(i * 10));
    }
    EXPECT_EQ(senderPid.load(), static_cast<uint32_t>(::getpid()));
    EXPECT_EQ(ownCalls, 0);  // the post waited in the queue during the sends
    ASSERT_TRUE(pumpUntil([&] { return ownCalls == 1; }, 2s));
}

TEST_F(WindowLoopTest, ReplyDataComesBackFromThisAndAnotherThread) {
    auto answer = [](Message& m) {
        m.reply = Payload::copyOf("pong", 4);
        return int64_t{3};
    };
    WindowThread other(answer);
    Hwnd mine = createWindow(answer);
    for (Hwnd target : {mine, other.hwnd()}) {
        auto r = sendMessageTimeoutWithReply(target, kMsgUser, 0, 0, {}, 2s);
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(r->result, 3);
        EXPECT_EQ(std::string(r->reply.bytes().begin(), r->reply.bytes().end()), "pong");
    }
}

TEST_F(WindowLoopTest, BurstOfPostsAcrossThreadsIsNotDropped) {
    std::atomic<int> received{0};
    WindowThread other([&](Message&) {
        ++received;
        return int64_t{0};
    });
    uint64_t droppedBefore = droppedPostCount();
    for (int i = 0; i < 5000; ++i) {
        ASSERT_EQ(postMessage(other.hwnd(), kMsgUser, 0, 0), PostResult::Ok);
    }
    auto deadline = std::chrono::steady_clock::now() + 10s;
    while (received < 5000 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(received.load(), 5000);
    EXPECT_EQ(droppedPostCount(), droppedBefore);
}

TEST_F(WindowLoopTest, LargePayloadBetweenThreadsArrivesWhole) {
    std::promise<std::vector<uint8_t>> got;
    WindowThread other([&](Message& m) {
        if (m.msg == kMsgUser) {
            got.set_value(std::vector<uint8_t>(m.payload.bytes().begin(), m.payload.bytes().end()));
        }
        return int64_t{0};
    });
    auto bytes = patternBytes(300 * 1024);
    ASSERT_EQ(postMessage(other.hwnd(), kMsgUser, 0, 0, Payload::fromBytes(bytes)), PostResult::Ok);
    auto f = got.get_future();
    ASSERT_EQ(f.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(f.get(), bytes);
}

TEST_F(WindowLoopTest, DestroyedWindowGetsDestroyAndNothingAfterwards) {
    std::vector<uint32_t> seen;
    Hwnd h = createWindow([&](Message& m) {
        seen.push_back(m.msg);
        return int64_t{0};
    });
    ASSERT_EQ(postMessage(h, kMsgUser, 0, 0), PostResult::Ok);
    ASSERT_TRUE(setTimer(h, 1, 1));
    ASSERT_TRUE(destroyWindow(h));
    EXPECT_EQ(seen, std::vector<uint32_t>{kMsgDestroy});
    EXPECT_FALSE(isWindow(h));
    EXPECT_FALSE(destroyWindow(h));
    EXPECT_FALSE(setTimer(h, 2, 10));
    EXPECT_EQ(postMessage(h, kMsgUser, 0, 0), PostResult::Gone);
    EXPECT_EQ(sendMessageTimeout(h, kMsgUser, 0, 0, {}, 100ms), std::nullopt);
    pumpUntil([] { return false; }, 50ms);
    EXPECT_EQ(seen, std::vector<uint32_t>{kMsgDestroy});
}

TEST_F(WindowLoopTest, SendToWindowDestroyedWhileQueuedReturnsWithoutWaitingOut) {
    std::promise<void> destroyNow;
    auto destroySignal = destroyNow.get_future().share();
    std::promise<Hwnd> ready;
    std::thread owner([&] {
        Hwnd h = createWindow([](Message&) { return int64_t{1}; });
        ready.set_value(h);
        destroySignal.wait();
        destroyWindow(h);
        pumpUntil([] { return false; }, 300ms);  // drops the queued send
        shutdownThreadLoop();
    });
    Hwnd h = ready.get_future().get();
    auto start = std::chrono::steady_clock::now();
    auto pending = std::async(std::launch::async, [&] {
        auto r = sendMessageTimeout(h, kMsgUser, 0, 0, {}, 10s);
        shutdownThreadLoop();
        return r;
    });
    std::this_thread::sleep_for(50ms);
    destroyNow.set_value();
    EXPECT_EQ(pending.get(), std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    owner.join();
}

TEST_F(WindowLoopTest, TimerFiresAboutAtItsIntervalUntilKilled) {
    int ticks = 0;
    Hwnd h = createWindow([&](Message& m) {
        if (m.msg == kMsgTimer && m.wParam == 9) {
            ++ticks;
        }
        return int64_t{0};
    });
    ASSERT_TRUE(setTimer(h, 9, 20));
    pumpUntil([] { return false; }, 500ms);
    // 25 intervals; the bounds only catch a timer that fires far too often or
    // hardly at all.
    EXPECT_GE(ticks, 8);
    EXPECT_LE(ticks, 26);
    ASSERT_TRUE(killTimer(h, 9));
    EXPECT_FALSE(killTimer(h, 9));
    int afterKill = ticks;
    pumpUntil([] { return false; }, 100ms);
    EXPECT_EQ(ticks, afterKill);
}

TEST_F(WindowLoopTest, WatchGivesOneMessagePerReadinessAndRearmsAfterHandling) {
    int sv[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0, sv), 0);
    constexpr uint32_t kReadable = 1124;
    int notifications = 0;
    std::vector<char> read;
    bool readInHandler = true;
    Hwnd h = createWindow([&](Message& m) {
        if (m.msg == kReadable && static_cast<int>(m.wParam) == sv[0]) {
            ++notifications;
            char c;
            if (readInHandler && ::recv(sv[0], &c, 1, MSG_DONTWAIT) == 1) {
                read.push_back(c);
            }
        }
        return int64_t{0};
    });
    ASSERT_TRUE(watchReadable(sv[0], h, kReadable));
    for (char c : {'a', 'b', 'c'}) {
        ASSERT_EQ(::send(sv[1], &c, 1, 0), 1);
    }
    ASSERT_TRUE(pumpUntil([&] { return read.size() == 3; }, 2s));
    EXPECT_EQ(read, (std::vector<char>{'a', 'b', 'c'}));
    EXPECT_EQ(notifications, 3);

    // Data left unread: one notification now, and one more after each handling.
    readInHandler = false;
    ASSERT_EQ(::send(sv[1], "x", 1, 0), 1);
    Message m;
    ASSERT_TRUE(waitForMessage(2s));
    ASSERT_TRUE(peekMessage(m));
    EXPECT_FALSE(waitForMessage(50ms));  // not re-armed before the procedure ran
    dispatchMessage(m);
    EXPECT_TRUE(waitForMessage(2s));  // re-armed: still readable

    unwatch(sv[0]);
    pumpUntil([] { return false; }, 50ms);
    int afterUnwatch = notifications;
    pumpUntil([] { return false; }, 50ms);
    EXPECT_EQ(notifications, afterUnwatch);
    ::close(sv[0]);
    ::close(sv[1]);
}

TEST_F(WindowLoopTest, QuitEndsTheLoopWithItsExitCodeAndQueueFdSignalsWork) {
    Hwnd h = createWindow([](Message& m) {
        if (m.msg == kMsgClose) {
            postQuitMessage(5);
        }
        return int64_t{0};
    });
    pollfd p{queueFd(), POLLIN, 0};
    EXPECT_EQ(::poll(&p, 1, 0), 0);
    ASSERT_EQ(postMessage(h, kMsgClose, 0, 0), PostResult::Ok);
    EXPECT_EQ(::poll(&p, 1, 2000), 1);
    EXPECT_EQ(runMessageLoop(), 5);
}

// A caller that takes one message and stops (a wait whose own message came)
// leaves the others queued: queueFd() must stay readable for them, or an
// outer loop watching it never dispatches them. Once everything is taken,
// it is quiet again (an outer loop would otherwise spin).
TEST_F(WindowLoopTest, QueueFdStaysReadableWhileMessagesAreLeftQueued) {
    int sv[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0, sv), 0);
    constexpr uint32_t kReadable = 1124;
    struct Case {
        const char* name;
        int posts;
        bool watched;  // plus a readiness of a watched descriptor
    };
    const Case cases[] = {
        {"two posts", 2, false},
        {"three posts", 3, false},
        {"a post and a watched descriptor", 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Hwnd h = createWindow([](Message&) { return int64_t{0}; });
        ASSERT_NE(h, kNoWindow);
        for (int i = 0; i < c.posts; ++i) {
            ASSERT_EQ(postMessage(h, kMsgUser, static_cast<uint64_t>(i), 0), PostResult::Ok);
        }
        if (c.watched) {
            ASSERT_TRUE(watchReadable(sv[0], h, kReadable));
            ASSERT_EQ(::send(sv[1], "x", 1, 0), 1);
        }
        const int expected = c.posts + (c.watched ? 1 : 0);
        pollfd p{queueFd(), POLLIN, 0};
        ASSERT_EQ(::poll(&p, 1, 2000), 1);
        for (int taken = 0; taken < expected; ++taken) {
            ASSERT_EQ(::poll(&p, 1, 0), 1) << "before message " << taken;
            Message m;
            ASSERT_TRUE(peekMessage(m)) << "message " << taken;
            if (m.msg == kReadable) {
                char ignored;
                ASSERT_EQ(::recv(sv[0], &ignored, 1, 0), 1);
            }
            dispatchMessage(m);
        }
        Message none;
        EXPECT_FALSE(peekMessage(none));
        EXPECT_EQ(::poll(&p, 1, 0), 0);
        unwatch(sv[0]);
        destroyWindow(h);
    }
    ::close(sv[0]);
    ::close(sv[1]);
}

TEST_F(WindowLoopTest, WaitingUsesNoCpu) {
    std::promise<Hwnd> ready;
    std::thread hung([&] {
        Hwnd h = createWindow([](Message&) { return int64_t{0}; });
        ready.set_value(h);
        std::this_thread::sleep_for(1500ms);  // never dispatches the send
        shutdownThreadLoop();
    });
    Hwnd h = ready.get_future().get();
    long before = threadCpuMicros();
    EXPECT_FALSE(waitForMessage(600ms));
    EXPECT_EQ(sendMessageTimeout(h, kMsgUser, 0, 0, {}, 600ms), std::nullopt);
    EXPECT_LT(threadCpuMicros() - before, 150000L);  // 1.2 s of waiting, well under 150 ms CPU
    hung.join();
}

TEST_F(WindowLoopTest, TeardownLeavesNoDescriptorsOrSocketsBehind) {
    // The process keeps one spare descriptor for refusing connections when it
    // runs out of descriptors, taken with its first listening loop: a loop
    // made and ended first takes it, so the count below sees only this loop.
    {
        WindowThread first([](Message&) { return int64_t{0}; });
    }
    int before = openFdCount();
    {
        WindowThread other([](Message& m) { return static_cast<int64_t>(m.payload.size()); });
        Hwnd h = createWindow([](Message&) { return int64_t{0}; }, "teardown-title");
        ASSERT_NE(h, kNoWindow);
        ASSERT_TRUE(setTimer(h, 1, 5));
        int sv[2];
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0, sv), 0);
        ASSERT_TRUE(watchReadable(sv[0], h, kMsgUser));
        EXPECT_EQ(sendMessageTimeout(other.hwnd(), kMsgUser, 0, 0,
                                     Payload::fromBytes(patternBytes(100 * 1024)), 2s),
                  100 * 1024);
        pumpUntil([] { return false; }, 30ms);
        shutdownThreadLoop();
        ::close(sv[0]);
        ::close(sv[1]);
    }
    EXPECT_EQ(openFdCount(), before);
    std::vector<std::string> left;
    for (auto& e : std::filesystem::directory_iterator(runtime_)) {
        std::string name = e.path().filename();
        if (name.find(".lock") == std::string::npos) {
            left.push_back(name);
        }
    }
    EXPECT_TRUE(left.empty()) << left.front();
}

}  // namespace
}  // namespace plat::test
