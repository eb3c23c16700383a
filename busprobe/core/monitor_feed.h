// Hands the network-monitor stream from the hubclient library thread to the
// GUI thread in batches: the callback copies each message into a locked
// queue and asks for one queued drain call while none is pending; the drain
// takes a bounded batch, so the GUI thread is never held long and never gets
// one event per message. The queue is bounded too: past the bound messages
// are counted as dropped instead of growing memory without end.
//
// The monitor callback of hubclient carries no parameter and may still run
// just after the subscription was removed, so the feed is one object that
// lives as long as the process; windows attach and detach a sink.
#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "captured_message.h"
#include "hubclient.h"

namespace busprobe {

class MonitorFeed : public QObject {
    Q_OBJECT

  public:
    using Sink = std::function<void(std::vector<CapturedMessage>& batch)>;

    // The feed of this process; created on first use, on the GUI thread.
    static MonitorFeed& instance();

    // The function that hubclient calls for every sent and received message.
    static void onNetMonMessage(_Message* message, NetMonCBReason_t reason);

    void attach(Sink sink);
    void detach();

    // Any thread: queues one message.
    void push(CapturedMessage&& message);

    uint64_t droppedCount() const { return dropped_.load(); }
    // The largest batch delivered so far.
    size_t maxBatch() const { return maxBatch_; }

  private:
    MonitorFeed() = default;
    void drain();
    void deliver(std::vector<CapturedMessage>& batch);

    static constexpr size_t kMaxQueued = 400000;
    static constexpr size_t kMaxQueuedBytes = size_t{64} << 20;
    static constexpr size_t kBatchSize = 500;

    std::mutex mutex_;
    std::deque<CapturedMessage> queue_;
    size_t queuedBytes_ = 0;
    bool drainPending_ = false;
    std::atomic<uint64_t> dropped_{0};
    Sink sink_;  // GUI thread only
    size_t maxBatch_ = 0;
};

}  // namespace busprobe
