// Wake-ups of a process: the voluntary context switches of its threads,
// each a sleep that a wake-up ended (from /proc/<pid>/task/*/status).
#pragma once

#include <sys/types.h>

#include <cstdint>

namespace testing_support {

// Summed over every thread of `pid` but `exceptThread` (0: none left out).
uint64_t voluntarySwitchesOf(pid_t pid, pid_t exceptThread = 0);

}  // namespace testing_support
