// Posting: queueing a message for a window without waiting.
#include <atomic>

#include "connections.h"
#include "loop_inbox.h"
#include "message_build.h"
#include "platform/window.h"

namespace plat {
namespace {

using detail::DatagramKind;
using detail::OutgoingDatagram;
using detail::SendStatus;

std::atomic<uint64_t> gDroppedPosts{0};

PostResult countPost(PostResult r) {
    if (r == PostResult::Full) {
        gDroppedPosts.fetch_add(1, std::memory_order_relaxed);
    }
    return r;
}

}  // namespace

PostResult postMessage(Hwnd hwnd, uint32_t msg, uint64_t wParam, int64_t lParam, Payload payload) {
    if (hwnd == kNoWindow) {
        return PostResult::Gone;
    }
    if (auto inbox = detail::findLocalInbox(hwnd)) {
        return countPost(
            inbox->push(detail::makeMessage(hwnd, msg, wParam, lParam, std::move(payload))));
    }
    OutgoingDatagram d = detail::makeRecord(DatagramKind::Post, hwnd, msg, wParam, lParam);
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

uint64_t droppedPostCount() {
    return gDroppedPosts.load(std::memory_order_relaxed);
}

}  // namespace plat
