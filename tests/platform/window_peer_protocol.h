// Messages understood by the peer program of the message-loop tests.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat::test::peer {

constexpr uint32_t kEcho = 0x400;          // returns wParam * 2 + lParam
constexpr uint32_t kSleep = 0x401;         // sleeps lParam ms, returns 7
constexpr uint32_t kCheckPattern = 0x402;  // returns the payload size if it holds the
                                           // pattern (and is a section when large), else -1
constexpr uint32_t kPostBack = 0x403;      // posts kPatternBack with lParam pattern bytes
                                           // to window wParam; returns 1 when queued
constexpr uint32_t kPatternBack = 0x404;   // what kPostBack posts
constexpr uint32_t kSendBack = 0x405;      // sends kEcho(wParam 5, lParam 1) to window
                                           // wParam; returns its result or -1
constexpr uint32_t kExitNow = 0x406;       // ends the process at once (no reply)
constexpr uint32_t kSenderPid = 0x407;     // returns Message::senderPid
constexpr uint32_t kReplyPattern = 0x408;  // replies with lParam pattern bytes, returns lParam
constexpr uint32_t kCount = 0x409;         // counts the message; kCount with wParam 1
                                           // returns the count so far

inline uint8_t patternByte(size_t i) {
    return static_cast<uint8_t>((i * 7 + 3) % 251);
}

}  // namespace plat::test::peer
