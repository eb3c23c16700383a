#include "send_message.h"

#include <cstring>
#include <list>
#include <span>
#include <vector>

#include "address.h"
#include "hubclient.h"
#include "hubclient_internal.h"
#include "id_counters.h"
#include "incoming_message.h"
#include "outstanding_requests.h"
#include "wire/datagram.h"

namespace objlink {
namespace {

bool isValidResponseRecord(const VEKMessageResponse_t* response) {
    return isPresent(response) && isPresent(response->DataPtr) && response->MaxDataLength != 0;
}

uint32_t destinationOf(const SendRequest& request) {
    const VEKAddress_t& address = request.message->Address;
    uint32_t own =
        needsOwnAddress(address) ? GetNetworkAddress(request.registration.baseRegistrationId) : 0;
    return buildAddress(address, own);
}

void onTimeOut(uint32_t parameter, int32_t /*timerId*/) {
    completeWithTimeOut(parameter);
}

// Lists the request, an asynchronous one with its time-out timer (a
// synchronous one is timed by its waiter). Returns its internal ID, or a
// negative code.
int32_t listRequest(const SendRequest& request, uint32_t destination) {
    const VEKMessage_t& message = *request.message;
    std::memcpy(&request.response->Address.AddressType, &message.Address.AddressType,
                sizeof message.Address.AddressType);
    std::list<OutstandingRequest> node(1);  // all memory taken before the timer exists
    OutstandingRequest& r = node.front();
    r.registrationId = request.registration.registrationId;
    r.baseRegistrationId = request.registration.baseRegistrationId;
    r.internalId = nextResponseNumber();
    r.messageNumber = request.messageNumber;
    r.messageId = message.MessageID;
    r.objectId = message.ObjectID;
    r.address = destination;
    r.target = request.target;
    r.response = request.response;
    if (!request.target.isAsynchronous()) {
        r.syncSlot.push_back(SyncResponse{r.registrationId, r.internalId, request.wakeFd});
    }
    if (request.target.isAsynchronous()) {
        uint32_t parameter = static_cast<uint32_t>(r.internalId) | kAsynchronousFlag;
        r.timerId = InstallTimer_CB(r.baseRegistrationId, request.timeoutMs, &onTimeOut, parameter);
        if (r.timerId <= 0) {
            return VEKNET_ERR_NO_TIMER;
        }
    }
    int32_t timerId = r.timerId;
    int32_t internalId = r.internalId;
    if (!addOutstandingRequest(node)) {
        if (timerId > 0) {
            RemoveTimer(request.registration.baseRegistrationId, timerId);
        }
        return VEKNET_ERR_NOT_REGISTERED;
    }
    return internalId;
}

std::vector<uint8_t> buildMessageDatagram(const SendRequest& request) {
    const VEKMessage_t& message = *request.message;
    std::span<const uint8_t> data;
    if (isPresent(message.DataPtr)) {
        data = std::span<const uint8_t>(message.DataPtr, message.DataLength);
    }
    return wire::buildDatagram({message.ObjectID, message.MessageID, request.messageNumber}, data);
}

// A synchronous request with a response window has its response posted
// straight to the waiting thread.
int32_t send(const SendRequest& request, _Message& m) {
    const Registration& r = request.registration;
    if (request.responseWindow == plat::kNoWindow) {
        return SendVEKNetMessage(r.baseRegistrationId, &m);
    }
    return VEKInternal_SendAwaitingResponse(r.baseRegistrationId, &m, r.baseCallbackId,
                                            request.responseWindow, request.timeoutMs);
}

}  // namespace

bool isPresent(const void* pointer) {
    auto value = reinterpret_cast<uintptr_t>(pointer);
    return value != 0 && value != UINTPTR_MAX;
}

SendOutcome sendObjectMessage(const SendRequest& request) {
    if (!isPresent(request.message) ||
        (request.timeoutMs != 0 && !isValidResponseRecord(request.response))) {
        return {VEKNET_ERR_BAD_RECORD, 0};
    }
    uint32_t destination = destinationOf(request);
    if (destination == 0) {
        return {VEKNET_ERR_NO_ADDRESS, 0};
    }
    SendOutcome outcome;
    if (request.timeoutMs != 0) {
        int32_t listed = listRequest(request, destination);
        if (listed < 0) {
            return {listed, 0};
        }
        outcome.internalId = listed;
    }
    std::vector<uint8_t> datagram = buildMessageDatagram(request);
    _Message m{destination, static_cast<uint32_t>(datagram.size()), datagram.data(), nullptr};
    int32_t sent = send(request, m);
    if (sent > 0) {
        outcome.result = request.messageNumber;
        return outcome;
    }
    if (outcome.internalId != 0) {
        withdrawOutstandingRequest(outcome.internalId, false);
    }
    return {sent < 0 ? sent : VEKNET_ERR_NOT_SENT, 0};
}

}  // namespace objlink
