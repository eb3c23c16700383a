// Helpers shared by the benchmark programs: the median of every benchmark
// for the printed ratio, the --pin flag, and private runtime folders.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace bench_support {

// Keeps the median time of every benchmark for the ratio.
class MedianReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override;
    std::map<std::string, double> medians;
};

// Removes "--pin" from the command line; when it was there, keeps every
// thread of this process and the children it starts on CPU 0. True when
// pinned.
bool pinWhenAsked(int& argc, char** argv);

// Points the config, state and runtime folders at a fresh folder under /tmp,
// so the benchmark touches nothing of the user's. Returns that folder.
std::string usePrivateFolders();

}  // namespace bench_support
