// The way back from a sent message to its waiting sender.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/payload.h"
#include "platform/window.h"
#include "unique_fd.h"

namespace plat {

// Carried by a sent message (Message::route). complete() hands the result to
// the sender once; a route destroyed without a result tells the sender at
// once that none will come (the message was dropped).
//
// A route also knows until when its sender waits. A message whose sender has
// stopped waiting is not dispatched any more: the sender already reported
// the send as failed, so its effect (a datagram sent, a client registered)
// must not happen later behind its back.
struct SendRoute {
    using Deadline = std::chrono::steady_clock::time_point;

    explicit SendRoute(Deadline deadline = Deadline{}) : deadline_(deadline) {}
    virtual ~SendRoute() = default;
    void complete(std::optional<int64_t> result, const Payload& reply = {}) {
        if (!done_.exchange(true)) {
            deliver(result, reply);
        }
    }
    // True once the sender's time-out has passed (never without a deadline).
    bool senderGaveUp() const {
        return deadline_ != Deadline{} && std::chrono::steady_clock::now() >= deadline_;
    }

  protected:
    virtual void deliver(std::optional<int64_t> result, const Payload& reply) = 0;

  private:
    std::atomic<bool> done_{false};
    Deadline deadline_;
};

namespace detail {

// A sender in another process or library copy: the reply goes back as a
// record on the connection the message came in on.
class ConnectionRoute final : public SendRoute {
  public:
    ConnectionRoute(std::shared_ptr<UniqueFd> connection, uint64_t seq, Deadline deadline)
        : SendRoute(deadline), connection_(std::move(connection)), seq_(seq) {}
    ~ConnectionRoute() override { complete(std::nullopt); }

  private:
    void deliver(std::optional<int64_t> result, const Payload& reply) override;

    std::shared_ptr<UniqueFd> connection_;
    uint64_t seq_;
};

// Where a waiting sender of this process finds its result.
class LocalReply {
  public:
    void set(std::optional<int64_t> result, const Payload& reply);
    // The result, or nullopt when none came before the deadline.
    std::optional<SendResult> waitUntil(std::chrono::steady_clock::time_point deadline);

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    bool done_ = false;
    std::optional<SendResult> result_;
};

// A sender on another thread of this process.
class LocalRoute final : public SendRoute {
  public:
    LocalRoute(std::shared_ptr<LocalReply> reply, Deadline deadline)
        : SendRoute(deadline), reply_(std::move(reply)) {}
    ~LocalRoute() override { complete(std::nullopt); }

  private:
    void deliver(std::optional<int64_t> result, const Payload& reply) override {
        reply_->set(result, reply);
    }

    std::shared_ptr<LocalReply> reply_;
};

}  // namespace detail
}  // namespace plat
