#include "outstanding_requests.h"

#include <algorithm>
#include <cstring>
#include <list>
#include <mutex>
#include <optional>

#include "callback_scope.h"
#include "hubclient.h"
#include "registrations.h"

namespace objlink {
namespace {

using RequestList = std::list<OutstandingRequest>;

struct OutstandingRequests {
    std::mutex mutex;  // ResponseListSemaphore
    RequestList list;
};

OutstandingRequests& outstanding() {
    static OutstandingRequests* o = new OutstandingRequests;
    return *o;
}

uint16_t withoutResponseFlag(uint16_t messageId) {
    return static_cast<uint16_t>(messageId & ~kResponseFlag);
}

bool answers(const OutstandingRequest& r, const IncomingMessage& m) {
    return withoutResponseFlag(r.messageId) == withoutResponseFlag(m.header.messageId) &&
           r.messageNumber == m.header.messageNumber && r.address == m.source;
}

// Moves the first request satisfying `pred` out of the list into `taken`.
template <typename Pred>
bool takeRequest(RequestList& list, RequestList& taken, Pred pred) {
    auto it = std::find_if(list.begin(), list.end(), pred);
    if (it == list.end()) {
        return false;
    }
    taken.splice(taken.end(), list, it);
    return true;
}

// A synchronous request has no timer: its waiter keeps the deadline.
void removeTimerOf(const OutstandingRequest& r) {
    if (r.timerId > 0) {
        RemoveTimer(r.baseRegistrationId, r.timerId);
    }
}

void fillFromResponse(const OutstandingRequest& r, const IncomingMessage& m) {
    VEKMessageResponse_t* rec = r.response;
    uint16_t length = recordedLength(m);
    uint16_t capacity = rec->MaxDataLength;  // a copy: the record is packed
    rec->DataLength = length;
    rec->Status = length <= capacity ? MessageResponseSuccess : MessageResponseFailure;
    std::memcpy(rec->DataPtr, m.data.data(), std::min(length, capacity));
    rec->ObjectID = m.header.objectId;
    rec->MessageID = withoutResponseFlag(m.header.messageId);
    rec->MessageNumber = m.header.messageNumber;
    rec->Address.Address = m.source;
}

void fillAsTimedOut(const OutstandingRequest& r) {
    VEKMessageResponse_t* rec = r.response;
    rec->Status = MessageResponseTimeOut;
    rec->ObjectID = r.objectId;
    rec->MessageID = withoutResponseFlag(r.messageId);
    rec->MessageNumber = r.messageNumber;
    rec->DataLength = 0;
    rec->Address.Address = r.address;
}

// Called with the list lock held, the request already taken out of the list
// and its record filled: a synchronous one goes to its waiter (false); an
// asynchronous one is reported by the caller once the lock is released
// (true), a callback marked as running for its registration first. Window
// reports are not marked: a cleanup on the window's thread must not wait
// for a send that thread would have to answer.
bool finish(OutstandingRequest& r, std::optional<CallbackScope>& scope) {
    if (!r.target.isAsynchronous()) {
        handOverSyncResponse(r.syncSlot);
        return false;
    }
    if (r.target.callback != nullptr) {
        scope.emplace(r.registrationId);
    }
    return true;
}

}  // namespace

bool addOutstandingRequest(std::list<OutstandingRequest>& node) {
    OutstandingRequests& o = outstanding();
    return whileRegistered(node.front().registrationId, [&] {
        std::lock_guard<std::mutex> lock(o.mutex);
        o.list.splice(o.list.end(), node);
    });
}

bool withdrawOutstandingRequest(int32_t internalId, bool markTimedOut) {
    OutstandingRequests& o = outstanding();
    RequestList taken;
    {
        std::lock_guard<std::mutex> lock(o.mutex);
        if (!takeRequest(o.list, taken,
                         [&](const OutstandingRequest& r) { return r.internalId == internalId; })) {
            return false;
        }
    }
    const OutstandingRequest& r = taken.front();
    removeTimerOf(r);
    if (markTimedOut) {
        fillAsTimedOut(r);
    }
    return true;
}

void completeWithResponse(const IncomingMessage& message) {
    OutstandingRequests& o = outstanding();
    RequestList taken;
    std::optional<CallbackScope> scope;
    bool reportLater = false;
    {
        std::lock_guard<std::mutex> lock(o.mutex);
        if (!takeRequest(o.list, taken,
                         [&](const OutstandingRequest& r) { return answers(r, message); })) {
            return;
        }
        OutstandingRequest& r = taken.front();
        removeTimerOf(r);
        fillFromResponse(r, message);
        reportLater = finish(r, scope);
    }
    OutstandingRequest& r = taken.front();
    if (reportLater) {
        report(r.target, r.response, WindowReport::Post);
    }
}

void completeWithTimeOut(uint32_t timerParameter) {
    auto internalId = static_cast<int32_t>(timerParameter & ~kAsynchronousFlag);
    OutstandingRequests& o = outstanding();
    RequestList taken;
    std::optional<CallbackScope> scope;
    bool reportLater = false;
    {
        std::lock_guard<std::mutex> lock(o.mutex);
        if (!takeRequest(o.list, taken,
                         [&](const OutstandingRequest& r) { return r.internalId == internalId; })) {
            return;
        }
        OutstandingRequest& r = taken.front();
        removeTimerOf(r);
        fillAsTimedOut(r);
        reportLater = finish(r, scope);
    }
    OutstandingRequest& r = taken.front();
    if (reportLater) {
        report(r.target, r.response, WindowReport::Send);
    }
}

void dropOutstandingRequests(int32_t registrationId) {
    OutstandingRequests& o = outstanding();
    RequestList taken;
    {
        std::lock_guard<std::mutex> lock(o.mutex);
        for (auto it = o.list.begin(); it != o.list.end();) {
            auto next = std::next(it);
            if (it->registrationId == registrationId) {
                // Woken under the lock: a waiter leaving its wait takes this
                // lock first, so its descriptor is still open here.
                if (!it->syncSlot.empty()) {
                    wakeWaiter(it->syncSlot.front().wakeFd);
                }
                taken.splice(taken.end(), o.list, it);
            }
            it = next;
        }
    }
    for (const OutstandingRequest& r : taken) {
        removeTimerOf(r);
    }
}

}  // namespace objlink
