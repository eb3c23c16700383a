// Sending an object message, shared by every send export: the destination is
// composed, a request with a time-out is listed with its timer before the
// datagram goes out (so that an immediate response finds it), and withdrawn
// again when the send fails.
#pragma once

#include <cstdint>

#include "objlink.h"
#include "platform/window.h"
#include "registrations.h"
#include "reports.h"

namespace objlink {

struct SendRequest {
    Registration registration;
    uint32_t timeoutMs = 0;
    uint16_t messageNumber = 0;
    const VEKMessage_t* message = nullptr;
    VEKMessageResponse_t* response = nullptr;
    ReportTarget target;  // none: a synchronous request
    int wakeFd = -1;      // the synchronous sender's wake descriptor
    // The synchronous sender's response window: the server posts the
    // response there (kNoWindow: to the registration's receive callback).
    plat::Hwnd responseWindow = plat::kNoWindow;
};

struct SendOutcome {
    int32_t result = 0;      // the message number, or a negative code
    int32_t internalId = 0;  // the listed request, 0 when none was listed
};

SendOutcome sendObjectMessage(const SendRequest& request);

// True for a pointer that names something: neither NULL nor all bits set.
bool isPresent(const void* pointer);

}  // namespace objlink
