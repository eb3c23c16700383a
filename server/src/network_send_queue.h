// The outgoing datagrams waiting for their turn. Each datagram gets its
// departure time when it is queued: the previous departure (or now, when
// that is past) plus its delay, so consecutive datagrams stay the delay
// apart, and nobody waits for them: a timer sends each one when it is due.
//
// Every client may hold only a bounded number of datagrams and bytes in the
// queue; a datagram beyond that is refused and counted, and so is any
// datagram beyond the total bound. Used on the server's main thread only.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <unordered_map>
#include <vector>

namespace hub {

using SendClock = std::chrono::steady_clock;

struct OutgoingDatagram {
    int32_t clientID = 0;
    uint32_t address = 0;
    std::vector<uint8_t> datagram;
    SendClock::time_point due;
    // At least this long after the departure before it, whatever the clock
    // did in between (timers fire late, never early).
    std::chrono::milliseconds gap{0};
    // A broadcast sent twice: when this copy left successfully, the second
    // one is due at this time (its outcome is ignored and not traced).
    std::optional<SendClock::time_point> repeatDue;
    bool isRepeat = false;
    bool released = false;  // no longer counted in its client's share
    int retries = 0;        // sends put off because the socket had no room
};

struct SendQueueLimits {
    size_t datagramsPerClient = 1024;
    size_t bytesPerClient = 1024 * 1024;
    size_t totalBytes = 16 * 1024 * 1024;
};

class OutgoingQueue {
  public:
    explicit OutgoingQueue(SendQueueLimits limits = {}) : limits_(limits) {}

    // The departure time of a datagram queued now with this delay.
    SendClock::time_point departure(SendClock::time_point now, int32_t delayMs) const;

    // Queues the datagram unless its client's share or the total is used up;
    // its departure (and that of its second copy) is then taken. False when
    // refused; the refusal is counted for the client.
    bool push(OutgoingDatagram datagram);

    // Puts a datagram at the head, outside every share: the second copy of a
    // broadcast (due before everything queued after its first copy) or a
    // datagram the socket had no room for yet.
    void pushFront(OutgoingDatagram datagram);

    bool empty() const { return queue_.empty(); }
    size_t size() const { return queue_.size(); }
    size_t bytes() const { return totalBytes_; }

    // The departure time of the head.
    std::optional<SendClock::time_point> nextDue() const;

    // A datagram left at this time (the next keeps its gap from it).
    void departed(SendClock::time_point when) { lastDeparture_ = when; }

    // The head if it is due at `now`, removed from the queue.
    std::optional<OutgoingDatagram> popDue(SendClock::time_point now);

    // Drops everything queued; the number dropped.
    size_t clear();

    // Datagrams of this client refused since its queue was last empty.
    uint64_t refusedInRun(int32_t clientID) const;
    // Datagrams refused since the start, all clients.
    uint64_t refusedTotal() const { return refusedTotal_; }

  private:
    struct Share {
        size_t datagrams = 0;
        size_t bytes = 0;
        uint64_t refused = 0;
    };
    void release(const OutgoingDatagram& datagram);

    SendQueueLimits limits_;
    std::deque<OutgoingDatagram> queue_;
    std::unordered_map<int32_t, Share> shares_;
    size_t totalBytes_ = 0;
    uint64_t refusedTotal_ = 0;
    SendClock::time_point lastSlot_{};
    SendClock::time_point lastDeparture_{};
};

}  // namespace hub
