// Receiving: the datagrams waiting at the socket are read in batches
// (recvmmsg), up to a budget per readiness notification so that requests,
// timers and signals are still served during a flood; each one is validated,
// filtered for duplicates, traced and handed to the clients.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <array>
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
constexpr size_t kLargestDatagram = 65536;  // no UDP datagram is larger
constexpr size_t kBatchSize = 16;           // datagrams per recvmmsg call
constexpr size_t kReadBudget = 64;          // datagrams per notification

// Room for one batch: each slot holds an envelope header followed by the
// datagram, so a datagram is handled where it was received. Allocated once.
struct ReceiveBatch {
    std::vector<uint8_t> storage;
    std::array<mmsghdr, kBatchSize> headers{};
    std::array<iovec, kBatchSize> vectors{};
    std::array<sockaddr_in, kBatchSize> sources{};

    static constexpr size_t kSlot = kEnvelopeHeader + kLargestDatagram;

    bool ready() {
        if (!storage.empty()) {
            return true;
        }
        try {
            storage.resize(kSlot * kBatchSize);
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }

    uint8_t* slot(size_t i) { return storage.data() + i * kSlot; }

    // Fresh headers before each call: the kernel rewrites lengths.
    void prepare() {
        for (size_t i = 0; i < kBatchSize; ++i) {
            vectors[i] = {slot(i) + kEnvelopeHeader, kLargestDatagram};
            headers[i] = {};
            headers[i].msg_hdr.msg_iov = &vectors[i];
            headers[i].msg_hdr.msg_iovlen = 1;
            headers[i].msg_hdr.msg_name = &sources[i];
            headers[i].msg_hdr.msg_namelen = sizeof sources[i];
        }
    }
};

ReceiveBatch& receiveBatch() {
    static ReceiveBatch batch;
    return batch;
}

// Completes the envelope of a received datagram and handles it; shorter
// than a header it is dropped without a trace.
void handleReceived(ReceiveBatch& batch, size_t i) {
    size_t received = batch.headers[i].msg_len;
    if (received < wire::kNetMsgHeaderSize ||
        (batch.headers[i].msg_hdr.msg_flags & MSG_TRUNC) != 0) {
        return;
    }
    uint8_t* envelope = batch.slot(i);
    wire::writeLe32(envelope, ntohl(batch.sources[i].sin_addr.s_addr));
    wire::writeLe32(envelope + 4, static_cast<uint32_t>(received));
    wire::writeLe32(envelope + 8, 0);
    ProcessNetworkMessage(std::span<uint8_t>(envelope, kEnvelopeHeader + received));
}

}  // namespace

void ProcessNetworkRead() {
    NetworkState& s = networkState();
    ReceiveBatch& batch = receiveBatch();
    if (!s.NetworkInstalled || !batch.ready()) {
        return;
    }
    // Clients that take batches get what this pass accepted in one message.
    NetDispatchBatch handOff;
    for (size_t read = 0; read < kReadBudget;) {
        batch.prepare();
        // Never wait here: a notification without data must not stall the server.
        int got =
            ::recvmmsg(s.ReceiveSocket, batch.headers.data(), kBatchSize, MSG_DONTWAIT, nullptr);
        if (got <= 0) {
            return;
        }
        for (size_t i = 0; i < static_cast<size_t>(got); ++i) {
            handleReceived(batch, i);
            // A handler may have stopped the network (a client asked the
            // server to end): what is left of the batch is not handled.
            if (!s.NetworkInstalled) {
                return;
            }
        }
        read += static_cast<size_t>(got);
        if (static_cast<size_t>(got) < kBatchSize) {
            return;  // the socket is empty
        }
    }
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
