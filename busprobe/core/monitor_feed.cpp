#include "monitor_feed.h"

#include <QMetaObject>

namespace busprobe {

MonitorFeed& MonitorFeed::instance() {
    // Never destroyed: a callback may still arrive while the process ends.
    static MonitorFeed* feed = new MonitorFeed;
    return *feed;
}

void MonitorFeed::onNetMonMessage(_Message* message, NetMonCBReason_t reason) {
    if (message == nullptr) {
        return;
    }
    Direction direction = reason == MessageSent ? Direction::Sent : Direction::Received;
    size_t length = message->Dataptr != nullptr ? message->Length : 0;
    instance().push(stampedMessage(direction, message->Address, message->Dataptr, length));
}

void MonitorFeed::attach(Sink sink) {
    sink_ = std::move(sink);
}

void MonitorFeed::detach() {
    sink_ = nullptr;
    std::lock_guard lock(mutex_);
    queue_.clear();
    queuedBytes_ = 0;
    // A drain still queued finds nothing; the next message asks anew.
    drainPending_ = false;
}

void MonitorFeed::push(CapturedMessage&& message) {
    bool schedule = false;
    {
        std::lock_guard lock(mutex_);
        if (queue_.size() >= kMaxQueued || queuedBytes_ >= kMaxQueuedBytes) {
            dropped_.fetch_add(1);
            return;
        }
        queuedBytes_ += message.bytes.size();
        queue_.push_back(std::move(message));
        schedule = !drainPending_;
        drainPending_ = true;
    }
    if (schedule) {
        QMetaObject::invokeMethod(this, &MonitorFeed::drain, Qt::QueuedConnection);
    }
}

void MonitorFeed::drain() {
    std::vector<CapturedMessage> batch;
    bool more = false;
    {
        std::lock_guard lock(mutex_);
        size_t count = std::min(queue_.size(), kBatchSize);
        batch.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            queuedBytes_ -= queue_.front().bytes.size();
            batch.push_back(std::move(queue_.front()));
            queue_.pop_front();
        }
        more = !queue_.empty();
        drainPending_ = more;
    }
    if (more) {
        // The rest waits behind the events that came in meanwhile.
        QMetaObject::invokeMethod(this, &MonitorFeed::drain, Qt::QueuedConnection);
    }
    deliver(batch);
}

void MonitorFeed::deliver(std::vector<CapturedMessage>& batch) {
    maxBatch_ = std::max(maxBatch_, batch.size());
    if (sink_ && !batch.empty()) {
        sink_(batch);
    }
}

}  // namespace busprobe
