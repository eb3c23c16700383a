// The network registrations as the client requests see them.
#include "network.h"
#include "network_awaited.h"
#include "network_registrations.h"
#include "network_state.h"
#include "wire/datagram.h"

namespace hub {

int32_t RegisterNetworkClient(int32_t clientID, int32_t type, NetOptions options) {
    if (type != NetworkRegistration && type != NetMonRegistration) {
        return kNetBadRequest;
    }
    if (!networkState().NetworkInstalled) {
        return kNetFailed;
    }
    uint32_t netID = addNetRegistration(clientID, type, options);
    return netID != 0 ? static_cast<int32_t>(netID) : kNetFailed;
}

int32_t DeRegisterNetworkClient(uint32_t netID) {
    if (!networkState().NetworkInstalled) {
        return 1;
    }
    return removeNetRegistration(netID) ? 0 : 1;
}

void DeleteNetRegistrationEntry(uint32_t netID) {
    removeNetRegistration(netID);
}

void DeleteNetRegistrationEntryID(int32_t clientID) {
    removeClientNetRegistrations(clientID);
}

int32_t SendAwaitingResponse(int32_t clientID, const _AwaitedResponse& awaited,
                             std::span<const uint8_t> envelope) {
    if (!isReceiveRegistrationOf(awaited.NetID, clientID)) {
        return kNetBadRequest;
    }
    std::optional<wire::EnvelopeView> view = wire::readEnvelope(envelope);
    std::optional<wire::DatagramHeader> header =
        view ? wire::readHeader(view->datagram) : std::nullopt;
    if (!header) {
        return kNetBadRequest;
    }
    AwaitedResponse entry;
    entry.clientID = clientID;
    entry.netID = awaited.NetID;
    entry.waiter = awaited.Waiter;
    entry.address = view->address;
    entry.messageId = header->messageId;
    entry.messageNumber = header->messageNumber;
    entry.deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(awaited.TimeOutMs);
    // Listed before the message leaves: its answer is read on this thread,
    // after this request.
    bool routed = awaitResponse(entry);
    int32_t result = SendVEKNetworkMessage(clientID, envelope);
    if (routed && result <= 0) {
        forgetAwaitedResponse(entry);
    }
    return result;
}

size_t NetRegistrationCount() {
    return netRegistrationCount();
}

uint64_t NetDispatchDropCount() {
    return netDispatchDrops();
}

}  // namespace hub
