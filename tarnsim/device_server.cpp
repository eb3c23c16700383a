#include "device_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "trace.h"

namespace tarnsim {
namespace {

constexpr std::chrono::milliseconds kWiggleInterval{250};
constexpr size_t kReceiveBuffer = 65536;
constexpr int kDatagramsPerWake = 64;  // then look at the other sockets

sockaddr_in socketAddress(uint32_t address, uint16_t port) {
    sockaddr_in in{};
    in.sin_family = AF_INET;
    in.sin_addr.s_addr = htonl(address);
    in.sin_port = htons(port);
    return in;
}

void traceLine(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace

int openDeviceSocket(const ListenAddress& listen) {
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    int on = 1;
    sockaddr_in address = socketAddress(listen.address, listen.port);
    if (setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &on, sizeof on) != 0 ||
        bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        int saved = errno;
        close(fd);
        errno = saved;
        return -1;
    }
    return fd;
}

DeviceServer::DeviceServer(const Options& options, std::vector<Endpoint> endpoints)
    : options_(options), endpoints_(std::move(endpoints)) {
    for (const auto& endpoint : endpoints_) {
        int fd = openDeviceSocket(endpoint.listen);
        if (fd < 0) {
            std::string reason = std::strerror(errno);
            for (int open : sockets_)
                close(open);
            throw std::runtime_error("cannot bind " + addressText(endpoint.listen.address) + ":" +
                                     std::to_string(endpoint.listen.port) + ": " + reason);
        }
        sockets_.push_back(fd);
    }
    nextWiggle_ = Clock::now() + kWiggleInterval;
}

DeviceServer::~DeviceServer() {
    for (int fd : sockets_)
        close(fd);
}

int DeviceServer::pollTimeout() const {
    auto now = Clock::now();
    std::optional<Clock::time_point> next;
    if (!delayed_.empty())
        next = delayed_.front().due;
    if (options_.wiggle && (!next || nextWiggle_ < *next))
        next = nextWiggle_;
    if (!next)
        return -1;
    if (*next <= now)
        return 0;
    auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - now);
    return static_cast<int>(std::min<int64_t>(wait.count(), 60000));
}

void DeviceServer::run(int stopFd) {
    std::vector<pollfd> fds;
    for (int fd : sockets_)
        fds.push_back({fd, POLLIN, 0});
    fds.push_back({stopFd, POLLIN, 0});
    for (;;) {
        for (auto& fd : fds)
            fd.revents = 0;
        int ready = poll(fds.data(), fds.size(), pollTimeout());
        if (ready < 0 && errno != EINTR)
            throw std::runtime_error(std::string("poll: ") + std::strerror(errno));
        if (fds.back().revents != 0)
            return;
        for (size_t i = 0; ready > 0 && i < sockets_.size(); ++i) {
            if (fds[i].revents != 0)
                receiveFrom(i);
        }
        sendDue();
        if (options_.wiggle && Clock::now() >= nextWiggle_) {
            wiggle();
            nextWiggle_ = Clock::now() + kWiggleInterval;
        }
    }
}

void DeviceServer::receiveFrom(size_t index) {
    std::vector<uint8_t>& buffer = buffer_;
    buffer.resize(kReceiveBuffer);
    for (int n = 0; n < kDatagramsPerWake; ++n) {
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        ssize_t got = recvfrom(sockets_[index], buffer.data(), buffer.size(), MSG_TRUNC,
                               reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (got < 0)
            return;  // EAGAIN: drained; other errors: try again on the next wake
        // A datagram larger than the buffer is cut (MSG_TRUNC reports its full
        // size); a device does not take such requests.
        if (static_cast<size_t>(got) > buffer.size())
            continue;
        uint32_t peer = ntohl(from.sin_addr.s_addr);
        std::span<const uint8_t> datagram(buffer.data(), static_cast<size_t>(got));
        if (options_.trace)
            traceLine(describeReceived(endpoints_[index].listen.address, peer, datagram));
        dispatch(index, endpoints_[index].device.handleDatagram(peer, datagram));
    }
}

void DeviceServer::dispatch(size_t index, std::vector<Outgoing> messages) {
    for (auto& message : messages) {
        if (message.isReply && options_.dropEvery != 0 && ++replyCount_ % options_.dropEvery == 0) {
            if (options_.trace)
                traceLine(describeSent(endpoints_[index].listen.address, message.to,
                                       message.datagram, true, "drop"));
            continue;
        }
        if (message.isReply && options_.delayMs != 0) {
            delayed_.push_back({Clock::now() + std::chrono::milliseconds(options_.delayMs), index,
                                std::move(message)});
            continue;
        }
        send(index, message);
    }
}

void DeviceServer::send(size_t index, const Outgoing& message) {
    const auto& endpoint = endpoints_[index];
    sockaddr_in to = socketAddress(message.to, endpoint.listen.port);
    ssize_t sent = sendto(sockets_[index], message.datagram.data(), message.datagram.size(), 0,
                          reinterpret_cast<sockaddr*>(&to), sizeof to);
    if (options_.trace)
        traceLine(describeSent(endpoint.listen.address, message.to, message.datagram,
                               message.isReply, sent < 0 ? "failed" : ""));
}

void DeviceServer::sendDue() {
    auto now = Clock::now();
    while (!delayed_.empty() && delayed_.front().due <= now) {
        Delayed item = std::move(delayed_.front());
        delayed_.pop_front();
        send(item.endpoint, item.message);
    }
}

void DeviceServer::wiggle() {
    for (size_t i = 0; i < endpoints_.size(); ++i)
        dispatch(i, endpoints_[i].device.wiggleStep(random_));
}

}  // namespace tarnsim
