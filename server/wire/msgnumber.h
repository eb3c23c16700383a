// The server's message-number counter: numbers 0x8000..0xFFFF, starting at
// 0x8000 and wrapping back to it after 0xFFFF. Numbers below 0x8000 are never
// issued. Not thread-safe: the server uses it on its main thread only.
#pragma once

#include <cstdint>

namespace wire {

constexpr uint16_t kFirstMessageNumber = 0x8000;

class MessageNumberCounter {
  public:
    // Returns the current number and advances.
    uint16_t next();
    // Returns the current number and advances past `count` numbers (a block
    // handed to one client, which uses them in order, wrapping like next()).
    uint16_t take(uint16_t count);
    // Back to the first number (when the network starts).
    void reset() { current_ = kFirstMessageNumber; }

  private:
    uint16_t current_ = kFirstMessageNumber;
};

}  // namespace wire
