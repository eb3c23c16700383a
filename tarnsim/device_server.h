// The serving loop: one UDP socket per simulated device, bound to its
// loopback address at the server's receive port with SO_REUSEPORT (and
// SO_REUSEADDR), so it coexists with a hubserver bound to the wildcard
// address. Replies go to the requester's address at the same port. Late
// replies and wiggle steps are timers of the one poll() the loop sleeps in.
#pragma once

#include <chrono>
#include <deque>
#include <random>
#include <vector>

#include "options.h"
#include "simulated_device.h"

namespace tarnsim {

class DeviceServer {
  public:
    struct Endpoint {
        ListenAddress listen;
        SimulatedDevice device;
    };

    // Opens every socket. Throws std::runtime_error naming the address that
    // cannot be bound.
    DeviceServer(const Options& options, std::vector<Endpoint> endpoints);
    ~DeviceServer();
    DeviceServer(const DeviceServer&) = delete;
    DeviceServer& operator=(const DeviceServer&) = delete;

    // Serves until `stopFd` becomes readable (a signal descriptor or pipe).
    void run(int stopFd);

    const std::vector<Endpoint>& endpoints() const { return endpoints_; }

  private:
    using Clock = std::chrono::steady_clock;
    struct Delayed {
        Clock::time_point due;
        size_t endpoint;
        Outgoing message;
    };

    void receiveFrom(size_t index);
    void dispatch(size_t index, std::vector<Outgoing> messages);
    void send(size_t index, const Outgoing& message);
    void sendDue();
    void wiggle();
    int pollTimeout() const;

    Options options_;
    std::vector<Endpoint> endpoints_;
    std::vector<int> sockets_;
    std::deque<Delayed> delayed_;
    std::vector<uint8_t> buffer_;  // one received datagram
    uint64_t replyCount_ = 0;
    Clock::time_point nextWiggle_;
    std::mt19937 random_{std::random_device{}()};
};

// A UDP socket bound to `listen` with SO_REUSEADDR and SO_REUSEPORT,
// non-blocking; -1 with errno set on failure.
int openDeviceSocket(const ListenAddress& listen);

}  // namespace tarnsim
