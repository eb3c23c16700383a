// A UDP socket on a loopback address playing a device that talks to the
// server's receive port.
#pragma once

#include <cstdint>
#include <vector>

#include "udp_peer.h"

namespace client_testing {

class PeerSocket {
  public:
    // Bound to `address` (host order) at `port` (0 = any), SO_REUSEPORT like
    // the server's own sockets.
    PeerSocket(uint32_t address, uint16_t port) : peer_(address, port) {}

    bool bound() const { return peer_.bound(); }

    // Sends to the server on 127.0.0.1 at its receive port.
    void sendToServer(uint16_t serverPort, const std::vector<uint8_t>& bytes) {
        peer_.sendTo(testing_support::loopback(1), serverPort, bytes);
    }

    // The next datagram, or empty after the time-out.
    std::vector<uint8_t> receive(int timeoutMs = 15000) {
        auto received = peer_.receive(std::chrono::milliseconds(timeoutMs));
        return received ? received->bytes : std::vector<uint8_t>{};
    }

  private:
    testing_support::UdpPeer peer_;
};

}  // namespace client_testing
