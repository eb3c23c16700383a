// Window handle layout: (pid << 32) | (loop slot << 16) | window number.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window.h"

namespace plat::detail {

inline Hwnd makeHandle(uint32_t pid, uint16_t slot, uint16_t number) {
    return (static_cast<uint64_t>(pid) << 32) | (static_cast<uint64_t>(slot) << 16) | number;
}
inline uint32_t handlePid(Hwnd h) {
    return static_cast<uint32_t>(h >> 32);
}
inline uint16_t handleSlot(Hwnd h) {
    return static_cast<uint16_t>(h >> 16);
}
inline uint16_t handleNumber(Hwnd h) {
    return static_cast<uint16_t>(h);
}

// "<runtime>/p<pid>.<slot>": the socket of the loop that owns the handle.
// Empty when there is no usable runtime folder.
std::string loopSocketPath(uint32_t pid, uint16_t slot);
inline std::string loopSocketPath(Hwnd h) {
    return loopSocketPath(handlePid(h), handleSlot(h));
}

}  // namespace plat::detail
