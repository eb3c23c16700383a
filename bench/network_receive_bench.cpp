// Datagrams received by the server's network service and dispatched to 4
// network-monitor registrations ("MessageDelayTime" 0, trace off), against a
// raw UDP receive loop, measured in the same run on the same thread. Each
// iteration sends a batch of datagrams from 127.0.0.2 and waits until all of
// them were handled. Prints the medians per datagram and their ratio.
//
//   network_receive_bench [benchmark flags]
//
// Everything runs on one thread of one process, so no wake-up crosses CPUs;
// the process is not pinned.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench_support.h"
#include "client_registry.h"
#include "config.h"
#include "message_codes.h"
#include "network.h"
#include "platform/window.h"
#include "wire/datagram.h"

namespace {

constexpr int kBatch = 32;
constexpr int kMonitors = 4;
constexpr uint32_t kServerAddress = 0x7F000001;
constexpr uint32_t kDeviceAddress = 0x7F000002;

sockaddr_in endpoint(uint32_t address, uint16_t port) {
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(address);
    at.sin_port = htons(port);
    return at;
}

int boundSocket(uint32_t address, uint16_t port) {
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &on, sizeof on);
    int big = 4 << 20;
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &big, sizeof big);
    sockaddr_in local = endpoint(address, port);
    bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
    return fd;
}

uint16_t localPort(int fd) {
    sockaddr_in local{};
    socklen_t size = sizeof local;
    getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size);
    return ntohs(local.sin_port);
}

// A device that sends a batch of distinct messages (the duplicate filter
// must let every one pass).
class Device {
  public:
    Device() : fd_(boundSocket(kDeviceAddress, 0)) {}
    ~Device() { close(fd_); }

    bool sendBatch(uint16_t port) {
        sockaddr_in to = endpoint(kServerAddress, port);
        std::array<uint8_t, 24> data{};
        for (int i = 0; i < kBatch; ++i) {
            std::vector<uint8_t> d = wire::buildDatagram({0x1234, 0x42, number_++}, data);
            if (sendto(fd_, d.data(), d.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) !=
                static_cast<ssize_t>(d.size())) {
                return false;
            }
        }
        return true;
    }

  private:
    int fd_;
    uint16_t number_ = 0x8000;
};

void BM_RawUdpReceive(benchmark::State& state) {
    int receiver = boundSocket(0, 0);
    uint16_t port = localPort(receiver);
    Device device;
    std::vector<uint8_t> buffer(65536);
    for (auto _ : state) {
        if (!device.sendBatch(port)) {
            state.SkipWithError("send failed");
            break;
        }
        for (int i = 0; i < kBatch; ++i) {
            sockaddr_in from{};
            socklen_t size = sizeof from;
            benchmark::DoNotOptimize(recvfrom(receiver, buffer.data(), buffer.size(), 0,
                                              reinterpret_cast<sockaddr*>(&from), &size));
        }
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
    close(receiver);
}

// The network service in this process: a main window that reads one datagram
// per readiness, and 4 client windows with one monitor registration each.
class InProcessServer {
  public:
    InProcessServer() {
        mainWindow_ = plat::createWindow([](plat::Message& m) -> int64_t {
            if (m.msg == hub::kMsgSocketReady) {
                hub::ProcessNetworkRead();
            }
            return 0;
        });
        hub::InitClientInterface(mainWindow_, 0);
        for (size_t i = 0; i < monitors_.size(); ++i) {
            monitors_[i] = plat::createWindow([this](plat::Message& m) -> int64_t {
                delivered_ += m.msg == hub::kMsgNetworkMessage ? 1 : 0;
                return 0;
            });
            clients_[i] = hub::RegisterWin32Client(monitors_[i], static_cast<uint32_t>(getpid()));
        }
    }
    ~InProcessServer() {
        hub::RemoveNetworkInterface();
        hub::RemoveClientInterface();
        for (plat::Hwnd window : monitors_) {
            plat::destroyWindow(window);
        }
        plat::destroyWindow(mainWindow_);
    }

    bool start(uint16_t recvPort) {
        hub::ServerConfig config;
        config.sendSocketPort = 0;
        config.recvSocketPort = recvPort;
        config.vekBaseAddress = "127.0.0.1";
        config.messageDelayTime = 0;
        config.messagesOut = 0;
        if (hub::InitNetworkInterface(mainWindow_, config) != 1) {
            return false;
        }
        for (int32_t client : clients_) {
            hub::RegisterNetworkClient(client, hub::NetMonRegistration);
        }
        return hub::NetRegistrationCount() == kMonitors;
    }

    // Pumps until `count` more deliveries arrived; false after 10 s.
    bool pumpDeliveries(uint64_t count) {
        uint64_t target = delivered_ + count;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (delivered_ < target) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            plat::waitForMessage(std::chrono::milliseconds(100));
            plat::Message m;
            while (plat::peekMessage(m)) {
                plat::dispatchMessage(m);
            }
        }
        return true;
    }

  private:
    plat::Hwnd mainWindow_ = plat::kNoWindow;
    std::array<plat::Hwnd, kMonitors> monitors_{};
    std::array<int32_t, kMonitors> clients_{};
    uint64_t delivered_ = 0;
};

void BM_ServerReceiveAndDispatch(benchmark::State& state) {
    int probe = boundSocket(0, 0);
    uint16_t port = localPort(probe);
    close(probe);
    InProcessServer server;
    if (!server.start(port)) {
        state.SkipWithError("network did not start");
        return;
    }
    Device device;
    for (auto _ : state) {
        if (!device.sendBatch(port) || !server.pumpDeliveries(kBatch * kMonitors)) {
            state.SkipWithError("datagrams lost");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

BENCHMARK(BM_RawUdpReceive)->Repetitions(9)->ReportAggregatesOnly(true)->UseRealTime();
BENCHMARK(BM_ServerReceiveAndDispatch)->Repetitions(9)->ReportAggregatesOnly(true)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    std::string root = bench_support::usePrivateFolders();
    benchmark::Initialize(&argc, argv);
    bench_support::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    plat::shutdownThreadLoop();
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);

    double raw = reporter.medians["BM_RawUdpReceive"] / kBatch;
    double served = reporter.medians["BM_ServerReceiveAndDispatch"] / kBatch;
    std::printf("\npinned to one CPU: no (one thread does all the work)\n");
    std::printf(
        "median per datagram: raw receive %.2f us, server receive + dispatch to %d "
        "monitors %.2f us\n",
        raw / 1000.0, kMonitors, served / 1000.0);
    if (raw > 0 && served > 0) {
        std::printf("datagrams per second: raw %.0f, server %.0f; ratio server/raw time: %.2f\n",
                    1e9 / raw, 1e9 / served, served / raw);
    }
    return 0;
}
