// tarnsim's round trip for a few requests against the raw UDP round trip
// between two loopback sockets, measured in the same run: one TarnGet, one
// full object listing page with names (about 1460 bytes) and one property
// listing, each sent from 127.0.0.1 to a tarnsim serving the default device
// on 127.0.0.2. Prints the medians and the ratios to the raw round trip of
// 25-byte datagrams (and the raw round trip of full 1480-byte datagrams for
// the listing page): the cost a simulated device adds to every request a
// test or benchmark makes.
//
//   tarnsim_request_bench [--pin] [benchmark flags]
//
// --pin keeps this process and tarnsim on CPU 0, so no wake-up crosses CPUs.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "protocol/tarn_requests.h"
#include "tarnsim_process.h"
#include "udp_peer.h"
#include "wire/datagram.h"

namespace {

using testing_support::loopback;
using testing_support::UdpPeer;
using namespace std::chrono_literals;

constexpr objscope::TarnRequester kMe{0, 0x8001};

// Sends every datagram it receives back to the sender's address at `replyPort`.
class Echo {
  public:
    Echo(uint32_t address, uint16_t port, uint16_t replyPort) : peer_(address, port) {
        thread_ = std::thread([this, replyPort] {
            while (running_) {
                if (auto in = peer_.receive(50ms))
                    peer_.sendTo(loopback(1), replyPort, in->bytes);
            }
        });
    }
    ~Echo() {
        running_ = false;
        thread_.join();
    }

  private:
    UdpPeer peer_;
    std::atomic<bool> running_{true};
    std::thread thread_;
};

struct Session {
    uint16_t port = 0;
    std::unique_ptr<testing_support::TarnsimProcess> simulator;
};
Session gSession;

// Raw round trips of datagrams of `size` bytes both ways.
void rawRoundTrips(benchmark::State& state, size_t size) {
    uint16_t clientPort = testing_support::freeUdpPort();
    UdpPeer client(loopback(1), clientPort);
    uint16_t echoPort = testing_support::freeUdpPort();
    Echo echo(loopback(3), echoPort, clientPort);
    std::vector<uint8_t> ping(size, 0x55);
    for (auto _ : state) {
        if (!client.sendTo(loopback(3), echoPort, ping) || !client.receive(2000ms)) {
            state.SkipWithError("echo failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_RawUdpRoundTrip(benchmark::State& state) {
    rawRoundTrips(state, 25);
}

void BM_RawUdpRoundTripFull(benchmark::State& state) {
    rawRoundTrips(state, 1480);
}

void roundTrips(benchmark::State& state, const objscope::TarnRequest& request) {
    if (!gSession.simulator || !gSession.simulator->ready()) {
        state.SkipWithError("tarnsim did not start");
        return;
    }
    UdpPeer client(loopback(1), gSession.port);
    uint16_t number = 0x8000;
    for (auto _ : state) {
        auto datagram = wire::buildDatagram({objscope::kTarnObjectId, request.messageId, number++},
                                            request.data);
        if (number == 0)
            number = 0x8000;
        if (!client.sendTo(loopback(2), gSession.port, datagram) || !client.receive(2000ms)) {
            state.SkipWithError("tarnsim did not answer");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_TarnsimGet(benchmark::State& state) {
    roundTrips(state, *objscope::buildGet(kMe, {0, 1, 100}, 2, 8));
}

void BM_TarnsimObjectPage(benchmark::State& state) {
    roundTrips(state, objscope::buildGetAllObjsPlus(kMe, 0, 1, 0));
}

void BM_TarnsimPropertyListing(benchmark::State& state) {
    roundTrips(state, objscope::buildGetAllProps(kMe, {0, 1, 770}, 0));
}

BENCHMARK(BM_RawUdpRoundTrip)->Repetitions(9)->ReportAggregatesOnly(true)->UseRealTime();
BENCHMARK(BM_RawUdpRoundTripFull)->Repetitions(9)->ReportAggregatesOnly(true)->UseRealTime();
BENCHMARK(BM_TarnsimGet)->Repetitions(9)->ReportAggregatesOnly(true)->UseRealTime();
BENCHMARK(BM_TarnsimObjectPage)->Repetitions(9)->ReportAggregatesOnly(true)->UseRealTime();
BENCHMARK(BM_TarnsimPropertyListing)->Repetitions(9)->ReportAggregatesOnly(true)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    bool pin = bench_support::pinWhenAsked(argc, argv);
    benchmark::Initialize(&argc, argv);
    gSession.port = testing_support::freeUdpPort();
    gSession.simulator = std::make_unique<testing_support::TarnsimProcess>(
        testing_support::tarnsimPath(),
        std::vector<std::string>{"--listen", "127.0.0.2:" + std::to_string(gSession.port)});
    bench_support::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    gSession.simulator.reset();
    double raw = reporter.medians["BM_RawUdpRoundTrip"];
    double rawLarge = reporter.medians["BM_RawUdpRoundTripFull"];
    std::printf("\npinned to one CPU: %s\n", pin ? "yes (CPU 0)" : "no");
    std::printf("median raw UDP round trip: %.2f us (25 bytes), %.2f us (1480 bytes)\n",
                raw / 1000.0, rawLarge / 1000.0);
    for (const char* name :
         {"BM_TarnsimGet", "BM_TarnsimObjectPage", "BM_TarnsimPropertyListing"}) {
        double median = reporter.medians[name];
        std::printf("%-26s median %.2f us, ratio to raw %.2f\n", name, median / 1000.0,
                    raw > 0 ? median / raw : 0.0);
    }
    double page = reporter.medians["BM_TarnsimObjectPage"];
    std::printf("object page against full raw datagrams: ratio %.2f\n",
                rawLarge > 0 ? page / rawLarge : 0.0);
    return 0;
}
