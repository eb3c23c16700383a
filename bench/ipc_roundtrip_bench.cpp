// The round trip of one client request to hubserver (code 1654, a message
// number) against a raw round trip of one record on a Unix SOCK_SEQPACKET
// connection between two processes (the transport the requests use),
// measured in the same run. Prints the medians and their ratio, and the
// median ratio of blocks of both measured in turn.
//
//   ipc_roundtrip_bench [--pin] [benchmark flags]
//
// --pin keeps this process and its children (echo process, hubserver) on
// CPU 0, so no wake-up crosses CPUs.
#include <benchmark/benchmark.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "in_turn.h"
#include "platform/window.h"
#include "wire/ipc.h"

extern char** environ;

namespace {

constexpr size_t kPingSize = 64;  // about the size of one request record

// A child process that echoes every record it receives on `fd`.
pid_t startEchoProcess(int fd) {
    pid_t pid = fork();
    if (pid == 0) {
        char buffer[kPingSize];
        for (;;) {
            ssize_t n = recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0 || send(fd, buffer, static_cast<size_t>(n), 0) != n) {
                _exit(0);
            }
        }
    }
    return pid;
}

// A SOCK_SEQPACKET connection to an echo process.
class EchoPair {
  public:
    EchoPair() {
        int fds[2];
        if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) != 0) {
            return;
        }
        echo_ = startEchoProcess(fds[1]);
        close(fds[1]);
        fd_ = fds[0];
    }
    ~EchoPair() {
        if (fd_ >= 0) {
            close(fd_);
        }
        if (echo_ > 0) {
            kill(echo_, SIGKILL);
            waitpid(echo_, nullptr, 0);
        }
    }
    bool ready() const { return fd_ >= 0 && echo_ > 0; }
    pid_t echo() const { return echo_; }

    bool roundTrip() {
        return send(fd_, buffer_, sizeof buffer_, 0) == static_cast<ssize_t>(sizeof buffer_) &&
               recv(fd_, buffer_, sizeof buffer_, 0) > 0;
    }

  private:
    int fd_ = -1;
    pid_t echo_ = -1;
    char buffer_[kPingSize] = {};
};

void BM_RawUnixSeqpacketPingPong(benchmark::State& state) {
    EchoPair pair;
    if (!pair.ready()) {
        state.SkipWithError("socketpair failed");
        return;
    }
    for (auto _ : state) {
        if (!pair.roundTrip()) {
            state.SkipWithError("echo failed");
            break;
        }
    }
}

// A hubserver in private folders without network (1654 needs none).
class PrivateServer {
  public:
    PrivateServer() {
        root_ = bench_support::usePrivateFolders();
        std::filesystem::create_directories(root_ + "/config");
        std::ofstream(root_ + "/config/VEKMAIN.INI")
            << "[VEK BASE 32]\nNoNetworkSupport=1\nAutoShutdown=0\n";
        std::string path = std::string(VEK_BIN_DIR) + "/hubserver";
        char* argv[] = {path.data(), nullptr};
        if (posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, environ) != 0) {
            pid_ = -1;
        }
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (pid_ > 0 && (window_ = plat::findWindow(wire::kServerWindowTitle)) == 0 &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~PrivateServer() {
        plat::shutdownThreadLoop();
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    plat::Hwnd window() const { return window_; }
    pid_t pid() const { return pid_; }

  private:
    std::string root_;
    pid_t pid_ = -1;
    plat::Hwnd window_ = plat::kNoWindow;
};

bool request1654(plat::Hwnd server) {
    auto number = plat::sendMessageTimeout(server, wire::kReqMessageNumber, 0, 0, {},
                                           std::chrono::milliseconds(2000));
    benchmark::DoNotOptimize(number);
    return number.has_value();
}

void BM_HubserverRequest1654(benchmark::State& state) {
    PrivateServer server;
    if (server.window() == plat::kNoWindow) {
        state.SkipWithError("hubserver did not start");
        return;
    }
    for (auto _ : state) {
        if (!request1654(server.window())) {
            state.SkipWithError("request failed");
            break;
        }
    }
}

// Both round trips measured in turn (in_turn.h).
bench_support::InTurnRatios ratiosInTurn(int blocks, int perBlock) {
    EchoPair pair;
    PrivateServer server;
    if (!pair.ready() || server.window() == plat::kNoWindow) {
        return {};
    }
    return bench_support::ratiosInTurn(
        {{getpid(), pair.echo()}, [&] { return pair.roundTrip(); }},
        {{getpid(), server.pid()}, [&] { return request1654(server.window()); }}, blocks, perBlock);
}

BENCHMARK(BM_RawUnixSeqpacketPingPong)->Repetitions(9)->ReportAggregatesOnly(true)->UseRealTime();
BENCHMARK(BM_HubserverRequest1654)->Repetitions(9)->ReportAggregatesOnly(true)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    bool pin = bench_support::pinWhenAsked(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench_support::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    double raw = reporter.medians["BM_RawUnixSeqpacketPingPong"];
    double ipc = reporter.medians["BM_HubserverRequest1654"];
    std::printf("\npinned to one CPU: %s\n", pin ? "yes (CPU 0)" : "no");
    std::printf("median round trip: raw seqpacket %.2f us, request 1654 %.2f us\n", raw / 1000.0,
                ipc / 1000.0);
    if (raw > 0) {
        std::printf("ratio request/raw: %.2f\n", ipc / raw);
    }
    bench_support::InTurnRatios interleaved = ratiosInTurn(41, 2000);
    std::printf("ratio request/raw, blocks in turn (median of 41 x 2000): wall %.2f, CPU %.2f\n",
                interleaved.wall, interleaved.cpu);
    return 0;
}
