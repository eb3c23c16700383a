// The counter file shared by network_receive_bench and its monitor
// processes (mapped by both; same program build, same layout).
#pragma once

#include <atomic>
#include <cstdint>

constexpr int kFanoutMaxMonitors = 64;

struct FanoutCounters {
    std::atomic<uint64_t> target;                      // set by the benchmark
    std::atomic<uint64_t> counts[kFanoutMaxMonitors];  // one per monitor
};

static_assert(std::atomic<uint64_t>::is_always_lock_free);
