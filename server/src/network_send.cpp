// Sending: every datagram waits "MessageDelayTime" on the main thread before
// it leaves (the installation's only pacing), goes to the configured receive
// port of its destination, and is handed to the clients as sent. Broadcasts
// can leave twice.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include "client_registry.h"
#include "network.h"
#include "network_hooks.h"
#include "network_state.h"
#include "network_trace.h"
#include "wire/address.h"
#include "wire/datagram.h"

namespace hub {
namespace {

void pause(int32_t milliseconds) {
    if (milliseconds > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

// One datagram to `address`:RecvSocketPort; the bytes sent or -1 (errno).
ssize_t sendDatagram(const NetworkState& s, uint32_t address, std::span<const uint8_t> datagram) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(address);
    to.sin_port = htons(s.RecvSocketPort);
    return ::sendto(s.SendSocket, datagram.data(), datagram.size(), MSG_NOSIGNAL,
                    reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

// The envelope as the clients see a sent message: Parameter 0.
std::vector<uint8_t> sentCopy(const wire::EnvelopeView& view) {
    return wire::buildEnvelope(view.address, wire::kDirectionSent, view.datagram);
}

bool isLargeMessage(std::span<const uint8_t> datagram) {
    if (datagram.size() <= wire::kMaxSingleDatagram) {
        return false;
    }
    // Longer than a header, so the ObjectID is present.
    return wire::readLe16(datagram.data() + 3) != 0;
}

int32_t sendEnvelope(std::span<const uint8_t> envelope) {
    std::optional<wire::EnvelopeView> view = wire::readEnvelope(envelope);
    if (!view) {
        return kNetBadRequest;  // Length claims more bytes than arrived
    }
    if (isLargeMessage(view->datagram)) {
        HandOffLargeMessage(envelope.first(12 + view->datagram.size()));
        return 1;
    }
    NetworkState& s = networkState();
    pause(s.MsgDelayTime);
    ssize_t sent = sendDatagram(s, view->address, view->datagram);
    int error = sent < 0 ? errno : 0;
    traceSentMessage(sent >= 0, error, view->address, view->datagram);
    if (sent < 0) {
        return kNetFailed;
    }
    std::vector<uint8_t> copy = sentCopy(*view);
    DispatchNetworkMessage(copy);
    if (s.DoubleUpBroadcasts != 0 && wire::isBroadcast(view->address)) {
        pause(s.DoubleUpDelayTime);
        sendDatagram(s, view->address, view->datagram);  // outcome ignored, not traced
        DispatchNetworkMessage(copy);
    }
    return static_cast<int32_t>(sent);
}

}  // namespace

int32_t SendVEKNetworkMessage(int32_t clientID, const plat::Payload& section) {
    if (!networkState().NetworkInstalled) {
        return kNetFailed;
    }
    if (!FindClient(clientID)) {
        return kNetBadRequest;
    }
    if (section.empty()) {
        return kNetOutOfMemory;
    }
    return sendEnvelope(section.bytes());
}

int32_t SendVEKNetworkMessage(int32_t clientID, std::span<const uint8_t> envelope) {
    if (!networkState().NetworkInstalled) {
        return kNetFailed;
    }
    if (clientID != 0 && !FindClient(clientID)) {
        return kNetBadRequest;
    }
    if (envelope.empty()) {
        return kNetOutOfMemory;
    }
    return sendEnvelope(envelope);
}

}  // namespace hub
