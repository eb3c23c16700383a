#include "in_turn.h"

#include <algorithm>
#include <chrono>

#include "process_activity.h"

namespace bench_support {
namespace {

// Microseconds per round trip over one block; zeros when one failed.
struct BlockCost {
    double wall = 0;
    double cpu = 0;
};

uint64_t cpuNanosecondsOfAll(const std::vector<pid_t>& processes) {
    uint64_t total = 0;
    for (pid_t pid : processes) {
        total += cpuNanosecondsOf(pid);
    }
    return total;
}

BlockCost costPerRoundTrip(const RoundTripSide& side, int count) {
    uint64_t cpuBefore = cpuNanosecondsOfAll(side.processes);
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        if (!side.roundTrip()) {
            return {};
        }
    }
    std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    uint64_t cpu = cpuNanosecondsOfAll(side.processes) - cpuBefore;
    return {spent.count() / count, static_cast<double>(cpu) / 1000.0 / count};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

InTurnRatios ratiosInTurn(const RoundTripSide& baseline, const RoundTripSide& measured, int blocks,
                          int perBlock) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int b = 0; b < blocks; ++b) {
        BlockCost base = costPerRoundTrip(baseline, perBlock);
        BlockCost ours = costPerRoundTrip(measured, perBlock);
        if (base.wall <= 0 || ours.wall <= 0) {
            return {};
        }
        wall.push_back(ours.wall / base.wall);
        if (base.cpu > 0) {
            cpu.push_back(ours.cpu / base.cpu);
        }
    }
    return {median(wall), median(cpu)};
}

}  // namespace bench_support
