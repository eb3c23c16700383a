#include "sync_wait.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>

#include "platform/wait.h"
#include "platform/window.h"
#include "registrations.h"
#include "sync_responses.h"

namespace objlink {
namespace {

// Every completion and every cleanup wakes the waiter; the poll time-out is
// only a safety net, long enough to cost nothing.
constexpr int kSafetyPollMs = 1000;
// Without a wake descriptor completions are noticed by polling.
constexpr int kFallbackPollMs = 10;

struct WakeFd {
    WakeFd() : fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~WakeFd() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    int fd;
};

void drain(int fd) {
    eventfd_t ignored = 0;
    if (fd >= 0) {
        ::eventfd_read(fd, &ignored);
    }
}

bool isQuit(const plat::Message& m) {
    return m.msg == plat::kMsgQuit && m.hwnd == plat::kNoWindow;
}

// Sleeps until the thread's queue or the wake descriptor is ready, or the
// deadline passes. On a thread with an outer event loop (Qt) the platform's
// wait hook sleeps and keeps that loop's events flowing too.
plat::WaitReadiness sleepUntilReady(int wakeFd, std::chrono::steady_clock::time_point deadline) {
    using namespace std::chrono;
    auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count() + 1;
    int cap = wakeFd >= 0 ? kSafetyPollMs : kFallbackPollMs;
    return plat::waitForMessageOrFd(wakeFd, milliseconds{std::clamp<int64_t>(left, 0, cap)});
}

}  // namespace

thread_local int tOwnWakeFd = -1;  // the calling thread's, once made

int threadWakeFd() {
    thread_local WakeFd wake;
    tOwnWakeFd = wake.fd;
    return wake.fd;
}

bool isThreadWakeFd(int fd) {
    return fd >= 0 && fd == tOwnWakeFd;
}

WaitEnd waitForSyncResponse(int32_t registrationId, int32_t internalId,
                            std::chrono::steady_clock::time_point deadline) {
    int wakeFd = threadWakeFd();
    // The queue is looked at first (it may hold messages collected before
    // the wait), then again only when the sleep ended because it had work.
    // The wake descriptor is drained only after it woke the sleep and before
    // the lists are checked again: a completion after that check leaves it
    // readable, so the next sleep ends at once.
    bool lookAtQueue = true;
    for (;;) {
        if (!isRegistered(registrationId)) {
            return WaitEnd::RegistrationGone;
        }
        if (takeSyncResponse(internalId)) {
            return WaitEnd::Completed;
        }
        plat::Message m;
        if (lookAtQueue && plat::peekMessage(m)) {
            if (isQuit(m)) {
                plat::postQuitMessage(static_cast<int>(static_cast<int64_t>(m.wParam)));
                return WaitEnd::Quit;
            }
            plat::dispatchMessage(m);
            continue;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return WaitEnd::TimedOut;
        }
        plat::WaitReadiness ready = sleepUntilReady(wakeFd, deadline);
        lookAtQueue = ready.queue || wakeFd < 0;
        if (ready.extra) {
            drain(wakeFd);
        }
    }
}

}  // namespace objlink
