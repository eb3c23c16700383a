// UDP peers on loopback addresses, standing in for devices beside a
// hubserver bound to the wildcard address.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace testing_support {

// A UDP port that nothing on the machine uses at this moment.
uint16_t freeUdpPort();

// 127.0.0.<node> in host order.
inline uint32_t loopback(uint8_t node) {
    return 0x7F000000u | node;
}

struct ReceivedDatagram {
    std::vector<uint8_t> bytes;
    uint32_t source = 0;                  // host order
    std::chrono::nanoseconds arrival{0};  // kernel time stamp (CLOCK_REALTIME)
};

// A UDP socket bound to `address`:`port` (port 0: any) with SO_REUSEPORT, as
// the simulated devices bind beside the server.
class UdpPeer {
  public:
    explicit UdpPeer(uint32_t address, uint16_t port = 0);
    ~UdpPeer();
    UdpPeer(const UdpPeer&) = delete;
    UdpPeer& operator=(const UdpPeer&) = delete;

    bool bound() const { return bound_; }
    int fd() const { return fd_; }

    bool sendTo(uint32_t address, uint16_t port, const std::vector<uint8_t>& bytes) const;

    // The next datagram, or nullopt when none arrives within the time-out.
    std::optional<ReceivedDatagram> receive(std::chrono::milliseconds timeout) const;

    // The kernel turns receive time stamps on lazily, some time after the
    // first socket asks for them; until then a datagram is stamped when it is
    // read. Waits until a probe datagram sent to `address`:`port` (an
    // address that reaches this socket) is stamped on arrival.
    bool awaitArrivalStamps(uint32_t address, uint16_t port) const;

  private:
    int fd_ = -1;
    bool bound_ = false;
};

}  // namespace testing_support
