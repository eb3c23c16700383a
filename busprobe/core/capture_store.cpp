#include "capture_store.h"

namespace busprobe {

uint64_t CaptureStore::add(const CapturedMessage& m) {
    messages_.push_back(m);
    bytes_ += m.bytes.size();
    uint64_t serial = endSerial() - 1;
    trim();
    return serial;
}

void CaptureStore::setMaxMessages(size_t maxMessages) {
    maxMessages_ = maxMessages;
    trim();
}

void CaptureStore::trim() {
    while (!messages_.empty() && (messages_.size() > maxMessages_ || bytes_ > maxBytes_)) {
        bytes_ -= messages_.front().bytes.size();
        messages_.pop_front();
        ++first_;
        ++discarded_;
    }
}

void CaptureStore::clear() {
    first_ = endSerial();
    messages_.clear();
    bytes_ = 0;
}

}  // namespace busprobe
