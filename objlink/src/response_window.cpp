#include "response_window.h"

#include "incoming_message.h"
#include "outstanding_requests.h"
#include "wire/datagram.h"
#include "wire/ipc.h"

namespace objlink {
namespace {

// A response posted by the server: the envelope of the received message.
void takeResponse(const plat::Payload& envelope) {
    std::optional<wire::EnvelopeView> view = wire::readEnvelope(envelope.bytes());
    if (!view) {
        return;
    }
    _Message message{};
    message.Address = view->address;
    message.Length = static_cast<uint32_t>(view->datagram.size());
    message.Dataptr = const_cast<uint8_t*>(view->datagram.data());  // only read
    std::optional<IncomingMessage> incoming = readIncoming(&message);
    if (incoming && (incoming->header.messageId & kResponseFlag) != 0) {
        // A response whose request has ended meanwhile (its wait timed out)
        // answers nothing and is dropped.
        completeWithResponse(*incoming);
    }
}

int64_t responseWindowProc(plat::Message& m) {
    if (m.msg == wire::kMsgAwaitedResponse) {
        takeResponse(m.payload);
    }
    return 0;
}

}  // namespace

plat::Hwnd threadResponseWindow() {
    // A loop torn down on this thread (plat::shutdownThreadLoop) took the
    // window with it; a new one is made then.
    thread_local plat::Hwnd window = plat::kNoWindow;
    if (!plat::isWindow(window)) {
        window = plat::createWindow(responseWindowProc);
    }
    return window;
}

}  // namespace objlink
