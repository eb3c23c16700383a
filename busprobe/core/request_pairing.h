// Pairs every response with its request, the way requesters match them:
// peer address, message ID without the response flag and message number.
// A request sent by this PC is answered by a received response and the
// other way round. The response learns its latency; the request is marked
// answered, or unanswered once the server's packet time-out has passed.
// Pending requests are bounded: past the bound the oldest are given up as
// unanswered.
#pragma once

#include <cstdint>
#include <deque>
#include <unordered_map>

#include "capture_store.h"
#include "captured_message.h"

namespace busprobe {

inline constexpr int64_t kDefaultPacketTimeoutMs = 5000;

// "PacketTimeout" of section "VEK BASE" in VEKMAIN.INI (values above 60000
// become 5000, as the server reads it).
int64_t readPacketTimeoutMs();

class RequestPairing {
  public:
    explicit RequestPairing(int64_t timeoutMs = kDefaultPacketTimeoutMs,
                            size_t maxPending = 1 << 17)
        : timeoutNs_(timeoutMs * 1000000), maxPending_(maxPending) {}

    // Looks at `m` before it is stored under `serial`: a request starts
    // waiting, a response gets its latency and answers its request in
    // `store`.
    void observe(CapturedMessage& m, uint64_t serial, CaptureStore& store);

    // Marks the requests older than the time-out at `nowNs` (steady clock)
    // unanswered; returns how many.
    size_t expire(int64_t nowNs, CaptureStore& store);

    size_t pending() const { return pending_.size(); }
    uint64_t unanswered() const { return unanswered_; }

  private:
    struct Waiting {
        uint64_t serial = 0;
        int64_t steadyNs = 0;
    };
    static uint64_t key(uint32_t address, uint16_t messageId, uint16_t number, bool sentByUs);
    void giveUp(uint64_t serial, CaptureStore& store);

    int64_t timeoutNs_;
    size_t maxPending_;
    std::unordered_map<uint64_t, Waiting> pending_;
    std::deque<std::pair<uint64_t, uint64_t>> order_;  // (key, serial), oldest first
    uint64_t unanswered_ = 0;
};

}  // namespace busprobe
