#include "send_route.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <random>

#include "platform/dirs.h"

namespace plat {

void SendRoute::complete(std::optional<int64_t> result) {
    if (done.exchange(true)) {
        return;
    }
    detail::OutgoingDatagram d;
    d.header = detail::makeHeader(detail::DatagramKind::Reply, 0);
    d.header.seq = seq;
    if (result) {
        d.header.flags = detail::kFlagDelivered;
        d.header.result = *result;
    }
    detail::sendDatagramOnce(replyTo, d);
}

namespace detail {
namespace {

constexpr auto kAliveCheckInterval = std::chrono::milliseconds(200);

thread_local std::unique_ptr<SendChannel> tChannel;

uint32_t randomStart() {
    std::random_device rd;
    return rd();
}

}  // namespace

SendChannel::SendChannel(UniqueFd fd, std::string path, const SocketAddress& address)
    : fd_(std::move(fd)), path_(std::move(path)), address_(address) {}

SendChannel::~SendChannel() {
    if (!path_.empty()) {
        ::unlink(path_.c_str());
    }
}

SendChannel* SendChannel::current() {
    if (tChannel) {
        return tChannel.get();
    }
    std::string dir = runtimeDir();
    if (dir.empty()) {
        return nullptr;
    }
    uint32_t n = randomStart();
    for (int attempt = 0; attempt < 64; ++attempt, ++n) {
        UniqueFd fd = openDatagramSocket();
        if (!fd.valid()) {
            return nullptr;
        }
        std::string path = dir + "/r" + std::to_string(::getpid()) + "." + std::to_string(n);
        int err = bindSocket(fd.get(), path);
        if (err == EADDRINUSE) {
            continue;
        }
        SocketAddress address;
        if (err != 0 || !makeAddress(path, address)) {
            return nullptr;
        }
        tChannel.reset(new SendChannel(std::move(fd), std::move(path), address));
        return tChannel.get();
    }
    return nullptr;
}

void SendChannel::closeCurrent() {
    tChannel.reset();
}

void SendChannel::dropStaleReplies() {
    IncomingDatagram in;
    while (receiveDatagram(fd_.get(), buffer_, in) != ReceiveStatus::Empty) {
    }
}

std::optional<int64_t> SendChannel::awaitReply(uint64_t seq,
                                               std::chrono::steady_clock::time_point deadline,
                                               const std::function<bool()>& targetAlive) {
    using namespace std::chrono;
    IncomingDatagram in;
    for (;;) {
        auto now = steady_clock::now();
        if (now >= deadline) {
            return std::nullopt;
        }
        auto slice = std::min(duration_cast<milliseconds>(deadline - now) + milliseconds(1),
                              duration_cast<milliseconds>(kAliveCheckInterval));
        pollfd p{fd_.get(), POLLIN, 0};
        int r = ::poll(&p, 1, static_cast<int>(slice.count()));
        if (r == 0) {
            if (!targetAlive()) {
                return std::nullopt;
            }
            continue;
        }
        if (r < 0) {
            continue;  // EINTR: the deadline check above ends the wait
        }
        ReceiveStatus st;
        while ((st = receiveDatagram(fd_.get(), buffer_, in)) != ReceiveStatus::Empty) {
            if (st != ReceiveStatus::Got ||
                in.header.kind != static_cast<uint16_t>(DatagramKind::Reply) ||
                in.header.seq != seq) {
                continue;  // a stale reply of an earlier send, or junk
            }
            if ((in.header.flags & kFlagDelivered) == 0) {
                return std::nullopt;
            }
            return in.header.result;
        }
    }
}

}  // namespace detail
}  // namespace plat
