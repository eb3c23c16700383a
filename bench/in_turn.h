// Two round trips measured in turn, block after block, so that a change of
// the shared machine's load during the run (other programs on the same CPU)
// falls on both alike. Wall time and the CPU time of the processes taking
// part (from the scheduler's accounting, which leaves out the time other
// programs took the CPU and costs the measured processes nothing).
#pragma once

#include <sys/types.h>

#include <functional>
#include <vector>

namespace bench_support {

struct RoundTripSide {
    std::vector<pid_t> processes;     // whose CPU time counts
    std::function<bool()> roundTrip;  // false: it failed
};

struct InTurnRatios {
    double wall = 0;  // median of the blocks' ratios measured / baseline
    double cpu = 0;
};

// Zeros when a round trip failed.
InTurnRatios ratiosInTurn(const RoundTripSide& baseline, const RoundTripSide& measured, int blocks,
                          int perBlock);

}  // namespace bench_support
