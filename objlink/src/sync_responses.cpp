#include "sync_responses.h"

#include <sys/eventfd.h>

#include <mutex>

#include "sync_wait.h"

namespace objlink {
namespace {

struct SyncResponses {
    std::mutex mutex;  // SyncResponseListSemaphore
    std::list<SyncResponse> list;
};

SyncResponses& syncResponses() {
    static SyncResponses* s = new SyncResponses;
    return *s;
}

}  // namespace

void wakeWaiter(int wakeFd) {
    // A waiter's own thread completes its request while the waiter
    // dispatches a message, and it looks at the lists after every one: no
    // wake-up needed.
    if (wakeFd >= 0 && !isThreadWakeFd(wakeFd)) {
        ::eventfd_write(wakeFd, 1);
    }
}

void handOverSyncResponse(SyncSlot& slot) {
    if (slot.empty()) {
        return;
    }
    int wakeFd = slot.front().wakeFd;
    SyncResponses& s = syncResponses();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.list.splice(s.list.end(), slot);
    // Woken under the lock: the waiter cannot take the entry and leave (its
    // thread possibly closing the descriptor) before this write.
    wakeWaiter(wakeFd);
}

bool takeSyncResponse(int32_t internalId) {
    SyncResponses& s = syncResponses();
    std::lock_guard<std::mutex> lock(s.mutex);
    size_t before = s.list.size();
    s.list.remove_if([&](const SyncResponse& x) { return x.internalId == internalId; });
    return s.list.size() != before;
}

void dropSyncResponses(int32_t registrationId) {
    SyncResponses& s = syncResponses();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.list.remove_if([&](const SyncResponse& x) {
        if (x.registrationId != registrationId) {
            return false;
        }
        wakeWaiter(x.wakeFd);
        return true;
    });
}

}  // namespace objlink
