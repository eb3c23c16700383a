// Windows, posting and sending: the public entry points of window.h that
// reach other threads and processes.
#include "platform/window.h"

#include <unistd.h>

#include <atomic>
#include <cstring>

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

// Fills the datagram's payload part: inline when it fits, else the section's
// descriptor. A large payload held in memory is copied into a new section,
// kept alive by `holder` until the datagram is sent.
bool attachPayload(OutgoingDatagram& d, const Payload& payload, Payload& holder) {
    if (payload.empty()) {
        return true;
    }
    if (payload.isSection()) {
        d.sectionFd = payload.sectionFd();
    } else if (payload.size() <= kInlinePayloadMax) {
        d.inlineBytes = payload.bytes();
        return true;
    } else {
        holder = Payload::section(payload.size());
        if (holder.empty()) {
            return false;
        }
        std::memcpy(holder.mutableData(), payload.data(), payload.size());
        d.sectionFd = holder.sectionFd();
    }
    d.header.flags |= detail::kFlagSection;
    return true;
}

SendStatus sendToLoop(int fd, Hwnd hwnd, const OutgoingDatagram& d, bool wait) {
    detail::SocketAddress to;
    if (!detail::makeAddress(detail::loopSocketPath(hwnd), to)) {
        return SendStatus::Gone;
    }
    return detail::sendDatagram(fd, to, d, wait);
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
    std::string path = detail::loopSocketPath(hwnd);
    if (!detail::isSocketAlive(path)) {
        return false;
    }
    auto* channel = detail::SendChannel::current();
    if (channel == nullptr) {
        return true;
    }
    channel->dropStaleReplies();
    OutgoingDatagram d;
    d.header = detail::makeHeader(DatagramKind::Probe, hwnd);
    d.header.seq = channel->nextSeq();
    if (sendToLoop(channel->fd(), hwnd, d, false) == SendStatus::Gone) {
        return false;
    }
    auto answer =
        channel->awaitReply(d.header.seq, std::chrono::steady_clock::now() + kProbeTimeout,
                            [&] { return detail::isSocketAlive(path); });
    // A loop that does not answer is busy or hung: its process still lives.
    return answer ? *answer != 0 : detail::isSocketAlive(path);
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
    auto* channel = detail::SendChannel::current();
    if (channel == nullptr) {
        return PostResult::Gone;
    }
    OutgoingDatagram d;
    d.header = detail::makeHeader(DatagramKind::Post, hwnd);
    d.header.msg = msg;
    d.header.wParam = wParam;
    d.header.lParam = lParam;
    Payload holder;
    if (!attachPayload(d, payload, holder)) {
        return countPost(PostResult::Full);
    }
    switch (sendToLoop(channel->fd(), hwnd, d, false)) {
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
    auto* channel = detail::SendChannel::current();
    if (channel == nullptr || timeout.count() <= 0) {
        return std::nullopt;
    }
    auto deadline = steady_clock::now() + timeout;
    channel->dropStaleReplies();
    uint64_t seq = channel->nextSeq();

    if (auto inbox = detail::findLocalInbox(hwnd)) {
        m.route = std::make_shared<SendRoute>(channel->address(), seq);
        if (inbox->push(std::move(m)) != PostResult::Ok) {
            return std::nullopt;
        }
        uint16_t number = detail::handleNumber(hwnd);
        return channel->awaitReply(seq, deadline, [&] { return inbox->hasWindow(number); });
    }

    OutgoingDatagram d;
    d.header = detail::makeHeader(DatagramKind::Send, hwnd);
    d.header.msg = msg;
    d.header.wParam = wParam;
    d.header.lParam = lParam;
    d.header.seq = seq;
    Payload holder;
    if (!attachPayload(d, m.payload, holder)) {
        return std::nullopt;
    }
    // A full receiver queue is waited out, but no longer than the time-out.
    detail::setSendTimeout(channel->fd(), duration_cast<milliseconds>(timeout).count());
    if (sendToLoop(channel->fd(), hwnd, d, true) != SendStatus::Ok) {
        return std::nullopt;
    }
    std::string path = detail::loopSocketPath(hwnd);
    return channel->awaitReply(seq, deadline, [&] { return detail::isSocketAlive(path); });
}

uint64_t droppedPostCount() {
    return gDroppedPosts.load(std::memory_order_relaxed);
}

}  // namespace plat
