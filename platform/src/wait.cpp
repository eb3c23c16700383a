// Waits that keep the calling thread's window messages flowing (wait.h).
#include "platform/wait.h"

#include <poll.h>

#include <algorithm>

#include "platform/window.h"
#include "thread_owned.h"

namespace plat {
namespace {

struct HookSlot {
    ThreadWaitHook hook;
};

detail::ThreadOwned<HookSlot>& hookSlots() {
    static detail::ThreadOwned<HookSlot> slots;
    return slots;
}

bool isQuit(const Message& m) {
    return m.msg == kMsgQuit && m.hwnd == kNoWindow;
}

// Dispatches what is ready; false when a quit arrived (it is queued again).
bool dispatchReady() {
    Message m;
    while (peekMessage(m)) {
        if (isQuit(m)) {
            postQuitMessage(static_cast<int>(static_cast<int64_t>(m.wParam)));
            return false;
        }
        dispatchMessage(m);
    }
    return true;
}

}  // namespace

ThreadWaitHook setThreadWaitHook(ThreadWaitHook hook) {
    HookSlot* slot = hookSlots().get();
    ThreadWaitHook previous = slot != nullptr ? std::move(slot->hook) : ThreadWaitHook{};
    if (hook) {
        if (slot == nullptr) {
            slot = new HookSlot;
            hookSlots().reset(slot);
        }
        slot->hook = std::move(hook);
    } else if (slot != nullptr) {
        hookSlots().reset();
    }
    return previous;
}

WaitReadiness waitForMessageOrFd(int extraFd, std::chrono::milliseconds timeout) {
    timeout = std::max(timeout, std::chrono::milliseconds{0});
    if (HookSlot* slot = hookSlots().get(); slot != nullptr && slot->hook) {
        // A copy: the hook may replace itself while it runs.
        ThreadWaitHook hook = slot->hook;
        hook(extraFd, timeout);
        return {true, extraFd >= 0};
    }
    pollfd fds[2] = {{queueFd(), POLLIN, 0}, {extraFd, POLLIN, 0}};
    int n = ::poll(fds, extraFd >= 0 ? 2 : 1, static_cast<int>(timeout.count()));
    if (n < 0) {
        return {true, extraFd >= 0};
    }
    return {fds[0].revents != 0, extraFd >= 0 && fds[1].revents != 0};
}

bool processMessagesUntil(const std::function<bool()>& done,
                          std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        if (!dispatchReady()) {
            return done();
        }
        if (done()) {
            return true;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        // Rounded up, so the last sleep does not end a little early and spin.
        waitForMessageOrFd(-1, left + std::chrono::milliseconds{1});
    }
}

void processPendingMessages() {
    dispatchReady();
}

}  // namespace plat
