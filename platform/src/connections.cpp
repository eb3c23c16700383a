#include "connections.h"

#include <poll.h>

#include <algorithm>
#include <memory>

#include "handle.h"
#include "thread_owned.h"

namespace plat::detail {
namespace {

ThreadOwned<Connections> tConnections;  // the calling thread's connections

// Runs after the ELF destructors of the libraries built on this one (see
// ThreadOwned).
__attribute__((destructor)) void releaseConnectionsKey() {
    tConnections.release();
}

// Connections kept per thread; past this one of them is closed.
constexpr size_t kMaxConnections = 256;

}  // namespace

Connections& Connections::current() {
    Connections* connections = tConnections.get();
    if (connections == nullptr) {
        connections = new Connections;
        tConnections.reset(connections);
    }
    return *connections;
}

void Connections::closeCurrent() {
    tConnections.reset();
}

Connections::Link* Connections::linkFor(Hwnd target, SendStatus& status) {
    auto it = byLoop_.find(loopKey(target));
    if (it != byLoop_.end()) {
        status = SendStatus::Ok;
        return &it->second;
    }
    UniqueFd fd = connectToLoop(loopSocketPath(target), status);
    if (!fd.valid()) {
        return nullptr;
    }
    if (byLoop_.size() >= kMaxConnections) {
        byLoop_.erase(byLoop_.begin());
    }
    Link link;
    link.fd = std::move(fd);
    return &byLoop_.emplace(loopKey(target), std::move(link)).first->second;
}

void Connections::drop(uint64_t key) {
    byLoop_.erase(key);
}

bool Connections::dropStaleReplies(uint64_t key, Link& link) {
    IncomingDatagram in;
    for (;;) {
        ReceiveStatus st = receiveRecord(link.fd.get(), buffer_, in);
        if (st == ReceiveStatus::Empty) {
            link.replyOutstanding = false;
            return true;
        }
        if (st == ReceiveStatus::Closed) {
            drop(key);
            return false;
        }
    }
}

SendStatus Connections::send(Hwnd target, const OutgoingDatagram& d, bool wait, int64_t waitMs) {
    uint64_t key = loopKey(target);
    bool expectsReply = d.header.kind == static_cast<uint16_t>(DatagramKind::Send) ||
                        d.header.kind == static_cast<uint16_t>(DatagramKind::Probe);
    // A cached connection may belong to a loop that has ended since; one
    // fresh connection tells whether a loop listens at its path now.
    for (int attempt = 0; attempt < 2; ++attempt) {
        SendStatus status;
        Link* link = linkFor(target, status);
        if (link == nullptr) {
            return status;
        }
        // Only a record whose reply was not taken can have left one behind.
        if (link->replyOutstanding && !dropStaleReplies(key, *link)) {
            continue;
        }
        int64_t timeoutMs = std::max<int64_t>(waitMs, 1);
        if (wait && link->sendTimeoutMs != timeoutMs) {
            setSendTimeout(link->fd.get(), timeoutMs);
            link->sendTimeoutMs = timeoutMs;
        }
        status = sendRecord(link->fd.get(), d, wait);
        if (status == SendStatus::Ok && expectsReply) {
            link->replyOutstanding = true;
        }
        if (status != SendStatus::Gone) {
            return status;
        }
        drop(key);
    }
    return SendStatus::Gone;
}

namespace {

// Blocking reads wait at most the whole time-out; one that may not wait that
// long any more (the send itself waited) polls up to the deadline instead.
constexpr auto kBlockingSlack = std::chrono::milliseconds(10);

}  // namespace

std::optional<SendResult> Connections::awaitReply(Hwnd target, uint64_t seq,
                                                  std::chrono::steady_clock::time_point deadline,
                                                  std::chrono::milliseconds timeout) {
    using namespace std::chrono;
    uint64_t key = loopKey(target);
    auto it = byLoop_.find(key);
    if (it == byLoop_.end()) {
        return std::nullopt;
    }
    Link& link = it->second;
    int fd = link.fd.get();
    // The reply is rarely there before the receiver ran: the first read
    // waits for it (with the socket's receive time-out, set only when it
    // changes) instead of a read that finds nothing and a poll.
    bool blocking = deadline - steady_clock::now() >= timeout - kBlockingSlack;
    if (blocking && link.receiveTimeoutMs != timeout.count()) {
        setReceiveTimeout(fd, timeout.count());
        link.receiveTimeoutMs = timeout.count();
    }
    IncomingDatagram in;
    for (;;) {
        if (!blocking) {
            auto left = duration_cast<milliseconds>(deadline - steady_clock::now());
            pollfd p{fd, POLLIN, 0};
            int wait = static_cast<int>(std::clamp<int64_t>(left.count() + 1, 0, INT32_MAX));
            if (::poll(&p, 1, wait) == 0) {
                return std::nullopt;  // the late reply is dropped before the next send
            }
        }
        ReceiveStatus st;
        while ((st = receiveRecord(fd, buffer_, in, blocking)) != ReceiveStatus::Empty) {
            blocking = false;
            if (st == ReceiveStatus::Closed) {
                drop(key);
                return std::nullopt;  // the receiving loop or its process ended
            }
            if (st == ReceiveStatus::Got &&
                in.header.kind == static_cast<uint16_t>(DatagramKind::Reply) &&
                in.header.seq == seq) {
                link.replyOutstanding = false;
                if ((in.header.flags & kFlagDelivered) == 0) {
                    return std::nullopt;
                }
                SendResult r{in.header.result, takePayload(in)};
                if ((in.header.flags & kFlagSection) != 0 && r.reply.empty()) {
                    return std::nullopt;  // reply data that cannot be mapped safely
                }
                return r;
            }
        }
        blocking = false;
        if (steady_clock::now() >= deadline) {
            return std::nullopt;
        }
    }
}

}  // namespace plat::detail
