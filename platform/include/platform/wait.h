// Waits that keep the calling thread's window messages flowing.
//
// A thread that runs an outer event loop (a Qt GUI thread) installs a wait
// hook: every wait below then sleeps through the hook, which also processes
// the outer loop's events, instead of sleeping on the platform queue alone.
// Without a hook the waits sleep in poll() on the queue. Neither spins.
#pragma once

#include <chrono>
#include <functional>

namespace plat {

// Sleeps until the calling thread's platform queue has work, `extraFd` is
// readable (-1: none) or `timeout` passed. An installed hook must do the same
// and may process its own events meanwhile.
using ThreadWaitHook = std::function<void(int extraFd, std::chrono::milliseconds timeout)>;

// Installs the calling thread's hook (empty: none) and returns the previous one.
ThreadWaitHook setThreadWaitHook(ThreadWaitHook hook);

// What ended a sleep. A sleep through a hook, or one interrupted by a
// signal, reports both as ready: the caller looks at both again.
struct WaitReadiness {
    bool queue = false;
    bool extra = false;
};

// One sleep as described above, through the hook when the thread has one.
WaitReadiness waitForMessageOrFd(int extraFd, std::chrono::milliseconds timeout);

// Dispatches the calling thread's messages until `done()` holds or the
// deadline passes, sleeping in between. A quit message is queued again and
// ends the wait. Returns `done()`.
bool processMessagesUntil(const std::function<bool()>& done,
                          std::chrono::steady_clock::time_point deadline);

// Dispatches every message that is ready now, without sleeping.
void processPendingMessages();

}  // namespace plat
