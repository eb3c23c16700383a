// Requests sent with a time-out, waiting for their response or time-out.
// Matching, time-outs and asynchronous reports run on hubclient's thread.
#pragma once

#include <cstdint>
#include <list>

#include "incoming_message.h"
#include "objlink.h"
#include "reports.h"
#include "sync_responses.h"

namespace objlink {

// Bit 31 of a time-out timer's parameter: the request reports to a window or
// callback. The low 31 bits are the request's internal ID.
constexpr uint32_t kAsynchronousFlag = 0x80000000u;

struct OutstandingRequest {
    int32_t registrationId = 0;
    int32_t baseRegistrationId = 0;  // owner of the time-out timer
    int32_t internalId = 0;
    int32_t timerId = 0;  // 0 for a synchronous request: its waiter times it
    uint16_t messageNumber = 0;
    uint16_t messageId = 0;  // as sent
    uint16_t objectId = 0;
    uint32_t address = 0;  // destination, host order
    ReportTarget target;   // none for a synchronous request
    VEKMessageResponse_t* response = nullptr;
    SyncSlot syncSlot;  // the prepared entry of a synchronous request
};

// Appends the one request held by `node` (allocated beforehand, so that
// listing it needs no memory), unless its registration is gone (false).
bool addOutstandingRequest(std::list<OutstandingRequest>& node);

// Takes a request back (a failed send, or a wait that ended early) and
// removes its timer. With `markTimedOut` its response record is filled as a
// time-out. False when it was no longer outstanding (it completed).
bool withdrawOutstandingRequest(int32_t internalId, bool markTimedOut);

// Completes the request the response answers (same peer address, message
// identifier without the response flag and message number). A response that
// answers none is dropped.
void completeWithResponse(const IncomingMessage& message);

// The time-out timer of a request fired.
void completeWithTimeOut(uint32_t timerParameter);

// Drops the registration's requests and their timers without reporting.
void dropOutstandingRequests(int32_t registrationId);

}  // namespace objlink
