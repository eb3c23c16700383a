// The wait of a synchronous request on the calling thread. The thread keeps
// dispatching its own platform messages while it waits, and sleeps on its
// message queue and a wake descriptor in between, so a waiting thread uses
// no CPU.
#pragma once

#include <chrono>
#include <cstdint>

namespace objlink {

// The calling thread's wake descriptor (an eventfd made on first use and
// closed when the thread ends), or -1 when none could be made.
int threadWakeFd();

// True when `fd` is the calling thread's wake descriptor.
bool isThreadWakeFd(int fd);

enum class WaitEnd {
    Completed,         // the request's synchronous entry was taken
    RegistrationGone,  // the registration was cleaned up meanwhile
    Quit,              // a quit request arrived; it was queued again
    TimedOut,          // the deadline passed first
};

WaitEnd waitForSyncResponse(int32_t registrationId, int32_t internalId,
                            std::chrono::steady_clock::time_point deadline);

}  // namespace objlink
