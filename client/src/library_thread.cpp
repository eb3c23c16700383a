#include "library_thread.h"

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "net_delivery.h"
#include "serial_ports.h"
#include "server_launch.h"
#include "static_instance.h"
#include "timers.h"
#include "wire/ipc.h"

namespace hubclient {
namespace {

constexpr const char* kWindowTitleFormat = "%s 0x%X";
constexpr const char* kWindowTitleBase = "HUBCLIENT App";

struct ThreadState {
    std::mutex mutex;
    std::condition_variable started;
    bool ready = false;  // the thread created its window or gave up
    plat::Hwnd window = plat::kNoWindow;
    std::thread thread;
    std::thread::id id;
};

ThreadState& state() {
    return staticInstance<ThreadState>();
}

std::string windowTitle() {
    char title[64];
    std::snprintf(title, sizeof title, kWindowTitleFormat, kWindowTitleBase,
                  static_cast<unsigned>(::getpid()));
    return title;
}

int64_t hiddenWindowProc(plat::Message& m) {
    switch (m.msg) {
        case wire::kMsgNetData:
            deliverNetworkMessage(static_cast<int32_t>(m.wParam), m.payload);
            return 0;
        case wire::kMsgNetDataBatch:
            deliverNetworkBatch(static_cast<int32_t>(m.wParam), m.payload);
            return 0;
        case wire::kMsgCommData:
            deliverCommData(m.payload);
            return 0;
        case plat::kMsgTimer:
            if (!handleServiceTimer(m.hwnd, m.wParam)) {
                reportTimer(m.hwnd, m.wParam);
            }
            return 0;
        case kMsgStartTimer:
            startTimerOnWindow(m.hwnd, m.wParam, static_cast<uint32_t>(m.lParam));
            return 0;
        case kMsgStopTimer:
            plat::killTimer(m.hwnd, m.wParam);
            return 0;
        case kMsgWatchChild:
            watchChildOnWindow(m.hwnd, static_cast<int>(m.wParam));
            return 0;
        case kMsgChildEnded:
            childEnded();
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

void publish(plat::Hwnd window) {
    ThreadState& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.window = window;
    s.ready = true;
    s.started.notify_all();
}

void threadMain() {
    plat::Hwnd window = plat::createWindow(hiddenWindowProc, windowTitle());
    publish(window);
    if (window != plat::kNoWindow) {
        plat::runMessageLoop();
    }
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        state().window = plat::kNoWindow;
    }
    plat::shutdownThreadLoop();
}

}  // namespace

void startLibraryThread() {
    ThreadState& s = state();
    try {
        s.thread = std::thread(threadMain);
        s.id = s.thread.get_id();
    } catch (...) {
        // Without its thread the library loads all the same; every
        // VEKBaseStartup then fails.
        publish(plat::kNoWindow);
    }
}

void stopLibraryThread() {
    ThreadState& s = state();
    if (!s.thread.joinable()) {
        return;
    }
    if (onLibraryThread()) {
        // exit() called from a callback: this thread is ending the process
        // itself and cannot wait for its own end.
        s.thread.detach();
        return;
    }
    plat::Hwnd window = awaitHiddenWindow();
    // A full queue drops the post: try again until the close is queued.
    while (window != plat::kNoWindow &&
           plat::postMessage(window, plat::kMsgClose, 0, 0) == plat::PostResult::Full) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    s.thread.join();
}

plat::Hwnd awaitHiddenWindow() {
    ThreadState& s = state();
    std::unique_lock<std::mutex> lock(s.mutex);
    s.started.wait(lock, [&] { return s.ready; });
    return s.window;
}

plat::Hwnd hiddenWindow() {
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().window;
}

bool onLibraryThread() {
    return std::this_thread::get_id() == state().id;
}

}  // namespace hubclient
