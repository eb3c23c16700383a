// SendVEKMessage, AsyncSendVEKMessage_CB, AsyncSendVEKMessage_Window and
// RespondVEKMessage.
#include <chrono>
#include <new>

#include "hubclient.h"
#include "objlink.h"
#include "outstanding_requests.h"
#include "registrations.h"
#include "response_window.h"
#include "send_message.h"
#include "sync_responses.h"
#include "sync_wait.h"

using namespace objlink;

namespace {

// A request numbered by the server. 0 from the server means it did not
// answer: no message goes out under an invalid number, and the send fails
// as a send the server did not take.
int32_t sendNumbered(SendRequest& request, int32_t* internalId) {
    int32_t number = GetMessageNumber(request.registration.baseRegistrationId);
    if (number <= 0) {
        return VEKNET_ERR_NOT_SENT;
    }
    request.messageNumber = static_cast<uint16_t>(number);
    SendOutcome outcome = sendObjectMessage(request);
    if (internalId != nullptr) {
        *internalId = outcome.internalId;
    }
    return outcome.result;
}

int32_t sendSynchronously(const Registration& registration, uint32_t timeoutMs,
                          const VEKMessage_t* message, VEKMessageResponse_t* response) {
    SendRequest request;
    request.registration = registration;
    request.timeoutMs = timeoutMs;
    request.message = message;
    request.response = response;
    request.wakeFd = threadWakeFd();
    if (timeoutMs != 0) {
        request.responseWindow = threadResponseWindow();
    }
    // The time-out runs from before the send, as a timer installed then
    // would; the waiter keeps it, no timer is needed.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int32_t internalId = 0;
    int32_t result = sendNumbered(request, &internalId);
    if (result <= 0 || timeoutMs == 0) {
        return result;
    }
    WaitEnd end = waitForSyncResponse(registration.registrationId, internalId, deadline);
    if (end != WaitEnd::Completed) {
        // Nothing may write into the caller's record once the call returned.
        // A wait that timed out or was ended by a quit request reads as a
        // time-out unless the response had arrived.
        withdrawOutstandingRequest(internalId, end == WaitEnd::Quit || end == WaitEnd::TimedOut);
        takeSyncResponse(internalId);
    }
    return result;
}

int32_t sendAsynchronously(int32_t registrationId, uint32_t timeoutMs, const VEKMessage_t* message,
                           VEKMessageResponse_t* response, const ReportTarget& target) {
    std::optional<Registration> registration = findRegistration(registrationId);
    if (!registration) {
        return VEKNET_ERR_NOT_REGISTERED;
    }
    SendRequest request;
    request.registration = *registration;
    request.timeoutMs = timeoutMs;
    request.message = message;
    request.response = response;
    request.target = target;
    return sendNumbered(request, nullptr);
}

}  // namespace

extern "C" {

OBJLINK_API int32_t SendVEKMessage(int32_t RegistrationID, uint32_t TimeOutMs,
                                   VEKMessage_t* Message, VEKMessageResponse_t* Response) {
    try {
        std::optional<Registration> registration = findRegistration(RegistrationID);
        if (!registration) {
            return VEKNET_ERR_NOT_REGISTERED;
        }
        return sendSynchronously(*registration, TimeOutMs, Message, Response);
    } catch (const std::bad_alloc&) {
        return VEKNET_ERR_NO_MEMORY;
    }
}

OBJLINK_API int32_t AsyncSendVEKMessage_CB(int32_t RegistrationID, uint32_t TimeOutMs,
                                           VEKMessage_t* Message, VEKMessageResponse_t* Response,
                                           VEKMessageCallback_t Callback, uint32_t Parameter) {
    if (!isRegistered(RegistrationID)) {
        return VEKNET_ERR_NOT_REGISTERED;
    }
    if (Callback == nullptr) {
        return VEKNET_ERR_BAD_RECORD;
    }
    try {
        return sendAsynchronously(RegistrationID, TimeOutMs, Message, Response,
                                  ReportTarget{plat::kNoWindow, Parameter, Callback});
    } catch (const std::bad_alloc&) {
        return VEKNET_ERR_NO_MEMORY;
    }
}

OBJLINK_API int32_t AsyncSendVEKMessage_Window(int32_t RegistrationID, uint32_t TimeOutMs,
                                               VEKMessage_t* Message,
                                               VEKMessageResponse_t* Response, HUBWND Window,
                                               uint32_t MessageID) {
    if (!isRegistered(RegistrationID)) {
        return VEKNET_ERR_NOT_REGISTERED;
    }
    if (Window == plat::kNoWindow || MessageID == 0) {
        return VEKNET_ERR_NO_WINDOW;
    }
    try {
        return sendAsynchronously(RegistrationID, TimeOutMs, Message, Response,
                                  ReportTarget{Window, MessageID, nullptr});
    } catch (const std::bad_alloc&) {
        return VEKNET_ERR_NO_MEMORY;
    }
}

OBJLINK_API int32_t RespondVEKMessage(int32_t RegistrationID, VEKMessageResponse_t* Message) {
    std::optional<Registration> registration = findRegistration(RegistrationID);
    if (!registration) {
        return VEKNET_ERR_NOT_REGISTERED;
    }
    if (!isPresent(Message)) {
        return VEKNET_ERR_BAD_RECORD;
    }
    VEKMessage_t answer{};
    answer.ObjectID = Message->ObjectID;
    answer.MessageID = static_cast<uint16_t>(Message->MessageID | 0x8000u);
    answer.DataLength = Message->DataLength;
    answer.DataPtr = Message->DataPtr;
    answer.Address = Message->Address;
    SendRequest request;
    request.registration = *registration;
    request.messageNumber = Message->MessageNumber;
    request.message = &answer;
    try {
        return sendObjectMessage(request).result;
    } catch (const std::bad_alloc&) {
        return VEKNET_ERR_NO_MEMORY;
    }
}

}  // extern "C"
