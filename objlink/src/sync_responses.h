// Completed synchronous requests, waiting for their sender to pick them up.
// Each completion also wakes the waiting thread through its wake descriptor.
#pragma once

#include <cstdint>
#include <list>

namespace objlink {

struct SyncResponse {
    int32_t registrationId = 0;
    int32_t internalId = 0;  // the outstanding request it completes
    int wakeFd = -1;         // the waiting thread's wake descriptor, or -1
};

// One entry, allocated when the request is sent so that completing it needs
// no memory.
using SyncSlot = std::list<SyncResponse>;

// Appends the prepared entry to the list and wakes its waiter. The slot is
// empty afterwards.
void handOverSyncResponse(SyncSlot& slot);

// Removes the entry of the request; false when it is not (or no longer) there.
bool takeSyncResponse(int32_t internalId);

// Drops the registration's entries and wakes their waiters.
void dropSyncResponses(int32_t registrationId);

// Signals a wake descriptor (an eventfd); -1, and the calling thread's own
// descriptor, do nothing.
void wakeWaiter(int wakeFd);

}  // namespace objlink
