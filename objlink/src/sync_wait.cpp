#include "sync_wait.h"

#include <sys/eventfd.h>
#include <unistd.h>

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

// Sleeps until the thread's queue or the wake descriptor is ready. On a
// thread with an outer event loop (Qt) the platform's wait hook sleeps and
// keeps that loop's events flowing too.
void sleepUntilReady(int wakeFd) {
    plat::waitForMessageOrFd(
        wakeFd, std::chrono::milliseconds{wakeFd >= 0 ? kSafetyPollMs : kFallbackPollMs});
}

}  // namespace

int threadWakeFd() {
    thread_local WakeFd wake;
    return wake.fd;
}

WaitEnd waitForSyncResponse(int32_t registrationId, int32_t internalId) {
    int wakeFd = threadWakeFd();
    for (;;) {
        // Drained before the checks: a completion after them leaves the
        // descriptor readable, so the sleep below ends at once.
        drain(wakeFd);
        if (!isRegistered(registrationId)) {
            return WaitEnd::RegistrationGone;
        }
        if (takeSyncResponse(internalId)) {
            return WaitEnd::Completed;
        }
        plat::Message m;
        if (plat::peekMessage(m)) {
            if (isQuit(m)) {
                plat::postQuitMessage(static_cast<int>(static_cast<int64_t>(m.wParam)));
                return WaitEnd::Quit;
            }
            plat::dispatchMessage(m);
            continue;
        }
        sleepUntilReady(wakeFd);
    }
}

}  // namespace objlink
