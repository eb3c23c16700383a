// Searching the stored messages: a query matches a message by its address
// ("127.0.0.2", or part of it), its object or message ID as hexadecimal
// digits, or a run of its bytes as hexadecimal ("56 45 4B" or "56454B",
// aligned to whole bytes). Case and blanks do not matter.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "capture_store.h"
#include "captured_message.h"

namespace busprobe {

class MessageQuery {
  public:
    explicit MessageQuery(std::string_view text);
    bool empty() const { return text_.empty(); }
    bool matches(const CapturedMessage& m) const;

  private:
    std::string text_;  // trimmed, upper case
    std::string hex_;   // without blanks, when every character is a hex digit
};

// The next kept message after `from` (or before it, backwards) that matches,
// wrapping around the store once; nullopt when none does.
std::optional<uint64_t> findMessage(const CaptureStore& store, uint64_t from,
                                    const MessageQuery& query, bool forward = true);

}  // namespace busprobe
