// A benchmark's device session: a hubserver of its own (with the given
// "MessageDelayTime" pacing) started by the client library, the
// communication layer, a tarnsim serving a device file on 127.0.0.2 (device
// 1), and a network monitor that counts the Tarn requests sent.
#pragma once

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "bench_support.h"
#include "comm/tarn_monitor.h"
#include "tarnsim_process.h"

namespace bench_support {

class TarnBenchSession {
  public:
    TarnBenchSession(int delayMs, const std::string& deviceFile);
    ~TarnBenchSession();
    TarnBenchSession(const TarnBenchSession&) = delete;
    TarnBenchSession& operator=(const TarnBenchSession&) = delete;

    bool ok() const;
    int delayMs() const { return delayMs_; }
    objscope::TTarn_Monitor& monitor() { return *monitor_; }
    // Tarn requests the server sent since the program started.
    static uint64_t requestsSent();

  private:
    int delayMs_;
    uint16_t receivePort_ = 0;
    std::unique_ptr<objscope::TTarn_Monitor> monitor_;
    int32_t hub_ = 0;
    std::unique_ptr<testing_support::TarnsimProcess> tarnsim_;
};

// The private state folder (created when missing), where the benchmarks
// write their device files.
std::string StateFolder();

// Keeps the median time and the "requests" counter of each benchmark's
// median run.
class RequestsReporter : public MedianReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override;
    std::map<std::string, double> requestsPerRun;
};

// The baseline of a request: a raw UDP round trip between two loopback
// sockets (an echo thread answers), one per iteration.
void MeasureRawUdpRoundTrip(benchmark::State& state);

}  // namespace bench_support
