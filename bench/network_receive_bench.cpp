// Datagrams received by a real hubserver and delivered through libhubclient
// to 1, 4, 16 and 64 network-monitor processes, against a raw UDP receive
// loop, measured in the same run. Each iteration sends a batch of distinct
// datagrams from 127.0.0.2 and waits until every monitor has counted all of
// them. Prints per datagram: wall time, CPU time of the server and of all
// monitors together, the server's system calls and context switches, the
// ratio against the raw receive and the cost of each monitor past the first.
//
//   network_receive_bench [--pin] [benchmark flags]
//
// --pin keeps this process, the server and the monitors on CPU 0, so no
// wake-up crosses CPUs. "MessageDelayTime" is 0 and the trace is off.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "fanout_shared.h"
#include "process_activity.h"
#include "server_settings.h"
#include "udp_peer.h"
#include "wire/datagram.h"

extern char** environ;

namespace {

using testing_support::loopback;

constexpr int kBatch = 32;
constexpr int kMonitorCounts[] = {1, 4, 16, 64};
constexpr auto kWaitLimit = std::chrono::seconds(20);

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
    Device() : fd_(boundSocket(loopback(2), 0)) {}
    ~Device() { close(fd_); }

    bool sendBatch(uint32_t address, uint16_t port) {
        sockaddr_in to = endpoint(address, port);
        std::array<uint8_t, 24> data{};
        for (int i = 0; i < kBatch; ++i) {
            std::vector<uint8_t> d = wire::buildDatagram({0x1234, 0x42, number_}, data);
            number_ = number_ == 0xFFFF ? 0x8000 : number_ + 1;
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
        if (!device.sendBatch(loopback(1), port)) {
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

std::string gRoot;
uint16_t gReceivePort = 0;
pid_t gServer = -1;

bool startServer() {
    testing_support::ServerPorts ports = testing_support::writeServerSettings("AutoShutdown=0\n");
    gReceivePort = ports.receive;
    std::string path = std::string(VEK_BIN_DIR) + "/hubserver";
    char* argv[] = {path.data(), nullptr};
    if (posix_spawn(&gServer, path.c_str(), nullptr, nullptr, argv, environ) != 0) {
        gServer = -1;
        return false;
    }
    std::string title = gRoot + "/run/VEKBASE Application (32 Bit)";
    return testing_support::waitUntil([&] { return std::filesystem::exists(title); });
}

void stopServer() {
    if (gServer > 0) {
        kill(gServer, SIGTERM);
        waitpid(gServer, nullptr, 0);
    }
}

// N monitor processes with their shared counters. Their standard input is
// one pipe; closing it ends them.
class MonitorGroup {
  public:
    explicit MonitorGroup(int count) : count_(count) {
        std::string file = gRoot + "/counters";
        int fd = open(file.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0 || ftruncate(fd, sizeof(FanoutCounters)) != 0) {
            return;
        }
        void* map =
            mmap(nullptr, sizeof(FanoutCounters), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        close(fd);
        if (map == MAP_FAILED) {
            return;
        }
        shared_ = static_cast<FanoutCounters*>(map);
        int notify[2];
        int input[2];
        if (pipe2(notify, O_CLOEXEC) != 0 || pipe2(input, O_CLOEXEC) != 0) {
            return;
        }
        // Above the descriptors the children get (0 and 3), whatever this
        // process was started with.
        for (int* fd : {&notify[0], &notify[1], &input[0], &input[1]}) {
            int high = fcntl(*fd, F_DUPFD_CLOEXEC, 10);
            close(*fd);
            *fd = high;
        }
        notify_ = notify[0];
        stdin_ = input[1];
        std::string path = std::string(VEK_BIN_DIR) + "/fanout_monitor";
        for (int i = 0; i < count; ++i) {
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
            posix_spawn_file_actions_adddup2(&actions, notify[1], 3);
            std::string slot = std::to_string(i);
            std::string fdText = "3";
            char* argv[] = {path.data(), slot.data(), file.data(), fdText.data(), nullptr};
            pid_t pid = -1;
            if (posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ) == 0) {
                pids_.push_back(pid);
            }
            posix_spawn_file_actions_destroy(&actions);
        }
        close(notify[1]);
        close(input[0]);
        ready_ = static_cast<int>(pids_.size()) == count && awaitSignals(count);
    }
    ~MonitorGroup() {
        if (stdin_ >= 0) {
            close(stdin_);
        }
        for (pid_t pid : pids_) {
            waitpid(pid, nullptr, 0);
        }
        if (notify_ >= 0) {
            close(notify_);
        }
        if (shared_ != nullptr) {
            munmap(shared_, sizeof(FanoutCounters));
        }
    }

    bool ready() const { return ready_; }
    const std::vector<pid_t>& pids() const { return pids_; }

    // Every monitor counts `more` further received messages.
    void expect(uint64_t more) { shared_->target += more; }
    bool awaitAll() { return awaitSignals(count_); }

  private:
    bool awaitSignals(int count) {
        auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
        char bytes[64];
        while (count > 0) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{notify_, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) != 1) {
                return false;
            }
            ssize_t n = read(notify_, bytes, std::min<size_t>(sizeof bytes, count));
            if (n <= 0) {
                return false;
            }
            count -= static_cast<int>(n);
        }
        return true;
    }

    int count_;
    FanoutCounters* shared_ = nullptr;
    int notify_ = -1;
    int stdin_ = -1;
    std::vector<pid_t> pids_;
    bool ready_ = false;
};

// CPU time in seconds of the server or all monitors together: from the perf
// task clocks when they could be opened, else from /proc (clock ticks, too
// coarse for 64 small shares).
class CpuMeter {
  public:
    explicit CpuMeter(const std::vector<pid_t>& pids) : pids_(pids) {
        for (pid_t pid : pids) {
            counters_.push_back(std::make_unique<bench_support::ProcessActivity>(pid));
            precise_ = precise_ && counters_.back()->available();
        }
    }
    double seconds() const {
        double total = 0;
        for (size_t i = 0; i < pids_.size(); ++i) {
            total += precise_ ? static_cast<double>(counters_[i]->read().cpuNs) * 1e-9
                              : bench_support::cpuSecondsOf(pids_[i]);
        }
        return total;
    }
    const bench_support::ProcessActivity& first() const { return *counters_.front(); }

  private:
    std::vector<pid_t> pids_;
    std::vector<std::unique_ptr<bench_support::ProcessActivity>> counters_;
    bool precise_ = true;
};

// Kept across the repetitions of one monitor count.
std::unique_ptr<MonitorGroup> gGroup;

void BM_ServerToMonitorProcesses(benchmark::State& state) {
    int count = static_cast<int>(state.range(0));
    if (!gGroup || static_cast<int>(gGroup->pids().size()) != count) {
        gGroup.reset();
        gGroup = std::make_unique<MonitorGroup>(count);
    }
    if (gServer <= 0 || !gGroup->ready()) {
        state.SkipWithError("server or monitors did not start");
        return;
    }
    Device device;
    CpuMeter server({gServer});
    CpuMeter monitors(gGroup->pids());
    auto activityBefore = server.first().read();
    double serverBefore = server.seconds();
    double monitorsBefore = monitors.seconds();
    for (auto _ : state) {
        gGroup->expect(kBatch);
        if (!device.sendBatch(loopback(1), gReceivePort) || !gGroup->awaitAll()) {
            state.SkipWithError("datagrams lost");
            gGroup.reset();
            return;
        }
    }
    double datagrams = static_cast<double>(state.iterations()) * kBatch;
    auto activityAfter = server.first().read();
    state.counters["server_cpu_us"] = (server.seconds() - serverBefore) * 1e6 / datagrams;
    state.counters["monitors_cpu_us"] = (monitors.seconds() - monitorsBefore) * 1e6 / datagrams;
    if (server.first().available()) {
        state.counters["server_syscalls"] =
            static_cast<double>(activityAfter.syscalls - activityBefore.syscalls) / datagrams;
        state.counters["server_switches"] =
            static_cast<double>(activityAfter.switches - activityBefore.switches) / datagrams;
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

BENCHMARK(BM_RawUdpReceive)->Repetitions(5)->ReportAggregatesOnly(true)->UseRealTime();
BENCHMARK(BM_ServerToMonitorProcesses)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Arg(64)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->MinTime(0.2);

}  // namespace

int main(int argc, char** argv) {
    bool pin = bench_support::pinWhenAsked(argc, argv);
    gRoot = bench_support::usePrivateFolders();
    std::filesystem::create_directories(gRoot + "/config");
    setenv("VEK_HUBSERVER", (std::string(VEK_BIN_DIR) + "/hubserver").c_str(), 1);
    benchmark::Initialize(&argc, argv);
    bool started = startServer();
    if (!started) {
        std::fprintf(stderr, "hubserver did not start\n");
    }
    bench_support::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    gGroup.reset();
    stopServer();
    std::error_code ignored;
    std::filesystem::remove_all(gRoot, ignored);

    double raw = reporter.medians["BM_RawUdpReceive"] / kBatch;
    std::printf("\npinned to one CPU: %s\n", pin ? "yes (CPU 0)" : "no");
    std::printf("median raw UDP receive: %.2f us per datagram\n", raw / 1000.0);
    double one = 0;
    for (int count : kMonitorCounts) {
        std::string name = "BM_ServerToMonitorProcesses/" + std::to_string(count);
        double served = reporter.medians[name] / kBatch;
        if (served <= 0 || raw <= 0) {
            continue;
        }
        if (count == 1) {
            one = served;
        }
        std::printf(
            "%2d monitor processes: %.2f us per datagram (%.0f datagrams/s), ratio to raw "
            "%.2f",
            count, served / 1000.0, 1e9 / served, served / raw);
        if (count > 1 && one > 0) {
            double perMonitor = (served - one) / (count - 1);
            std::printf(", per extra monitor %.2f us = %.2f x raw", perMonitor / 1000.0,
                        perMonitor / raw);
        }
        std::printf("\n");
    }
    return 0;
}
