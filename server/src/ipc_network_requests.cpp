// 1634 send, 1636 send with the response routed to its waiter, 1644 own address, 1654 message
// number, 1664/1674 network registrations, and the WIN16 copy-data send.
#include <limits>

#include "client_registry.h"
#include "ipc_payload.h"
#include "ipc_requests.h"
#include "network.h"
#include "wire/ipc.h"

namespace hub {
namespace {

// What 1634 and 1636 check first: a registered client in wParam (-9) and a
// payload (-5). 0 when both are there.
int64_t refusedSend(const plat::Message& m) {
    if (!FindClient(clientIdFrom(m.wParam))) {
        return wire::kResultBadRequest;
    }
    return m.payload.empty() ? wire::kResultOutOfMemory : 0;
}

int64_t sendNetworkMessage(plat::Message& m) {
    if (int64_t refused = refusedSend(m); refused != 0) {
        return refused;
    }
    std::optional<std::span<const uint8_t>> envelope = checkedEnvelope(m.payload.bytes());
    if (!envelope) {
        return wire::kResultBadRequest;
    }
    return SendVEKNetworkMessage(clientIdFrom(m.wParam), *envelope);
}

// 1636: a send whose response goes straight to a window of the sender's
// process (the thread that waits for it).
int64_t sendAwaitingResponse(plat::Message& m) {
    if (int64_t refused = refusedSend(m); refused != 0) {
        return refused;
    }
    std::optional<AwaitingSendView> view = checkedAwaitingSend(m.payload.bytes());
    if (!view || !isSendersOwnWindow(m, view->awaited.Waiter)) {
        return wire::kResultBadRequest;
    }
    return SendAwaitingResponse(clientIdFrom(m.wParam), view->awaited, view->envelope);
}

// wParam is the sending client's window; it must belong to a registered
// client and to the process that sent the message. 0 when the envelope cannot be read.
int64_t sendCopyData(plat::Message& m) {
    std::optional<std::span<const uint8_t>> envelope = checkedEnvelope(m.payload.bytes());
    if (!envelope) {
        return 0;
    }
    std::optional<_Client> client = FindClientByWindow(m.wParam);
    if (!client || !isSendersOwnWindow(m, m.wParam)) {
        return wire::kResultBadRequest;
    }
    return SendVEKNetworkMessage(client->ClientID, *envelope);
}

int64_t ownAddress(plat::Message&) {
    return GetIPAddress();
}

int64_t messageNumber(plat::Message& m) {
    if (m.lParam >= 2 && m.lParam <= wire::kMaxMessageNumberBlock) {
        return TakeMessageNumbers(static_cast<uint16_t>(m.lParam));
    }
    return GetNextMessageNumber();
}

int64_t addRegistration(plat::Message& m) {
    if (!FindClient(clientIdFrom(m.wParam))) {
        return wire::kResultBadRequest;
    }
    // The kind, with the options this library's clients may add.
    int64_t kind = m.lParam & ~(wire::kNetReceivedOnly | wire::kNetBatches);
    NetOptions options;
    options.batches = (m.lParam & wire::kNetBatches) != 0;
    if ((m.lParam & wire::kNetReceivedOnly) != 0) {
        if (kind != wire::kNetReceive) {
            return wire::kResultBadRequest;
        }
        options.copies = NetCopies::ReceivedForObjects;
    }
    bool knownType = kind == wire::kNetReceive || kind == wire::kNetMonitor;
    int32_t type = knownType ? static_cast<int32_t>(kind) : -1;
    return RegisterNetworkClient(clientIdFrom(m.wParam), type, options);
}

int64_t removeRegistration(plat::Message& m) {
    if (m.lParam < 0 || m.lParam > std::numeric_limits<uint32_t>::max()) {
        return 1;
    }
    return DeRegisterNetworkClient(static_cast<uint32_t>(m.lParam));
}

}  // namespace

void installNetworkRequests(MessageTable& table) {
    table.set(wire::kReqSendNetwork, sendNetworkMessage);
    table.set(wire::kReqSendAwaitingResponse, sendAwaitingResponse);
    table.set(plat::kMsgCopyData, sendCopyData);
    table.set(wire::kReqGetAddress, ownAddress);
    table.set(wire::kReqMessageNumber, messageNumber);
    table.set(wire::kReqNetRegister, addRegistration);
    table.set(wire::kReqNetDeregister, removeRegistration);
}

}  // namespace hub
