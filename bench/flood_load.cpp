// Flood load: a real hubserver ("MessageDelayTime" 0, trace off) with 4
// network-monitor clients, one of which never reads, while a device on
// 127.0.0.2 sends datagrams as fast as loopback allows. Beside it, in the
// same run, the same flood into a raw UDP receive loop (recvmmsg) gives the
// baseline. Prints datagrams per second sent, read by the server (what the
// reading monitors got), read by the raw loop, their ratio, the slow
// monitor's drops, and the server's peak resident memory.
//
//   flood_load [seconds=5]
//
// "VEK_HUBSERVER" may name another hubserver program to measure.
//
// Nothing is pinned: the server, the sender and the monitors share the
// machine's CPUs as a real installation would.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "platform/dirs.h"
#include "test_client.h"
#include "server_process.h"
#include "udp_peer.h"
#include "wire/datagram.h"
#include "wire/ipc.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using testing_support::datagramOf;
using testing_support::freeUdpPort;
using testing_support::loopback;
using testing_support::peakResidentKiB;

constexpr int kReadingMonitors = 3;

// Sends 9-byte datagrams to `port` on 127.0.0.1 from 127.0.0.2 until `stop`.
uint64_t flood(uint16_t port, const std::atomic<bool>& stop) {
    testing_support::UdpPeer device(loopback(2));
    uint64_t sent = 0;
    uint16_t number = 0x8000;
    while (!stop.load(std::memory_order_relaxed)) {
        // Fresh numbers, so the duplicate filter lets everything through.
        number = static_cast<uint16_t>(number == 0xFFFF ? 0x8000 : number + 1);
        if (device.sendTo(loopback(1), port, datagramOf(0xFF00, 1, number))) {
            ++sent;
        }
    }
    return sent;
}

// The raw baseline: a socket read in batches until `stop`.
uint64_t rawReceive(int fd, const std::atomic<bool>& stop) {
    constexpr int kBatch = 64;
    std::vector<std::vector<uint8_t>> buffers(kBatch, std::vector<uint8_t>(2048));
    std::vector<mmsghdr> headers(kBatch);
    std::vector<iovec> vectors(kBatch);
    uint64_t got = 0;
    while (!stop.load(std::memory_order_relaxed)) {
        for (int i = 0; i < kBatch; ++i) {
            vectors[i] = {buffers[i].data(), buffers[i].size()};
            headers[i] = {};
            headers[i].msg_hdr.msg_iov = &vectors[i];
            headers[i].msg_hdr.msg_iovlen = 1;
        }
        // recvmmsg's own time-out is looked at only after a datagram came.
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, 50) <= 0) {
            continue;
        }
        int n = ::recvmmsg(fd, headers.data(), kBatch, MSG_DONTWAIT, nullptr);
        got += n > 0 ? static_cast<uint64_t>(n) : 0;
    }
    return got;
}

struct Rates {
    double sentPerSecond = 0;
    double readPerSecond = 0;
};

Rates rawRun(double seconds) {
    testing_support::UdpPeer receiver(loopback(1));
    sockaddr_in at{};
    socklen_t size = sizeof at;
    ::getsockname(receiver.fd(), reinterpret_cast<sockaddr*>(&at), &size);
    std::atomic<bool> stop{false};
    uint64_t read = 0;
    std::thread reader([&] { read = rawReceive(receiver.fd(), stop); });
    uint64_t sent = 0;
    std::thread sender([&] { sent = flood(ntohs(at.sin_port), stop); });
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    stop = true;
    sender.join();
    reader.join();
    return {sent / seconds, read / seconds};
}

pid_t startServer(const std::string& folder, uint16_t recvPort) {
    plat::makeDirs(plat::configDir());
    std::ofstream ini(plat::configDir() + "/VEKMAIN.INI");
    ini << "[VEK BASE 32]\nSendSocketPort=" << freeUdpPort() << "\nRecvSocketPort=" << recvPort
        << "\nVEKBaseAddress=127.0.0.1\nMessageDelayTime=0\nAutoShutdown=0\n";
    ini.close();
    const char* chosen = std::getenv("VEK_HUBSERVER");  // another build to compare
    std::string path = chosen != nullptr && *chosen != '\0'
                           ? std::string(chosen)
                           : std::string(VEK_BIN_DIR) + "/hubserver";
    char* argv[] = {path.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    std::string err = folder + "/server.err";
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT, 0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// A monitor client on its own thread: registers, subscribes as a network
// monitor, then counts the deliveries while `reading`, or only holds its
// window when not.
struct Monitor {
    std::atomic<uint64_t> received{0};
    std::atomic<bool> ready{false};
    std::thread thread;
};

void runMonitor(Monitor& m, bool reading, const std::atomic<bool>& stop) {
    testing_support::TestClient client;
    auto id = static_cast<int32_t>(client.registerWin32());
    int64_t netID = client.subscribe(id, wire::kNetMonitor);
    if (id <= 0 || netID <= 0) {
        std::fprintf(stderr, "flood_load: monitor registration failed (%d, %lld)\n", id,
                     static_cast<long long>(netID));
    }
    m.ready = true;
    while (!stop.load()) {
        if (reading) {
            m.received += client.collectFor(milliseconds(50)).size();
        } else {
            std::this_thread::sleep_for(milliseconds(50));
        }
    }
    // The slow one reads what was kept for it at the end.
    m.received += client.collectFor(milliseconds(reading ? 300 : 1000)).size();
    client.unregister(id);
    plat::shutdownThreadLoop();
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    if (seconds <= 0) {
        std::fprintf(stderr, "usage: flood_load [seconds]\n");
        return 2;
    }
    std::string folder = bench_support::usePrivateFolders();
    uint16_t recvPort = freeUdpPort();
    pid_t server = startServer(folder, recvPort);
    if (server <= 0) {
        std::fprintf(stderr, "flood_load: cannot start hubserver\n");
        return 1;
    }
    std::this_thread::sleep_for(milliseconds(500));

    std::atomic<bool> stopMonitors{false};
    std::vector<Monitor> monitors(kReadingMonitors + 1);
    for (size_t i = 0; i < monitors.size(); ++i) {
        bool reading = i < kReadingMonitors;
        monitors[i].thread =
            std::thread([&, i, reading] { runMonitor(monitors[i], reading, stopMonitors); });
    }
    for (Monitor& m : monitors) {
        while (!m.ready) {
            std::this_thread::sleep_for(milliseconds(10));
        }
    }
    std::atomic<bool> stopFlood{false};
    uint64_t sent = 0;
    std::thread sender([&] { sent = flood(recvPort, stopFlood); });
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    stopFlood = true;
    sender.join();
    std::this_thread::sleep_for(milliseconds(500));  // the server finishes what it read
    stopMonitors = true;
    for (Monitor& m : monitors) {
        m.thread.join();
    }
    long peakKiB = peakResidentKiB(server);
    ::kill(server, SIGTERM);
    ::waitpid(server, nullptr, 0);

    Rates raw = rawRun(seconds);
    uint64_t read = 0;
    for (int i = 0; i < kReadingMonitors; ++i) {
        read = std::max<uint64_t>(read, monitors[i].received.load());
    }
    uint64_t slow = monitors[kReadingMonitors].received.load();
    std::printf("flood of %.1f s, 4 monitors (1 never reads), not pinned\n", seconds);
    std::printf("server: sent %.0f/s, read and dispatched %.0f/s (%.1f %% of sent)\n",
                sent / seconds, read / seconds, sent ? 100.0 * read / sent : 0.0);
    for (int i = 0; i < kReadingMonitors; ++i) {
        std::printf("  reading monitor %d got %llu\n", i,
                    static_cast<unsigned long long>(monitors[i].received.load()));
    }
    std::printf("  slow monitor got %llu, dropped %llu\n", static_cast<unsigned long long>(slow),
                static_cast<unsigned long long>(read > slow ? read - slow : 0));
    std::printf("raw recvmmsg loop: sent %.0f/s, read %.0f/s (%.1f %% of sent)\n",
                raw.sentPerSecond, raw.readPerSecond,
                raw.sentPerSecond > 0 ? 100.0 * raw.readPerSecond / raw.sentPerSecond : 0.0);
    std::printf("ratio server read / raw read: %.3f\n",
                raw.readPerSecond > 0 ? (read / seconds) / raw.readPerSecond : 0.0);
    std::printf("server peak resident memory: %ld KiB\n", peakKiB);
    return 0;
}
