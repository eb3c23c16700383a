// Tags of the descriptors a loop waits on (the high half of epoll data; the
// low half is the descriptor).
#pragma once

#include <cstdint>

namespace plat::detail {

constexpr uint32_t kSourceInbox = 1;
constexpr uint32_t kSourceListener = 2;
constexpr uint32_t kSourceTimer = 3;
constexpr uint32_t kSourceWatch = 4;
constexpr uint32_t kSourceConnection = 5;

inline uint64_t sourceTag(uint32_t source, int fd) {
    return (static_cast<uint64_t>(source) << 32) | static_cast<uint32_t>(fd);
}

}  // namespace plat::detail
