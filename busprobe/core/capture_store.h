// The session's messages, bounded in count and bytes: the list of the
// window shows them, searches them and pairs requests with responses in
// them, and "Save as pcapng" writes them. Every message gets a serial
// number when it is added; the oldest go first when a bound is reached, so
// the serials of the kept messages are always one run [first, end).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "captured_message.h"

namespace busprobe {

inline constexpr size_t kDefaultStoreMessages = 100000;
inline constexpr size_t kDefaultStoreBytes = size_t{128} << 20;

class CaptureStore {
  public:
    explicit CaptureStore(size_t maxMessages = kDefaultStoreMessages,
                          size_t maxBytes = kDefaultStoreBytes)
        : maxMessages_(maxMessages), maxBytes_(maxBytes) {}

    // Adds a copy; returns its serial.
    uint64_t add(const CapturedMessage& m);
    // A new bound; the oldest messages beyond it are discarded at once.
    void setMaxMessages(size_t maxMessages);
    size_t maxMessages() const { return maxMessages_; }

    const std::deque<CapturedMessage>& messages() const { return messages_; }
    uint64_t firstSerial() const { return first_; }
    uint64_t endSerial() const { return first_ + messages_.size(); }
    bool holds(uint64_t serial) const { return serial >= first_ && serial < endSerial(); }
    // The message of a serial that holds() says is kept.
    const CapturedMessage& at(uint64_t serial) const { return messages_[serial - first_]; }
    CapturedMessage& at(uint64_t serial) { return messages_[serial - first_]; }

    uint64_t discarded() const { return discarded_; }
    void clear();

  private:
    void trim();

    size_t maxMessages_;
    size_t maxBytes_;
    size_t bytes_ = 0;
    uint64_t first_ = 0;
    uint64_t discarded_ = 0;
    std::deque<CapturedMessage> messages_;
};

}  // namespace busprobe
