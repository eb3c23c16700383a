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

int Connections::connectionFor(Hwnd target, SendStatus& status) {
    auto it = byLoop_.find(loopKey(target));
    if (it != byLoop_.end()) {
        status = SendStatus::Ok;
        return it->second.get();
    }
    UniqueFd fd = connectToLoop(loopSocketPath(target), status);
    if (!fd.valid()) {
        return -1;
    }
    if (byLoop_.size() >= kMaxConnections) {
        byLoop_.erase(byLoop_.begin());
    }
    int raw = fd.get();
    byLoop_.emplace(loopKey(target), std::move(fd));
    return raw;
}

void Connections::drop(uint64_t key) {
    byLoop_.erase(key);
}

void Connections::dropStaleReplies(uint64_t key, int fd) {
    IncomingDatagram in;
    for (;;) {
        ReceiveStatus st = receiveRecord(fd, buffer_, in);
        if (st == ReceiveStatus::Empty) {
            return;
        }
        if (st == ReceiveStatus::Closed) {
            drop(key);
            return;
        }
    }
}

SendStatus Connections::send(Hwnd target, const OutgoingDatagram& d, bool wait, int64_t waitMs) {
    uint64_t key = loopKey(target);
    // A cached connection may belong to a loop that has ended since; one
    // fresh connection tells whether a loop listens at its path now.
    for (int attempt = 0; attempt < 2; ++attempt) {
        SendStatus status;
        int fd = connectionFor(target, status);
        if (fd < 0) {
            return status;
        }
        dropStaleReplies(key, fd);
        if (byLoop_.count(key) == 0) {
            continue;
        }
        if (wait) {
            setSendTimeout(fd, waitMs);
        }
        status = sendRecord(fd, d, wait);
        if (status != SendStatus::Gone) {
            return status;
        }
        drop(key);
    }
    return SendStatus::Gone;
}

std::optional<SendResult> Connections::awaitReply(Hwnd target, uint64_t seq,
                                                  std::chrono::steady_clock::time_point deadline) {
    using namespace std::chrono;
    uint64_t key = loopKey(target);
    auto it = byLoop_.find(key);
    if (it == byLoop_.end()) {
        return std::nullopt;
    }
    int fd = it->second.get();
    IncomingDatagram in;
    for (;;) {
        ReceiveStatus st;
        while ((st = receiveRecord(fd, buffer_, in)) != ReceiveStatus::Empty) {
            if (st == ReceiveStatus::Closed) {
                drop(key);
                return std::nullopt;  // the receiving loop or its process ended
            }
            if (st == ReceiveStatus::Got &&
                in.header.kind == static_cast<uint16_t>(DatagramKind::Reply) &&
                in.header.seq == seq) {
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
        auto left = duration_cast<milliseconds>(deadline - steady_clock::now());
        if (left.count() <= 0) {
            return std::nullopt;
        }
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, static_cast<int>(std::min<int64_t>(left.count() + 1, INT32_MAX)));
    }
}

}  // namespace plat::detail
