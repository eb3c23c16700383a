// A UDP socket on a loopback address playing a device that talks to the
// server's receive port.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

namespace client_testing {

class PeerSocket {
  public:
    // Bound to `address` (host order) at `port` (0 = any), SO_REUSEADDR like
    // the server's own sockets.
    PeerSocket(uint32_t address, int port) : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
        int on = 1;
        ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(address);
        bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~PeerSocket() { ::close(fd_); }
    PeerSocket(const PeerSocket&) = delete;
    PeerSocket& operator=(const PeerSocket&) = delete;

    bool bound() const { return bound_; }

    // Sends to the server on 127.0.0.1 at its receive port.
    void sendToServer(int serverPort, const std::vector<uint8_t>& bytes) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<uint16_t>(serverPort));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }

    // The next datagram, or empty after the time-out.
    std::vector<uint8_t> receive(int timeoutMs = 15000) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) != 1) {
            return {};
        }
        std::vector<uint8_t> buffer(65536);
        ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), 0);
        buffer.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return buffer;
    }

  private:
    int fd_;
    bool bound_ = false;
};

}  // namespace client_testing
