#include "connections.h"

#include <poll.h>

#include <algorithm>
#include <memory>

#include "handle.h"

namespace plat::detail {
namespace {

thread_local std::unique_ptr<Connections> tConnections;

// Idle connections kept per thread; past this the oldest path is closed.
constexpr size_t kMaxConnections = 256;

}  // namespace

Connections& Connections::current() {
    if (!tConnections) {
        tConnections = std::make_unique<Connections>();
    }
    return *tConnections;
}

void Connections::closeCurrent() {
    tConnections.reset();
}

int Connections::connectionFor(const std::string& path, SendStatus& status) {
    auto it = byPath_.find(path);
    if (it != byPath_.end()) {
        status = SendStatus::Ok;
        return it->second.get();
    }
    UniqueFd fd = connectToLoop(path, status);
    if (!fd.valid()) {
        return -1;
    }
    if (byPath_.size() >= kMaxConnections) {
        byPath_.erase(byPath_.begin());
    }
    int raw = fd.get();
    byPath_.emplace(path, std::move(fd));
    return raw;
}

void Connections::drop(const std::string& path) {
    byPath_.erase(path);
}

void Connections::dropStaleReplies(const std::string& path, int fd) {
    IncomingDatagram in;
    for (;;) {
        ReceiveStatus st = receiveRecord(fd, buffer_, in);
        if (st == ReceiveStatus::Empty) {
            return;
        }
        if (st == ReceiveStatus::Closed) {
            drop(path);
            return;
        }
    }
}

SendStatus Connections::send(Hwnd target, const OutgoingDatagram& d, bool wait, int64_t waitMs) {
    std::string path = loopSocketPath(target);
    if (path.empty()) {
        return SendStatus::Gone;
    }
    // A cached connection may belong to a loop that has ended since; one
    // fresh connection tells whether a loop listens at the path now.
    for (int attempt = 0; attempt < 2; ++attempt) {
        SendStatus status;
        int fd = connectionFor(path, status);
        if (fd < 0) {
            return status;
        }
        dropStaleReplies(path, fd);
        if (byPath_.count(path) == 0) {
            continue;
        }
        if (wait) {
            setSendTimeout(fd, waitMs);
        }
        status = sendRecord(fd, d, wait);
        if (status != SendStatus::Gone) {
            return status;
        }
        drop(path);
    }
    return SendStatus::Gone;
}

std::optional<SendResult> Connections::awaitReply(Hwnd target, uint64_t seq,
                                                  std::chrono::steady_clock::time_point deadline) {
    using namespace std::chrono;
    std::string path = loopSocketPath(target);
    auto it = byPath_.find(path);
    if (it == byPath_.end()) {
        return std::nullopt;
    }
    int fd = it->second.get();
    IncomingDatagram in;
    for (;;) {
        ReceiveStatus st;
        while ((st = receiveRecord(fd, buffer_, in)) != ReceiveStatus::Empty) {
            if (st == ReceiveStatus::Closed) {
                drop(path);
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
