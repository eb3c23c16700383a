// Listings through the communication layer against tarnsim: all 5000
// objects of a device, and all properties of 200 objects, with the server's
// "MessageDelayTime" at 0 and at its default 100 ms.
//
// Baselines measured in the same run:
//  - the lower bound the pacing alone imposes: requests x MessageDelayTime
//    (the server sleeps that long before every datagram it sends);
//  - the raw UDP round trip between two loopback sockets, per request;
//  - one synchronous objlink request (a TarnGet to tarnsim, no pacing): the
//    floor of the chain below the communication layer, per request.
// Printed: the medians, the requests each listing needed, and the ratios
// (goal: 1.2x the pacing bound at 100 ms; within 3x the raw round trip per
// request at 0 ms).
//
//   comm_listing_bench [--pin] [benchmark flags]
//
// Runs in private folders with its own hubserver and tarnsim (see
// private_env_preinit.cpp); nothing leaves the loopback interface.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "bench_support.h"
#include "tarn_bench_session.h"
#include "comm/tarn_monitor.h"
#include "protocol/tarn_requests.h"
#include "hubclient.h"
#include "server_settings.h"
#include "tarnsim_process.h"
#include "udp_peer.h"
#include "wire/datagram.h"

namespace {

using namespace objscope;
using namespace std::chrono_literals;
using testing_support::loopback;
using testing_support::UdpPeer;

constexpr int kObjects = 5000;
constexpr int kPropertyObjects = 200;
constexpr uint16_t kDevice = 1;

std::string writeDeviceFile() {
    std::string path = bench_support::StateFolder() + "/bench.tdev";
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

using Session = bench_support::TarnBenchSession;

std::unique_ptr<Session> gSession;

Session* sessionWithDelay(int delayMs) {
    if (!gSession || gSession->delayMs() != delayMs) {
        gSession.reset();
        static std::string deviceFile = writeDeviceFile();
        gSession = std::make_unique<Session>(delayMs, deviceFile);
    }
    return gSession->ok() ? gSession.get() : nullptr;
}

Session* sessionOrSkip(benchmark::State& state, int delayMs) {
    Session* session = sessionWithDelay(delayMs);
    if (session == nullptr)
        state.SkipWithError("no session");
    return session;
}

void BM_RawUdpRoundTrip(benchmark::State& state) {
    bench_support::MeasureRawUdpRoundTrip(state);
}

// A TarnGet of the device's name straight through objlink.
void BM_ObjlinkTarnGet_Delay0(benchmark::State& state) {
    Session* session = sessionOrSkip(state, 0);
    if (session == nullptr)
        return;
    auto request = buildGet({0, 0x8031}, {0, kDevice, 0}, 2, 20);
    std::vector<uint8_t> answer(kTarnMaxRequestLength);
    for (auto _ : state) {
        VEKMessage_t m{};
        m.ObjectID = kTarnObjectId;
        m.MessageID = request->messageId;
        m.DataLength = static_cast<uint16_t>(request->data.size());
        m.DataPtr = request->data.data();
        m.Address = VEKAddress_t{FullAddress, loopback(2)};
        VEKMessageResponse_t r{};
        r.DataPtr = answer.data();
        r.MaxDataLength = static_cast<uint16_t>(answer.size());
        if (SendVEKMessage(session->monitor().RegistrationID(), 2000, &m, &r) <= 0 ||
            r.Status != MessageResponseSuccess) {
            state.SkipWithError("request not answered");
            break;
        }
    }
}

void listObjects(benchmark::State& state, int delayMs) {
    Session* session = sessionOrSkip(state, delayMs);
    if (session == nullptr)
        return;
    for (auto _ : state) {
        uint64_t before = Session::requestsSent();
        TVEKList<TVEKroot> objects;
        session->monitor().GetAllObjects({0, kDevice, 0}, objects);
        if (objects.size() < kObjects) {
            state.SkipWithError(("listing incomplete: " + std::to_string(objects.size())).c_str());
            break;
        }
        state.counters["requests"] = static_cast<double>(Session::requestsSent() - before);
    }
}

void listProperties(benchmark::State& state, int delayMs) {
    Session* session = sessionOrSkip(state, delayMs);
    if (session == nullptr)
        return;
    for (auto _ : state) {
        uint64_t before = Session::requestsSent();
        for (uint16_t h = 1; h <= kPropertyObjects; ++h) {
            TVEKList<TVEKPropertyBase> properties;
            session->monitor().GetAllProperties({0, kDevice, h}, properties);
            if (properties.size() < 4) {
                state.SkipWithError("property listing incomplete");
                return;
            }
        }
        state.counters["requests"] = static_cast<double>(Session::requestsSent() - before);
    }
}

void BM_List5000Objects_Delay0(benchmark::State& s) {
    listObjects(s, 0);
}
void BM_Properties200Objects_Delay0(benchmark::State& s) {
    listProperties(s, 0);
}
void BM_List5000Objects_Delay100(benchmark::State& s) {
    listObjects(s, 100);
}
void BM_Properties200Objects_Delay100(benchmark::State& s) {
    listProperties(s, 100);
}

using Reporter = bench_support::RequestsReporter;

BENCHMARK(BM_RawUdpRoundTrip)->Repetitions(9)->ReportAggregatesOnly(true)->UseRealTime();
BENCHMARK(BM_ObjlinkTarnGet_Delay0)->Repetitions(9)->ReportAggregatesOnly(true)->UseRealTime();
BENCHMARK(BM_List5000Objects_Delay0)
    ->Repetitions(5)
    ->Iterations(3)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
BENCHMARK(BM_Properties200Objects_Delay0)
    ->Repetitions(5)
    ->Iterations(1)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
BENCHMARK(BM_List5000Objects_Delay100)
    ->Repetitions(3)
    ->Iterations(1)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
BENCHMARK(BM_Properties200Objects_Delay100)
    ->Repetitions(3)
    ->Iterations(1)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();

void printRatios(Reporter& reporter) {
    double raw = reporter.medians["BM_RawUdpRoundTrip"];
    double objlink = reporter.medians["BM_ObjlinkTarnGet_Delay0"];
    std::printf("\nmedian raw UDP round trip: %.2f us\n", raw / 1000.0);
    std::printf("median objlink TarnGet round trip: %.2f us (%.2f x raw UDP)\n", objlink / 1000.0,
                raw > 0 ? objlink / raw : 0.0);
    for (const char* name : {"BM_List5000Objects_Delay0", "BM_Properties200Objects_Delay0",
                             "BM_List5000Objects_Delay100", "BM_Properties200Objects_Delay100"}) {
        double time = reporter.medians[name];
        double requests = reporter.requestsPerRun[name];
        if (time <= 0 || requests <= 0)
            continue;
        bool paced = std::string(name).ends_with("Delay100");
        double perRequest = time / requests;
        std::printf("%s: %.1f ms for %.0f requests (%.1f us per request)", name, time / 1e6,
                    requests, perRequest / 1000.0);
        if (paced) {
            double bound = requests * 100e6;
            std::printf(", pacing bound %.0f ms, ratio %.3f\n", bound / 1e6, time / bound);
        } else if (raw > 0 && objlink > 0) {
            std::printf(", ratio per request / raw UDP round trip %.2f, / objlink request %.2f\n",
                        perRequest / raw, perRequest / objlink);
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
    gSession.reset();
    std::printf("\npinned to one CPU: %s\n", pin ? "yes (CPU 0)" : "no");
    printRatios(reporter);
    return 0;
}
