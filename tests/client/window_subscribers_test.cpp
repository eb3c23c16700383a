// Window subscribers and window timers: windows of the platform layer owned
// by another thread of the same process.
#include <future>

#include "platform/window.h"
#include "session_fixture.h"

namespace client_testing {
namespace {

constexpr uint32_t kReceiveMsg = 0x0500;
constexpr uint32_t kMonitorMsg = 0x0501;
constexpr uint32_t kTimerMsg = 0x0502;

// A thread with its own message loop and one window that records what it gets;
// for network messages it copies the _Message that lParam points to.
class WindowThread {
  public:
    WindowThread() {
        std::promise<plat::Hwnd> created;
        auto window = created.get_future();
        thread_ = std::thread([this, &created] {
            plat::Hwnd hwnd = plat::createWindow([this](plat::Message& m) { return handle(m); });
            created.set_value(hwnd);
            plat::runMessageLoop();
            plat::shutdownThreadLoop();
        });
        window_ = window.get();
    }
    ~WindowThread() {
        plat::postMessage(window_, plat::kMsgClose, 0, 0);
        thread_.join();
    }

    plat::Hwnd window() const { return window_; }
    Recorder& got(uint32_t msg) {
        return msg == kReceiveMsg ? receive_ : msg == kMonitorMsg ? monitor_ : timer_;
    }

  private:
    int64_t handle(plat::Message& m) {
        switch (m.msg) {
            case kReceiveMsg:
            case kMonitorMsg: {
                auto* message = reinterpret_cast<const _Message*>(m.lParam);
                got(m.msg).add(message, static_cast<uint32_t>(m.wParam));
                return 0;
            }
            case kTimerMsg:
                timer_.add(Delivery{0, {}, static_cast<uint32_t>(m.wParam)});
                return 0;
            case plat::kMsgClose:
                plat::destroyWindow(m.hwnd);
                return 0;
            case plat::kMsgDestroy:
                plat::postQuitMessage(0);
                return 0;
            default:
                return 0;
        }
    }

    std::thread thread_;
    plat::Hwnd window_ = plat::kNoWindow;
    Recorder receive_;
    Recorder monitor_;
    Recorder timer_;
};

TEST_F(ServerSession, WindowSubscribersGetTheMessageDuringTheCall) {
    WindowThread app;
    ASSERT_NE(app.window(), plat::kNoWindow);
    ASSERT_GE(RegisterReceiveCallback_Window(registration_, app.window(), kReceiveMsg), 1);
    ASSERT_GE(RegisterNetMonCallback_Window(registration_, app.window(), kMonitorMsg), 1);
    // Nothing listens on 127.0.0.3: the datagram comes back to the server's
    // own socket and arrives as received.
    auto bytes = datagram(0x0021, 0x0003, 0x8000, "data");
    ASSERT_EQ(sendTo(0x7F000003, bytes), 1);

    ASSERT_TRUE(app.got(kMonitorMsg).waitFor(2));
    ASSERT_TRUE(app.got(kReceiveMsg).waitFor(1));
    auto monitored = app.got(kMonitorMsg).items();
    EXPECT_EQ(monitored[0].extra, MessageSent);
    EXPECT_EQ(monitored[0].address, 0x7F000003u);
    EXPECT_EQ(monitored[0].bytes, bytes);
    EXPECT_EQ(monitored[1].extra, MessageReceived);
    auto received = app.got(kReceiveMsg).items();
    EXPECT_EQ(received[0].extra, 0u);
    EXPECT_EQ(received[0].bytes, bytes);
}

TEST_F(ServerSession, WindowTimerPostsItsMessageWithTheTimerId) {
    WindowThread app;
    int32_t timer = InstallTimer_Window(registration_, 20, app.window(), kTimerMsg);
    ASSERT_GE(timer, 1);
    ASSERT_TRUE(app.got(kTimerMsg).waitFor(3));
    EXPECT_EQ(RemoveTimer(registration_, timer), 0);
    for (const Delivery& d : app.got(kTimerMsg).items()) {
        EXPECT_EQ(d.extra, static_cast<uint32_t>(timer));
    }
}

Recorder gFence;

void toFence(_Message* m, NetMonCBReason_t reason) {
    gFence.add(m, reason);
}

// A window whose thread does not answer for more than 10000 ms loses its
// subscription; the library thread then goes on with the other subscribers.
TEST_F(ServerSession, WindowThatDoesNotAnswerInTimeLosesItsSubscription) {
    gFence.clear();
    ASSERT_GE(RegisterNetMonCallback_CB(registration_, toFence), 1);  // oldest: served last
    std::promise<plat::Hwnd> created;
    std::promise<void> release;
    std::thread blocked([&] {
        plat::Hwnd hwnd = plat::createWindow([](plat::Message&) { return int64_t{0}; });
        created.set_value(hwnd);
        release.get_future().wait();  // never handles its messages meanwhile
        plat::shutdownThreadLoop();
    });
    plat::Hwnd window = created.get_future().get();
    int32_t subscriber = RegisterNetMonCallback_Window(registration_, window, kMonitorMsg);
    ASSERT_GE(subscriber, 1);
    ASSERT_EQ(sendTo(kPeerAddress, datagram(0x0005, 0x0001, 0x8000)), 1);
    EXPECT_TRUE(gFence.waitFor(1, std::chrono::seconds(30)));
    release.set_value();
    blocked.join();
    EXPECT_EQ(UnRegisterNetMonCallback(registration_, subscriber), VEK_ERR_BAD_ARG);
}

}  // namespace
}  // namespace client_testing
