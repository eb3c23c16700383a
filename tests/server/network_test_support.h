// Helpers for the network tests: free UDP ports, UDP peers on loopback
// addresses (standing in for devices), datagram and envelope builders, and
// pumping the calling thread's message loop.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/window.h"
#include "wire/datagram.h"

namespace testing_support {

// A UDP port that nothing on the machine uses at this moment.
inline uint16_t freeUdpPort() {
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
    socklen_t size = sizeof local;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size);
    ::close(fd);
    return ntohs(local.sin_port);
}

inline uint32_t loopback(uint8_t node) {
    return 0x7F000000u | node;
}

struct ReceivedDatagram {
    std::vector<uint8_t> bytes;
    uint32_t source = 0;                  // host order
    std::chrono::nanoseconds arrival{0};  // kernel time stamp (CLOCK_REALTIME)
};

// A UDP socket bound to `address`:`port` (port 0: any) with SO_REUSEADDR, as
// the simulated devices bind beside the server.
class UdpPeer {
  public:
    explicit UdpPeer(uint32_t address, uint16_t port = 0) {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        int on = 1;
        ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        ::setsockopt(fd_, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
        ::setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
        sockaddr_in local = endpoint(address, port);
        bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0;
    }
    ~UdpPeer() { ::close(fd_); }
    UdpPeer(const UdpPeer&) = delete;
    UdpPeer& operator=(const UdpPeer&) = delete;

    bool bound() const { return bound_; }
    int fd() const { return fd_; }

    bool sendTo(uint32_t address, uint16_t port, const std::vector<uint8_t>& bytes) const {
        sockaddr_in to = endpoint(address, port);
        return ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to),
                        sizeof to) == static_cast<ssize_t>(bytes.size());
    }

    // The next datagram, or nullopt when none arrives within the time-out.
    std::optional<ReceivedDatagram> receive(std::chrono::milliseconds timeout) const {
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
                out.arrival =
                    std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec);
            }
        }
        return out;
    }

    // The kernel turns receive time stamps on lazily, some time after the
    // first socket asks for them; until then a datagram is stamped when it is
    // read. Waits until a probe datagram sent to `address`:`port` (an
    // address that reaches this socket) is stamped on arrival.
    bool awaitArrivalStamps(uint32_t address, uint16_t port) const {
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

  private:
    static sockaddr_in endpoint(uint32_t address, uint16_t port) {
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(address);
        at.sin_port = htons(port);
        return at;
    }

    int fd_ = -1;
    bool bound_ = false;
};

inline std::vector<uint8_t> datagram(uint16_t objectId, uint16_t messageId, uint16_t number,
                                     std::vector<uint8_t> data = {}) {
    return wire::buildDatagram({objectId, messageId, number}, data);
}

// Dispatches the calling thread's messages until `done` holds or the
// time-out passes; returns `done()`.
inline bool pumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return false;
        }
        plat::waitForMessage(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now));
        plat::Message m;
        while (plat::peekMessage(m)) {
            plat::dispatchMessage(m);
        }
    }
    return true;
}

// Dispatches whatever arrives during `span` (to prove that nothing more comes).
inline void pumpFor(std::chrono::milliseconds span) {
    pumpUntil([] { return false; }, span);
}

}  // namespace testing_support
