// One-line descriptions of the datagrams a device receives and sends, for
// --trace.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tarnsim {

std::string addressText(uint32_t address);

// "127.0.0.2 <- 127.0.0.1 #33002 TarnGet obj 10 mode 1 len 18"
std::string describeReceived(uint32_t device, uint32_t from, std::span<const uint8_t> datagram);

// "127.0.0.2 -> 127.0.0.1 #33002 reply TarnGet status OK len 21", or
// "... notify obj 10 reg 12 ...", with a leading word such as "drop".
std::string describeSent(uint32_t device, uint32_t to, std::span<const uint8_t> datagram,
                         bool isReply, const char* what = "");

}  // namespace tarnsim
