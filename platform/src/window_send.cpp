// Sending: delivering a message and waiting for its result, directly for a
// window of the calling thread, through the target thread's inbox within
// this process, or as a record on a connection to another process's loop.
#include "connections.h"
#include "loop.h"
#include "loop_inbox.h"
#include "message_build.h"
#include "platform/window.h"
#include "send_route.h"

namespace plat {

using detail::DatagramKind;
using detail::OutgoingDatagram;
using detail::SendStatus;

std::optional<int64_t> sendMessageTimeout(Hwnd hwnd, uint32_t msg, uint64_t wParam, int64_t lParam,
                                          Payload payload, std::chrono::milliseconds timeout) {
    auto r = sendMessageTimeoutWithReply(hwnd, msg, wParam, lParam, std::move(payload), timeout);
    if (!r) {
        return std::nullopt;
    }
    return r->result;
}

std::optional<SendResult> sendMessageTimeoutWithReply(Hwnd hwnd, uint32_t msg, uint64_t wParam,
                                                      int64_t lParam, Payload payload,
                                                      std::chrono::milliseconds timeout) {
    using namespace std::chrono;
    if (hwnd == kNoWindow) {
        return std::nullopt;
    }
    Message m = detail::makeMessage(hwnd, msg, wParam, lParam, std::move(payload));
    m.isSend = true;
    detail::Loop* own = detail::Loop::existing();
    if (own != nullptr && own->owns(hwnd)) {
        return own->callDirect(m);
    }
    if (timeout.count() <= 0) {
        return std::nullopt;
    }
    auto deadline = steady_clock::now() + timeout;

    if (auto inbox = detail::findLocalInbox(hwnd)) {
        auto reply = std::make_shared<detail::LocalReply>();
        m.route = std::make_shared<detail::LocalRoute>(reply);
        if (inbox->push(std::move(m)) != PostResult::Ok) {
            return std::nullopt;
        }
        return reply->waitUntil(deadline);
    }

    auto& connections = detail::Connections::current();
    OutgoingDatagram d = detail::makeRecord(DatagramKind::Send, hwnd, msg, wParam, lParam);
    d.header.seq = connections.nextSeq();
    Payload holder;
    if (!detail::attachPayload(d, m.payload, holder)) {
        return std::nullopt;
    }
    // A full receiver is waited out, but no longer than the time-out.
    if (connections.send(hwnd, d, true, duration_cast<milliseconds>(timeout).count()) !=
        SendStatus::Ok) {
        return std::nullopt;
    }
    return connections.awaitReply(hwnd, d.header.seq, deadline,
                                  duration_cast<milliseconds>(timeout));
}

}  // namespace plat
