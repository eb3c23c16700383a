// The calling thread's connections to the loops it posts and sends to (one
// per target loop, kept for reuse), and the wait for a sent message's reply.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "endpoint.h"
#include "platform/window.h"

namespace plat::detail {

class Connections {
  public:
    static Connections& current();
    // Closes the calling thread's connections.
    static void closeCurrent();

    // Sends one record to the loop that owns the handle, connecting (again)
    // when needed. When an earlier send or probe on the connection was not
    // answered in time, its late reply is discarded first. With `wait` the
    // send time-out is set to `waitMs` (only when it differs from the last).
    SendStatus send(Hwnd target, const OutgoingDatagram& d, bool wait, int64_t waitMs);

    // Waits for the reply to `seq` from the loop that owns the handle, sent
    // with this time-out, until the deadline. nullopt: time-out, the loop
    // dropped the message, or it closed.
    std::optional<SendResult> awaitReply(Hwnd target, uint64_t seq,
                                         std::chrono::steady_clock::time_point deadline,
                                         std::chrono::milliseconds timeout);

    uint64_t nextSeq() { return ++seq_; }

  private:
    // Loops are told apart by the pid and slot of their handles.
    static uint64_t loopKey(Hwnd hwnd) { return hwnd >> 16; }

    struct Link {
        UniqueFd fd;
        int64_t sendTimeoutMs = -1;     // as last set on the socket; -1 none
        int64_t receiveTimeoutMs = -1;  // the same for receiving
        bool replyOutstanding = false;  // a reply may still come for an earlier record
    };

    Link* linkFor(Hwnd target, SendStatus& status);
    void drop(uint64_t key);
    // False when the connection closed (it was dropped).
    bool dropStaleReplies(uint64_t key, Link& link);

    std::map<uint64_t, Link> byLoop_;
    std::vector<uint8_t> buffer_;
    uint64_t seq_ = 0;
};

}  // namespace plat::detail
