// The round trip of one synchronous objlink request through the whole chain
// (objlink, hubclient, hubserver, UDP to a device peer on 127.0.0.2 and
// back) against the raw UDP round trip between two loopback sockets,
// measured in the same run. Prints the medians, the requests per second and
// the ratio, and per request the system calls and context switches (each a
// sleep ended by a wake-up) of the requesting process, the server and the
// device. "MessageDelayTime" is 0, so the server does not pace. Both are
// also measured in turn, block after block, and the median of the blocks'
// ratios printed (by wall time and by the CPU time of the processes).
//
//   objlink_request_bench [--pin] [benchmark flags]
//
// --pin keeps this process and its children (hubserver) on CPU 0, so no
// wake-up crosses CPUs. The program runs in private folders with its own
// hubserver (see private_env_preinit.cpp).
#include <benchmark/benchmark.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "in_turn.h"
#include "objlink.h"
#include "process_activity.h"
#include "server_settings.h"
#include "udp_peer.h"

namespace {

using testing_support::loopback;
using testing_support::UdpPeer;
using namespace std::chrono_literals;

constexpr size_t kPayload = 16;  // data bytes of request and response
constexpr uint32_t kTimeOutMs = 2000;

// Answers every datagram it receives, in a process of its own (so that its
// system calls and wake-ups are counted apart): the response flag set, sent
// to `replyPort` of 127.0.0.1.
class Echo {
  public:
    Echo(uint32_t address, uint16_t port, uint16_t replyPort, bool setResponseFlag)
        : peer_(address, port) {
        if (!peer_.bound()) {
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            for (;;) {
                auto in = peer_.receive(1000ms);
                if (getppid() == 1) {
                    _exit(0);
                }
                if (!in || in->bytes.size() < 9) {
                    continue;
                }
                if (setResponseFlag) {
                    in->bytes[6] |= 0x80;  // high byte of MessageID
                }
                peer_.sendTo(loopback(1), replyPort, in->bytes);
            }
        }
    }
    ~Echo() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool bound() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }

  private:
    UdpPeer peer_;
    pid_t pid_ = -1;
};

// System calls and switches per iteration of the processes taking part.
class Activity {
  public:
    explicit Activity(std::vector<std::pair<std::string, pid_t>> processes) {
        for (auto& [name, pid] : processes) {
            parts_.push_back(Part{name, std::make_unique<bench_support::ProcessActivity>(pid), {}});
            parts_.back().before = parts_.back().counters->read();
        }
    }
    void report(benchmark::State& state) {
        double n = static_cast<double>(state.iterations());
        double switches = 0;
        for (Part& p : parts_) {
            if (!p.counters->available() || n == 0) {
                continue;
            }
            auto after = p.counters->read();
            state.counters[p.name + "_syscalls"] =
                static_cast<double>(after.syscalls - p.before.syscalls) / n;
            double s = static_cast<double>(after.switches - p.before.switches) / n;
            state.counters[p.name + "_switches"] = s;
            switches += s;
        }
        state.counters["switches"] = switches;
    }

  private:
    struct Part {
        std::string name;
        std::unique_ptr<bench_support::ProcessActivity> counters;
        bench_support::ProcessActivity::Totals before;
    };
    std::vector<Part> parts_;
};

struct Session {
    testing_support::ServerPorts ports;
    int32_t registration = 0;
    pid_t server = -1;
};
Session gSession;

// A UDP socket on 127.0.0.1 and an echo process on 127.0.0.3.
class RawPair {
  public:
    RawPair()
        : clientPort_(testing_support::freeUdpPort()),
          client_(loopback(1), clientPort_),
          echoPort_(testing_support::freeUdpPort()),
          echo_(loopback(3), echoPort_, clientPort_, false),
          ping_(9 + kPayload, 0x55) {}
    bool ready() const { return client_.bound() && echo_.bound(); }
    pid_t echo() const { return echo_.pid(); }
    bool roundTrip() {
        return client_.sendTo(loopback(3), echoPort_, ping_) && client_.receive(2000ms);
    }

  private:
    uint16_t clientPort_;
    UdpPeer client_;
    uint16_t echoPort_;
    Echo echo_;
    std::vector<uint8_t> ping_;
};

// One synchronous request to the device on 127.0.0.2, answered.
bool objlinkRequest() {
    static std::vector<uint8_t> data(kPayload, 0x55);
    uint8_t answer[64];
    VEKMessage_t m{};
    m.ObjectID = 0xFF00;
    m.MessageID = 1;
    m.DataLength = kPayload;
    m.DataPtr = data.data();
    m.Address = VEKAddress_t{FullAddress, loopback(2)};
    VEKMessageResponse_t r{};
    r.DataPtr = answer;
    r.MaxDataLength = sizeof answer;
    return SendVEKMessage(gSession.registration, kTimeOutMs, &m, &r) > 0 &&
           r.Status == MessageResponseSuccess;
}

void BM_RawUdpRoundTrip(benchmark::State& state) {
    RawPair pair;
    Activity activity({{"client", getpid()}, {"device", pair.echo()}});
    for (auto _ : state) {
        if (!pair.roundTrip()) {
            state.SkipWithError("echo failed");
            break;
        }
    }
    activity.report(state);
    state.SetItemsProcessed(state.iterations());
}

void BM_ObjlinkSyncRequest(benchmark::State& state) {
    Echo device(loopback(2), gSession.ports.receive, gSession.ports.receive, true);
    if (gSession.registration < 1 || !device.bound()) {
        state.SkipWithError("no objlink registration or device");
        return;
    }
    Activity activity(
        {{"client", getpid()}, {"server", gSession.server}, {"device", device.pid()}});
    for (auto _ : state) {
        if (!objlinkRequest()) {
            state.SkipWithError("request not answered");
            break;
        }
    }
    activity.report(state);
    state.SetItemsProcessed(state.iterations());
}

// Both round trips measured in turn (in_turn.h).
bench_support::InTurnRatios ratiosInTurn(int blocks, int perBlock) {
    RawPair raw;
    Echo device(loopback(2), gSession.ports.receive, gSession.ports.receive, true);
    if (!raw.ready() || !device.bound() || gSession.registration < 1) {
        return {};
    }
    return bench_support::ratiosInTurn({{getpid(), raw.echo()}, [&] { return raw.roundTrip(); }},
                                       {{getpid(), gSession.server, device.pid()}, objlinkRequest},
                                       blocks, perBlock);
}

BENCHMARK(BM_RawUdpRoundTrip)->Repetitions(9)->ReportAggregatesOnly(true)->UseRealTime();
BENCHMARK(BM_ObjlinkSyncRequest)->Repetitions(9)->ReportAggregatesOnly(true)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    bool pin = bench_support::pinWhenAsked(argc, argv);
    benchmark::Initialize(&argc, argv);
    gSession.ports = testing_support::writeServerSettings();
    gSession.registration = VEKNetStartup();
    gSession.server = bench_support::findChild("hubserver");
    bench_support::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    double raw = reporter.medians["BM_RawUdpRoundTrip"];
    double request = reporter.medians["BM_ObjlinkSyncRequest"];
    std::printf("\npinned to one CPU: %s\n", pin ? "yes (CPU 0)" : "no");
    std::printf("median round trip: raw UDP %.2f us, objlink request %.2f us\n", raw / 1000.0,
                request / 1000.0);
    if (request > 0) {
        std::printf("objlink requests per second: %.0f\n", 1e9 / request);
    }
    if (raw > 0) {
        std::printf("ratio request/raw: %.2f\n", request / raw);
    }
    bench_support::InTurnRatios interleaved = ratiosInTurn(21, 1000);
    std::printf("ratio request/raw, blocks in turn (median of 21 x 1000): wall %.2f, CPU %.2f\n",
                interleaved.wall, interleaved.cpu);
    VEKNetCleanup(gSession.registration);
    return 0;
}
