// Windows, posting and sending: the public entry points of window.h that
// reach other threads and processes.
#include "platform/window.h"

#include <unistd.h>

#include <atomic>
#include <cstring>

#include "connections.h"
#include "handle.h"
#include "loop.h"
#include "send_route.h"
#include "window_title.h"

namespace plat {
namespace {

using detail::DatagramKind;
using detail::OutgoingDatagram;
using detail::SendStatus;

constexpr auto kProbeTimeout = std::chrono::milliseconds(1000);

std::atomic<uint64_t> gDroppedPosts{0};

Message makeMessage(Hwnd hwnd, uint32_t msg, uint64_t wParam, int64_t lParam, Payload payload) {
    Message m;
    m.hwnd = hwnd;
    m.msg = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    m.payload = std::move(payload);
    m.senderPid = static_cast<uint32_t>(::getpid());
    return m;
}

PostResult countPost(PostResult r) {
    if (r == PostResult::Full) {
        gDroppedPosts.fetch_add(1, std::memory_order_relaxed);
    }
    return r;
}

}  // namespace

Hwnd createWindow(WindowProc proc, const std::string& title) {
    return detail::Loop::current().createWindow(std::move(proc), title);
}

bool destroyWindow(Hwnd hwnd) {
    detail::Loop* loop = detail::Loop::existing();
    return loop != nullptr && loop->destroyWindow(hwnd);
}

bool isWindow(Hwnd hwnd) {
    if (hwnd == kNoWindow) {
        return false;
    }
    if (auto inbox = detail::findLocalInbox(hwnd)) {
        return inbox->hasWindow(detail::handleNumber(hwnd));
    }
    auto& connections = detail::Connections::current();
    OutgoingDatagram d;
    d.header = detail::makeHeader(DatagramKind::Probe, hwnd);
    d.header.seq = connections.nextSeq();
    switch (connections.send(hwnd, d, false, 0)) {
        case SendStatus::Ok:
            break;
        case SendStatus::Full:
            return true;  // its loop is busy or hung: the process still lives
        default:
            return false;
    }
    auto answer = connections.awaitReply(hwnd, d.header.seq,
                                         std::chrono::steady_clock::now() + kProbeTimeout);
    if (answer) {
        return answer->result != 0;
    }
    // No answer: the loop is hung (still there) or just ended (gone).
    return connections.send(hwnd, d, false, 0) != SendStatus::Gone;
}

Hwnd findWindow(const std::string& title) {
    return detail::findTitleHolder(title);
}

PostResult postMessage(Hwnd hwnd, uint32_t msg, uint64_t wParam, int64_t lParam, Payload payload) {
    if (hwnd == kNoWindow) {
        return PostResult::Gone;
    }
    if (auto inbox = detail::findLocalInbox(hwnd)) {
        return countPost(inbox->push(makeMessage(hwnd, msg, wParam, lParam, std::move(payload))));
    }
    OutgoingDatagram d;
    d.header = detail::makeHeader(DatagramKind::Post, hwnd);
    d.header.msg = msg;
    d.header.wParam = wParam;
    d.header.lParam = lParam;
    Payload holder;
    if (!detail::attachPayload(d, payload, holder)) {
        return countPost(PostResult::Full);
    }
    switch (detail::Connections::current().send(hwnd, d, false, 0)) {
        case SendStatus::Ok:
            return PostResult::Ok;
        case SendStatus::Full:
            return countPost(PostResult::Full);
        default:
            return PostResult::Gone;
    }
}

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
    Message m = makeMessage(hwnd, msg, wParam, lParam, std::move(payload));
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
    OutgoingDatagram d;
    d.header = detail::makeHeader(DatagramKind::Send, hwnd);
    d.header.msg = msg;
    d.header.wParam = wParam;
    d.header.lParam = lParam;
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
    return connections.awaitReply(hwnd, d.header.seq, deadline);
}

uint64_t droppedPostCount() {
    return gDroppedPosts.load(std::memory_order_relaxed);
}

}  // namespace plat
