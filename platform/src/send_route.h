// The way back from a sent message to its waiting sender, and the calling
// thread's reply socket on which a sender waits.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "endpoint.h"

namespace plat {

// Carried by a sent message (Message::route). complete() sends the result
// to the sender's reply socket once; a route dropped without a result tells
// the sender that none will come.
struct SendRoute {
    SendRoute(detail::SocketAddress replyTo, uint64_t seq) : replyTo(replyTo), seq(seq) {}
    ~SendRoute() { complete(std::nullopt); }
    SendRoute(const SendRoute&) = delete;
    SendRoute& operator=(const SendRoute&) = delete;

    void complete(std::optional<int64_t> result);

    detail::SocketAddress replyTo;
    uint64_t seq;
    std::atomic<bool> done{false};
};

namespace detail {

// Per thread: a socket bound at "<runtime>/r<pid>.<n>" from which the thread
// sends posts and sent messages and on which it receives the replies.
class SendChannel {
  public:
    // The calling thread's channel, created on first use; nullptr when no
    // socket could be bound.
    static SendChannel* current();
    // Closes and unlinks the calling thread's channel.
    static void closeCurrent();

    ~SendChannel();

    int fd() const { return fd_.get(); }
    const SocketAddress& address() const { return address_; }
    uint64_t nextSeq() { return ++seq_; }

    // Discards replies that arrived after their sends had timed out.
    void dropStaleReplies();

    // Waits for the reply to send `seq` until the deadline. Every few hundred
    // milliseconds `targetAlive` is asked, so a receiver that died ends the
    // wait early. nullopt: time-out, receiver gone, or it dropped the message.
    std::optional<int64_t> awaitReply(uint64_t seq, std::chrono::steady_clock::time_point deadline,
                                      const std::function<bool()>& targetAlive);

  private:
    SendChannel(UniqueFd fd, std::string path, const SocketAddress& address);

    UniqueFd fd_;
    std::string path_;
    SocketAddress address_;
    uint64_t seq_ = 0;
    std::vector<uint8_t> buffer_;
};

}  // namespace detail
}  // namespace plat
