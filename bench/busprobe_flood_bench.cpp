// Flood load for busprobe: a device on 127.0.0.2 sends datagrams to the real
// hubserver at a fixed rate while the real main window (offscreen) monitors
// in machine mode, keeps every message in its bounded store and list, logs
// every message to a full-format manual log and to an always-active
// scheduled simple log. Reports, per rate, messages per second received,
// shown and logged against a raw UDP receive loop fed by the same sender in
// the same run (the baseline), the messages the feed had to drop, the rows
// of the list, the GUI thread's longest stall (gap between ticks of a 5 ms
// timer) and the peak memory of the process.
//
//   busprobe_flood_bench [--seconds N] [--rates 20000,50000]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "main_window.h"
#include "monitor_feed.h"
#include "server_settings.h"
#include "udp_peer.h"
#include "wire/datagram.h"

namespace {

using Clock = std::chrono::steady_clock;

// Answers nothing and asks nothing: the benchmark has no user.
class SilentPrompter : public busprobe::Prompter {
  public:
    bool askYesNo(QWidget*, const QString&, const QString&) override { return true; }
    void warn(QWidget*, const QString& text, const QString&) override {
        std::fprintf(stderr, "warning: %s\n", text.toLocal8Bit().constData());
    }
};

struct Result {
    int rate = 0;
    uint64_t sent = 0;
    uint64_t received = 0;
    int listRows = 0;
    uint64_t handled = 0;
    uint64_t shown = 0;
    uint64_t loggedFull = 0;
    uint64_t loggedSimple = 0;
    uint64_t dropped = 0;
    double longestStallMs = 0;
    long peakKb = 0;
    uint64_t kernelDrops = 0;
};

// UDP datagrams the kernel dropped for full receive buffers, machine-wide
// (/proc/net/snmp "RcvbufErrors"): what a busy server did not read in time
// never reaches busprobe.
uint64_t udpReceiveBufferErrors() {
    std::ifstream in("/proc/net/snmp");
    std::string names;
    std::string values;
    while (std::getline(in, names) && std::getline(in, values)) {
        if (names.rfind("Udp:", 0) != 0) {
            continue;
        }
        std::istringstream n(names);
        std::istringstream v(values);
        std::string name;
        std::string value;
        while (n >> name && v >> value) {
            if (name == "RcvbufErrors") {
                return std::stoull(value);
            }
        }
    }
    return 0;
}

size_t countLines(const std::string& path, const std::string& marker) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    size_t n = 0;
    while (std::getline(in, line)) {
        n += line.find(marker) != std::string::npos ? 1 : 0;
    }
    return n;
}

// Sends `rate` datagrams a second for `seconds`, each one different (the
// server drops repeated datagrams), paced by absolute deadlines, to
// `address`:`serverPort`.
uint64_t flood(int rate, double seconds, uint16_t serverPort, uint32_t serial,
               uint32_t address = testing_support::loopback(1)) {
    testing_support::UdpPeer device(testing_support::loopback(2));
    uint64_t total = static_cast<uint64_t>(rate * seconds);
    auto start = Clock::now();
    auto period = std::chrono::nanoseconds(1000000000LL / rate);
    uint64_t sent = 0;
    std::vector<uint8_t> data(24, 0x41);
    for (uint64_t i = 0; i < total; ++i) {
        std::this_thread::sleep_until(start + period * static_cast<long>(i));
        uint32_t id = serial + static_cast<uint32_t>(i);
        std::memcpy(data.data(), &id, sizeof id);
        auto bytes = wire::buildDatagram(
            {0xFF00, 0x0405, static_cast<uint16_t>(0x8000 | (i & 0x7FFF))}, data);
        sent += device.sendTo(address, serverPort, bytes) ? 1 : 0;
    }
    return sent;
}

// The baseline: the same sender at the same rate into a plain UDP socket
// read in a tight loop on another thread; returns the datagrams received.
uint64_t rawReceive(int rate, double seconds, uint32_t serial) {
    testing_support::UdpPeer sink(testing_support::loopback(5));
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    ::getsockname(sink.fd(), reinterpret_cast<sockaddr*>(&bound), &length);
    uint16_t port = ntohs(bound.sin_port);
    std::atomic<bool> done{false};
    uint64_t received = 0;
    std::thread reader([&] {
        while (!done) {
            received += sink.receive(std::chrono::milliseconds(50)) ? 1 : 0;
        }
        while (sink.receive(std::chrono::milliseconds(100))) {
            ++received;
        }
    });
    flood(rate, seconds, port, serial, testing_support::loopback(5));
    done = true;
    reader.join();
    return received;
}

Result runRate(int rate, double seconds, const std::string& folder, uint32_t serial) {
    SilentPrompter prompter;
    busprobe::Clock clock;
    Result r;
    r.rate = rate;
    std::string fullLog = folder + "/flood-" + std::to_string(rate) + "-full.LOG";
    std::string simpleLog = folder + "/flood-" + std::to_string(rate) + "-simple.LOG";
    std::remove(fullLog.c_str());
    std::remove(simpleLog.c_str());
    uint64_t droppedBefore = busprobe::MonitorFeed::instance().droppedCount();
    uint64_t kernelBefore = udpReceiveBufferErrors();
    {
        busprobe::TfrmMain window(prompter, clock);
        if (window.registration() <= 0) {
            std::fprintf(stderr, "no hubserver registration\n");
            std::exit(1);
        }
        window.handler().manualLog.open(fullLog);
        busprobe::ScheduleRow row{"", "", "", "", "", simpleLog, "1"};
        window.handler().schedule.setEntries({busprobe::scheduleEntryFromRow(row)});
        window.scheduleTick();
        window.show();

        QElapsedTimer sinceTick;
        sinceTick.start();
        double longest = 0;
        QTimer ticker;
        ticker.setInterval(5);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longest = std::max(longest, static_cast<double>(sinceTick.nsecsElapsed()) / 1e6);
            sinceTick.restart();
        });
        ticker.start();

        std::atomic<bool> done{false};
        uint64_t sent = 0;
        uint16_t port = static_cast<uint16_t>(std::atoi(std::getenv("FLOOD_PORT")));
        std::thread sender([&] {
            sent = flood(rate, seconds, port, serial);
            done = true;
        });
        while (!done) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        sender.join();
        // Let the last messages through: wait until nothing new arrives for 500 ms.
        uint64_t last = ~0ull;
        auto quietSince = Clock::now();
        while (Clock::now() - quietSince < std::chrono::milliseconds(500)) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            uint64_t now = window.handler().shownCount();
            if (now != last) {
                last = now;
                quietSince = Clock::now();
            }
        }
        ticker.stop();
        r.sent = sent;
        r.shown = window.handler().shownCount();
        r.received = window.handler().receivedCount();
        r.listRows = window.listModel()->rowCount();
        r.longestStallMs = longest;
    }  // the window closes both logs
    r.dropped = busprobe::MonitorFeed::instance().droppedCount() - droppedBefore;
    r.kernelDrops = udpReceiveBufferErrors() - kernelBefore;
    r.loggedFull = countLines(fullLog, "Machine Received Data from : 127.0.0.2");
    r.loggedSimple = countLines(simpleLog, "127.0.0.2       <- 0xFF00/0x0405");
    r.handled = r.shown;
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    r.peakKb = usage.ru_maxrss;
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 3;
    std::vector<int> rates{20000, 50000};
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0) {
            seconds = std::atof(argv[++i]);
        } else if (std::strcmp(argv[i], "--rates") == 0) {
            rates.clear();
            for (char* p = std::strtok(argv[++i], ","); p != nullptr;
                 p = std::strtok(nullptr, ",")) {
                rates.push_back(std::atoi(p));
            }
        }
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    testing_support::ServerPorts ports = testing_support::writeServerSettings();
    ::setenv("FLOOD_PORT", std::to_string(ports.receive).c_str(), 1);
    // Keeps the server up between the rates (it ends with its last client).
    int32_t keeper = VEKBaseStartup();
    std::string folder =
        std::getenv("VEK_STATE_DIR") != nullptr ? std::getenv("VEK_STATE_DIR") : "/tmp";
    std::system(("mkdir -p '" + folder + "'").c_str());
    std::printf(
        "busprobe flood: %.1f s per rate, machine mode, list + full manual log + simple "
        "scheduled log, not pinned\n"
        "raw/s = a plain UDP receive loop fed by the same sender (baseline); recv/s, "
        "shown/s, log/s = busprobe per second; %% = received / raw; dropped = by busprobe's "
        "bounded queue; kernel = UDP receive-buffer drops on this machine meanwhile\n",
        seconds);
    std::printf("%7s %8s %8s %8s %8s %8s %7s %8s %8s %8s %9s %9s\n", "rate/s", "raw/s", "recv/s",
                "shown/s", "logf/s", "logs/s", "recv%", "dropped", "kernel", "rows", "stall ms",
                "peak MiB");
    uint32_t serial = 1;
    for (int rate : rates) {
        uint64_t raw = rawReceive(rate, seconds, serial);
        serial += static_cast<uint32_t>(rate * seconds) + 1;
        Result r = runRate(rate, seconds, folder, serial);
        serial += static_cast<uint32_t>(rate * seconds) + 1;
        auto perSecond = [&](uint64_t n) { return static_cast<double>(n) / seconds; };
        double ratio = raw ? 100.0 * static_cast<double>(r.received) / static_cast<double>(raw) : 0;
        std::printf("%7d %8.0f %8.0f %8.0f %8.0f %8.0f %6.1f%% %8llu %8llu %8d %9.1f %9.1f\n",
                    r.rate, perSecond(raw), perSecond(r.received), perSecond(r.shown),
                    perSecond(r.loggedFull), perSecond(r.loggedSimple), ratio,
                    static_cast<unsigned long long>(r.dropped),
                    static_cast<unsigned long long>(r.kernelDrops), r.listRows, r.longestStallMs,
                    static_cast<double>(r.peakKb) / 1024.0);
        std::fflush(stdout);
    }
    VEKBaseCleanup(keeper);
    return 0;
}
