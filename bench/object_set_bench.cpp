// Upload Objs to File and Download Objs from File of a 1000-object device
// through the communication layer against tarnsim, with the server's
// "MessageDelayTime" at 0 and at 10 ms.
//
// Baselines measured in the same run:
//  - the pacing bound: requests x MessageDelayTime (the server waits that
//    long before every datagram it sends);
//  - the raw UDP round trip between two loopback sockets, per request.
// Printed: the medians, the requests each operation needed, and the ratios
// (goal: within 1.2x the pacing bound at 10 ms).
//
//   object_set_bench [--pin] [benchmark flags]
//
// Runs in private folders with its own hubserver and tarnsim; nothing leaves
// the loopback interface.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "bench_support.h"
#include "devicewin/object_set_download.h"
#include "devicewin/object_set_upload.h"
#include "tarn_bench_session.h"
#include "windows/monitor_requests.h"

namespace {

using namespace objscope;
using Session = bench_support::TarnBenchSession;

constexpr int kObjects = 1000;
constexpr uint16_t kDevice = 1;

// Shows nothing and never stops a flow.
class QuietView : public TObjectSetView {
  public:
    void ShowPanel(const std::string&) override {}
    void ShowProgress(const std::string&, int) override {}
    void HidePanel() override {}
    void ShowError(const std::string& text) override { errors.push_back(text); }
    void ShowMessage(const std::string&) override {}
    SetAnswer Ask(const std::string&) override { return SetAnswer::No; }
    bool CancelRequested() override { return false; }
    std::vector<std::string> errors;
};

std::string writeDeviceFile() {
    std::string path = bench_support::StateFolder() + "/object-set-bench.tdev";
    std::ofstream out(path);
    out << "object 0 class 17\n  prop 2 String \"Bench Device\"\n";
    for (int h = 1; h <= kObjects; ++h) {
        out << "object " << h << " class 4\n"
            << "  prop 2 String \"Gain " << h << "\"\n"
            << "  prop 4096 dB1 0 min -6 max 6\n"
            << "  prop 4097 Boolean 0\n"
            << "  prop 4098 UWord 5\n";
    }
    return path;
}

std::unique_ptr<Session> gSession;
std::unique_ptr<TMonitorRequests> gRequests;
std::string gSetFile;

TMonitorRequests* requestsWithDelay(benchmark::State& state, int delayMs) {
    if (!gSession || gSession->delayMs() != delayMs) {
        gRequests.reset();
        gSession.reset();
        static std::string deviceFile = writeDeviceFile();
        gSession = std::make_unique<Session>(delayMs, deviceFile);
        gRequests = std::make_unique<TMonitorRequests>(gSession->monitor());
    }
    if (!gSession->ok()) {
        state.SkipWithError("no session");
        return nullptr;
    }
    return gRequests.get();
}

void upload(benchmark::State& state, int delayMs) {
    TMonitorRequests* requests = requestsWithDelay(state, delayMs);
    if (!requests)
        return;
    for (auto _ : state) {
        uint64_t before = Session::requestsSent();
        QuietView view;
        TObjectSetUpload flow(*requests, view, {});
        std::string text;
        TVEKList<TVEKroot> listed;
        if (!flow.Read(kDevice, text, listed) || listed.size() < kObjects ||
            flow.Outcome().incomplete) {
            state.SkipWithError("upload incomplete");
            break;
        }
        gSetFile = bench_support::StateFolder() + "/bench.tob";
        WriteFileReplacing(gSetFile, text);
        state.counters["requests"] = static_cast<double>(Session::requestsSent() - before);
    }
}

void download(benchmark::State& state, int delayMs) {
    TMonitorRequests* requests = requestsWithDelay(state, delayMs);
    if (!requests || gSetFile.empty()) {
        state.SkipWithError("no file uploaded");
        return;
    }
    for (auto _ : state) {
        uint64_t before = Session::requestsSent();
        QuietView view;
        TObjectSetDownload flow(*requests, view);
        DownloadOutcome outcome = flow.Run(kDevice, gSetFile, SetAnswer::No);
        if (!outcome.finished || outcome.failed) {
            state.SkipWithError("download refused");
            break;
        }
        state.counters["requests"] = static_cast<double>(Session::requestsSent() - before);
    }
}

void BM_RawUdpRoundTrip(benchmark::State& state) {
    bench_support::MeasureRawUdpRoundTrip(state);
}
void BM_Upload1000Objects_Delay0(benchmark::State& s) {
    upload(s, 0);
}
void BM_Download1000Objects_Delay0(benchmark::State& s) {
    download(s, 0);
}
void BM_Upload1000Objects_Delay10(benchmark::State& s) {
    upload(s, 10);
}
void BM_Download1000Objects_Delay10(benchmark::State& s) {
    download(s, 10);
}

using Reporter = bench_support::RequestsReporter;

BENCHMARK(BM_RawUdpRoundTrip)->Repetitions(9)->ReportAggregatesOnly(true)->UseRealTime();
BENCHMARK(BM_Upload1000Objects_Delay0)
    ->Repetitions(3)
    ->Iterations(1)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
BENCHMARK(BM_Download1000Objects_Delay0)
    ->Repetitions(3)
    ->Iterations(1)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
BENCHMARK(BM_Upload1000Objects_Delay10)
    ->Repetitions(3)
    ->Iterations(1)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
BENCHMARK(BM_Download1000Objects_Delay10)
    ->Repetitions(3)
    ->Iterations(1)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();

void printRatios(Reporter& reporter) {
    double raw = reporter.medians["BM_RawUdpRoundTrip"];
    std::printf("\nmedian raw UDP round trip: %.2f us\n", raw / 1000.0);
    for (const char* name : {"BM_Upload1000Objects_Delay0", "BM_Download1000Objects_Delay0",
                             "BM_Upload1000Objects_Delay10", "BM_Download1000Objects_Delay10"}) {
        double time = reporter.medians[name];
        double requests = reporter.requestsPerRun[name];
        if (time <= 0 || requests <= 0)
            continue;
        double perRequest = time / requests;
        std::printf("%s: %.1f ms for %.0f requests (%.1f us per request, %.2f x raw UDP)", name,
                    time / 1e6, requests, perRequest / 1000.0, raw > 0 ? perRequest / raw : 0.0);
        if (std::string(name).ends_with("Delay10")) {
            double bound = requests * 10e6;
            std::printf(", pacing bound %.0f ms, ratio %.3f\n", bound / 1e6, time / bound);
        } else {
            std::printf("\n");
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool pin = bench_support::pinWhenAsked(argc, argv);
    benchmark::Initialize(&argc, argv);
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    gRequests.reset();
    gSession.reset();
    std::printf("\npinned to one CPU: %s\n", pin ? "yes (CPU 0)" : "no");
    printRatios(reporter);
    return 0;
}
