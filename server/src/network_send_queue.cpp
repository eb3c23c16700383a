#include "network_send_queue.h"

#include <algorithm>

namespace hub {

SendClock::time_point OutgoingQueue::departure(SendClock::time_point now, int32_t delayMs) const {
    return std::max(now, lastSlot_) + std::chrono::milliseconds(std::max(delayMs, 0));
}

bool OutgoingQueue::push(OutgoingDatagram datagram) {
    Share& share = shares_[datagram.clientID];
    size_t size = datagram.datagram.size();
    if (share.datagrams + 1 > limits_.datagramsPerClient ||
        share.bytes + size > limits_.bytesPerClient || totalBytes_ + size > limits_.totalBytes) {
        ++share.refused;
        ++refusedTotal_;
        return false;
    }
    ++share.datagrams;
    share.bytes += size;
    totalBytes_ += size;
    lastSlot_ = std::max(lastSlot_, datagram.repeatDue.value_or(datagram.due));
    queue_.push_back(std::move(datagram));
    return true;
}

void OutgoingQueue::pushFront(OutgoingDatagram datagram) {
    datagram.released = true;
    lastSlot_ = std::max(lastSlot_, datagram.due);
    queue_.push_front(std::move(datagram));
}

std::optional<SendClock::time_point> OutgoingQueue::nextDue() const {
    if (queue_.empty()) {
        return std::nullopt;
    }
    const OutgoingDatagram& head = queue_.front();
    return std::max(head.due, lastDeparture_ + head.gap);
}

std::optional<OutgoingDatagram> OutgoingQueue::popDue(SendClock::time_point now) {
    std::optional<SendClock::time_point> due = nextDue();
    if (!due || *due > now) {
        return std::nullopt;
    }
    OutgoingDatagram head = std::move(queue_.front());
    queue_.pop_front();
    if (!head.released) {
        release(head);
        head.released = true;
    }
    return head;
}

size_t OutgoingQueue::clear() {
    size_t dropped = queue_.size();
    queue_.clear();
    shares_.clear();
    totalBytes_ = 0;
    return dropped;
}

uint64_t OutgoingQueue::refusedInRun(int32_t clientID) const {
    auto it = shares_.find(clientID);
    return it == shares_.end() ? 0 : it->second.refused;
}

// A client whose queue is empty again starts a new run of refusals.
void OutgoingQueue::release(const OutgoingDatagram& datagram) {
    auto it = shares_.find(datagram.clientID);
    if (it == shares_.end()) {
        return;
    }
    Share& share = it->second;
    share.datagrams -= 1;
    share.bytes -= datagram.datagram.size();
    totalBytes_ -= datagram.datagram.size();
    if (share.datagrams == 0) {
        shares_.erase(it);
    }
}

}  // namespace hub
