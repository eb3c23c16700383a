#include "udp_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <thread>

namespace testing_support {
namespace {

sockaddr_in endpoint(uint32_t address, uint16_t port) {
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(address);
    at.sin_port = htons(port);
    return at;
}

}  // namespace

uint16_t freeUdpPort() {
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local = endpoint(INADDR_ANY, 0);
    ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
    socklen_t size = sizeof local;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size);
    ::close(fd);
    return ntohs(local.sin_port);
}

UdpPeer::UdpPeer(uint32_t address, uint16_t port) {
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    int on = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEPORT, &on, sizeof on);
    ::setsockopt(fd_, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    ::setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    sockaddr_in local = endpoint(address, port);
    bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0;
}

UdpPeer::~UdpPeer() {
    ::close(fd_);
}

bool UdpPeer::sendTo(uint32_t address, uint16_t port, const std::vector<uint8_t>& bytes) const {
    sockaddr_in to = endpoint(address, port);
    return ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to),
                    sizeof to) == static_cast<ssize_t>(bytes.size());
}

std::optional<ReceivedDatagram> UdpPeer::receive(std::chrono::milliseconds timeout) const {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(timeout.count())) != 1) {
        return std::nullopt;
    }
    ReceivedDatagram out;
    out.bytes.resize(65536);
    sockaddr_in from{};
    iovec io{out.bytes.data(), out.bytes.size()};
    alignas(cmsghdr) char control[256];
    msghdr msg{};
    msg.msg_name = &from;
    msg.msg_namelen = sizeof from;
    msg.msg_iov = &io;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    ssize_t n = ::recvmsg(fd_, &msg, 0);
    if (n < 0) {
        return std::nullopt;
    }
    out.bytes.resize(static_cast<size_t>(n));
    out.source = ntohl(from.sin_addr.s_addr);
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
            timespec ts{};
            std::memcpy(&ts, CMSG_DATA(c), sizeof ts);
            out.arrival = std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec);
        }
    }
    return out;
}

bool UdpPeer::awaitArrivalStamps(uint32_t address, uint16_t port) const {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        sendTo(address, port, {0});
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        auto before = std::chrono::system_clock::now().time_since_epoch();
        auto probe = receive(std::chrono::milliseconds(1000));
        if (probe && probe->arrival.count() != 0 && probe->arrival < before) {
            return true;
        }
    }
    return false;
}

}  // namespace testing_support
