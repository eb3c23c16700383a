#include "net_delivery.h"

#include <chrono>
#include <span>
#include <vector>

#include "net_subscribers.h"
#include "wire/datagram.h"

namespace hubclient {
namespace {

constexpr std::chrono::milliseconds kWindowDeliveryTimeout{10000};

bool monitorWants(const wire::EnvelopeView& envelope) {
    return envelope.parameter == wire::kDirectionSent ||
           envelope.parameter == wire::kDirectionReceived;
}

// A window that does not take its message in time loses its subscription;
// the server is not told and its later messages are dropped here.
void sendToWindow(const NetSubscriber& s, uint64_t wParam, _Message& message,
                  const plat::Payload& envelope) {
    auto result =
        plat::sendMessageTimeout(s.window, s.parameter, wParam, reinterpret_cast<int64_t>(&message),
                                 envelope, kWindowDeliveryTimeout);
    if (!result) {
        dropWindowSubscriber(s.id, s.window);
    }
}

// Delivers one envelope; `whole` is the payload that holds exactly this
// envelope when there is one (a window subscriber is sent the envelope as
// its message's payload, made on demand otherwise).
void deliverEnvelope(int32_t netId, const wire::EnvelopeView& view,
                     std::span<const uint8_t> envelope, const plat::Payload* whole) {
    std::optional<NetSubscriber> s = findSubscriber(netId);
    if (!s) {
        return;
    }
    bool monitor = s->type == NetRegistrationType::Monitor;
    if (monitor ? !monitorWants(view) : !wire::receiveSubscribersWant(view)) {
        return;
    }
    // The subscriber gets its own writable copy of the datagram, valid during
    // the call; the received payload may be a read-only mapping.
    std::vector<uint8_t> datagram(view.datagram.begin(), view.datagram.end());
    _Message message{};
    message.Address = view.address;
    message.Length = static_cast<uint32_t>(datagram.size());
    message.Dataptr = datagram.data();
    message.next = nullptr;

    uint64_t wParam = monitor ? view.parameter : 0;
    if (s->window != plat::kNoWindow) {
        sendToWindow(
            *s, wParam, message,
            whole != nullptr ? *whole : plat::Payload::copyOf(envelope.data(), envelope.size()));
    } else if (monitor && s->monitorCallback != nullptr) {
        s->monitorCallback(&message, static_cast<NetMonCBReason_t>(view.parameter));
    } else if (!monitor && s->receiveCallback != nullptr) {
        s->receiveCallback(&message, s->parameter);
    }
}

}  // namespace

void deliverNetworkMessage(int32_t netId, const plat::Payload& envelope) {
    auto view = wire::readEnvelope(envelope.bytes());
    if (view) {
        deliverEnvelope(netId, *view, envelope.bytes(), &envelope);
    }
}

void deliverNetworkBatch(int32_t netId, const plat::Payload& envelopes) {
    std::span<const uint8_t> rest = envelopes.bytes();
    while (auto view = wire::readEnvelope(rest)) {
        size_t size = sizeof(_NetMessageInternal_t) + view->datagram.size();
        deliverEnvelope(netId, *view, rest.first(size), nullptr);
        rest = rest.subspan(size);
    }
}

}  // namespace hubclient
