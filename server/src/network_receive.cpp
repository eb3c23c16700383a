// Receiving: one datagram per readiness notification, validated, filtered
// for duplicates, traced and handed to the clients.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <new>
#include <vector>

#include "network.h"
#include "network_hooks.h"
#include "network_registrations.h"
#include "network_state.h"
#include "network_trace.h"
#include "wire/datagram.h"

namespace hub {
namespace {

constexpr size_t kEnvelopeHeader = sizeof(_NetMessageInternal_t);
constexpr size_t kPendingUnknown = 16384;  // when the socket cannot say
constexpr size_t kPendingMax = 65536;      // no datagram is larger; a flood cannot grow memory

size_t pendingBytes(int fd) {
    int pending = 0;
    if (::ioctl(fd, FIONREAD, &pending) != 0 || pending < 0) {
        return kPendingUnknown;
    }
    return std::min(static_cast<size_t>(pending), kPendingMax);
}

}  // namespace

void ProcessNetworkRead() {
    NetworkState& s = networkState();
    if (!s.NetworkInstalled) {
        return;
    }
    size_t pending = pendingBytes(s.ReceiveSocket);
    std::vector<uint8_t> envelope;
    try {
        envelope.resize(kEnvelopeHeader + pending);
    } catch (const std::bad_alloc&) {
        return;  // read again at the next notification
    }
    sockaddr_in from{};
    socklen_t fromSize = sizeof from;
    // Never wait here: a notification without data must not stall the server.
    ssize_t received = ::recvfrom(s.ReceiveSocket, envelope.data() + kEnvelopeHeader, pending,
                                  MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &fromSize);
    if (received < static_cast<ssize_t>(wire::kNetMsgHeaderSize)) {
        return;  // not a message: dropped without a trace
    }
    envelope.resize(kEnvelopeHeader + static_cast<size_t>(received));
    wire::writeLe32(envelope.data(), ntohl(from.sin_addr.s_addr));
    wire::writeLe32(envelope.data() + 4, static_cast<uint32_t>(received));
    ProcessNetworkMessage(envelope);
}

void ProcessNetworkMessage(std::span<uint8_t> envelope) {
    std::optional<wire::EnvelopeView> view = wire::readEnvelope(envelope);
    if (!view) {
        return;
    }
    wire::writeLe32(envelope.data() + 8, wire::kDirectionReceived);
    std::optional<wire::DatagramHeader> header = wire::readHeader(view->datagram);
    NetworkState& s = networkState();
    bool valid =
        header && !s.duplicates.contains(view->address, header->messageId, header->messageNumber);
    traceReceivedMessage(valid, view->address, view->datagram);
    if (!valid) {
        return;
    }
    s.duplicates.remember(view->address, header->messageId, header->messageNumber);
    std::span<const uint8_t> whole = envelope.first(kEnvelopeHeader + view->datagram.size());
    DispatchNetworkMessage(whole);
    if (header->objectId == 0) {
        HandleReservedMessage(whole);
    }
}

void DispatchNetworkMessage(std::span<const uint8_t> envelope) {
    dispatchToRegistrations(envelope);
}

}  // namespace hub
