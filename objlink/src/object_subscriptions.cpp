#include "object_subscriptions.h"

#include <deque>
#include <list>
#include <mutex>
#include <new>
#include <optional>
#include <vector>

#include "callback_scope.h"
#include "id_counters.h"
#include "registrations.h"

namespace objlink {
namespace {

struct ObjectSubscription {
    int32_t registrationId = 0;
    int32_t objectRegistrationId = 0;
    uint32_t currentIteration = 0;  // last pass that visited it; 0 when new
    uint16_t objectId = 0;
    ReportTarget target;
};

struct Subscriptions {
    std::mutex listMutex;       // ObjectSubscriberListSemaphore
    std::mutex iterationMutex;  // ObjectIterationSemaphore: one pass at a time
    uint32_t currentIteration = 0;
    std::list<ObjectSubscription> list;
};

Subscriptions& subscriptions() {
    static Subscriptions* s = new Subscriptions;
    return *s;
}

// A message owned by the library: the copy a subscriber is handed.
struct OwnedMessage {
    explicit OwnedMessage(const IncomingMessage& m)
        : data(m.data.begin(), m.data.begin() + recordedLength(m)) {
        record.Status = MessageSuccess;
        record.ObjectID = m.header.objectId;
        record.MessageID = static_cast<uint16_t>(m.header.messageId & ~kResponseFlag);
        record.MessageNumber = m.header.messageNumber;
        record.DataLength = static_cast<uint16_t>(data.size());
        record.MaxDataLength = record.DataLength;
        record.DataPtr = data.empty() ? nullptr : data.data();
        record.Address = VEKAddress_t{FullAddress, m.source};
    }
    std::vector<uint8_t> data;
    VEKMessageResponse_t record{};
};

// A pass asked for while the same thread already runs one (a delivery that
// dispatched messages): kept with its own copy of the message.
struct DeferredPass {
    int32_t registrationId;
    wire::DatagramHeader header;
    std::vector<uint8_t> data;
    uint32_t source;
};

thread_local bool tInPass = false;
thread_local std::deque<DeferredPass> tDeferred;

uint32_t startPass(Subscriptions& s) {
    if (++s.currentIteration == 0) {
        s.currentIteration = 1;
    }
    return s.currentIteration;
}

// Visits the next subscription not yet marked with this pass and delivers the
// message to it when it wants it. False when every subscription was visited.
bool visitNext(Subscriptions& s, uint32_t pass, int32_t registrationId,
               const IncomingMessage& message) {
    std::unique_lock<std::mutex> lock(s.listMutex);
    auto it = s.list.begin();
    while (it != s.list.end() && it->currentIteration == pass) {
        ++it;
    }
    if (it == s.list.end()) {
        return false;
    }
    it->currentIteration = pass;
    if (it->registrationId != registrationId || it->objectId != message.header.objectId) {
        return true;
    }
    ReportTarget target = it->target;
    std::optional<CallbackScope> scope;
    if (target.callback != nullptr) {  // windows: see CallbackScope
        scope.emplace(registrationId);
    }
    lock.unlock();
    try {
        OwnedMessage copy(message);
        report(target, &copy.record, WindowReport::Send);
    } catch (const std::bad_alloc&) {
        // No memory for this subscriber's copy: it is skipped.
    }
    return true;
}

void runPass(int32_t registrationId, const IncomingMessage& message) {
    Subscriptions& s = subscriptions();
    std::lock_guard<std::mutex> passLock(s.iterationMutex);
    uint32_t pass = startPass(s);
    while (visitNext(s, pass, registrationId, message)) {
    }
}

void deferPass(int32_t registrationId, const IncomingMessage& message) {
    try {
        tDeferred.push_back(DeferredPass{registrationId,
                                         message.header,
                                         {message.data.begin(), message.data.end()},
                                         message.source});
    } catch (const std::bad_alloc&) {
        // Dropped, like a delivery without memory.
    }
}

void runDeferredPasses() {
    while (!tDeferred.empty()) {
        DeferredPass next = std::move(tDeferred.front());
        tDeferred.pop_front();
        runPass(next.registrationId, IncomingMessage{next.header, next.data, next.source});
    }
}

}  // namespace

int32_t addObjectSubscription(int32_t registrationId, uint16_t objectId,
                              const ReportTarget& target) {
    Subscriptions& s = subscriptions();
    std::list<ObjectSubscription> node;
    node.push_back(ObjectSubscription{registrationId, 0, 0, objectId, target});  // before any lock
    int32_t id = 0;
    bool added = whileRegistered(registrationId, [&] {
        id = nextObjectSubscriberNumber();
        node.front().objectRegistrationId = id;
        std::lock_guard<std::mutex> lock(s.listMutex);
        s.list.splice(s.list.end(), node);
    });
    return added ? id : VEKNET_ERR_NOT_REGISTERED;
}

void removeObjectSubscription(int32_t objectRegistrationId) {
    Subscriptions& s = subscriptions();
    std::lock_guard<std::mutex> lock(s.listMutex);
    s.list.remove_if([&](const ObjectSubscription& x) {
        return x.objectRegistrationId == objectRegistrationId;
    });
}

void removeObjectSubscriptions(int32_t registrationId) {
    Subscriptions& s = subscriptions();
    std::lock_guard<std::mutex> lock(s.listMutex);
    s.list.remove_if(
        [&](const ObjectSubscription& x) { return x.registrationId == registrationId; });
}

void deliverToObjectSubscribers(int32_t registrationId, const IncomingMessage& message) {
    if (tInPass) {
        deferPass(registrationId, message);
        return;
    }
    struct PassFlag {
        PassFlag() { tInPass = true; }
        ~PassFlag() { tInPass = false; }
    } flag;
    runPass(registrationId, message);
    runDeferredPasses();
}

}  // namespace objlink
