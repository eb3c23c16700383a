// What a process costs while a benchmark runs: its CPU time, system calls
// and context switches (each switch is one sleep ended by a wake-up) from
// perf counters on every thread it has when the counters are opened. The
// perf counters need the rights to trace the process (root, or
// perf_event_paranoid low enough); without them available() is false and
// only the CPU time from /proc (in clock ticks) is left.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <vector>

namespace bench_support {

// CPU time (user + system) of every thread of the process, in seconds; 0
// when the process cannot be read.
double cpuSecondsOf(pid_t pid);

// The same in nanoseconds, from the scheduler's accounting of every thread
// (/proc/<pid>/task/<tid>/schedstat): precise, and unlike the counters below
// it costs the measured processes nothing while they run.
uint64_t cpuNanosecondsOf(pid_t pid);

class ProcessActivity {
  public:
    explicit ProcessActivity(pid_t pid);
    ~ProcessActivity();
    ProcessActivity(const ProcessActivity&) = delete;
    ProcessActivity& operator=(const ProcessActivity&) = delete;

    bool available() const { return !syscalls_.empty(); }

    struct Totals {
        uint64_t syscalls = 0;
        uint64_t switches = 0;
        uint64_t cpuNs = 0;
    };
    Totals read() const;

  private:
    std::vector<int> syscalls_;
    std::vector<int> switches_;
    std::vector<int> cpu_;
};

// The first child process of this process whose command is `name`, or -1.
pid_t findChild(const char* name);

}  // namespace bench_support
