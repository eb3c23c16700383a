#include "tarn_bench_session.h"

#include <sys/stat.h>

#include <fstream>
#include <thread>
#include <vector>

#include "hubclient.h"
#include "server_settings.h"
#include "udp_peer.h"
#include "wire/datagram.h"

namespace bench_support {
namespace {

std::atomic<uint64_t> gRequestsSent{0};

void countSent(_Message* message, NetMonCBReason_t reason) {
    if (reason == MessageSent && message != nullptr && message->Dataptr != nullptr) {
        auto header = wire::readHeader({message->Dataptr, message->Length});
        if (header && header->objectId == objscope::kTarnObjectId)
            ++gRequestsSent;
    }
}

}  // namespace

std::string StateFolder() {
    std::string dir = std::getenv("VEK_STATE_DIR");
    ::mkdir(dir.c_str(), 0700);
    return dir;
}

uint64_t TarnBenchSession::requestsSent() {
    return gRequestsSent;
}

TarnBenchSession::TarnBenchSession(int delayMs, const std::string& deviceFile) : delayMs_(delayMs) {
    using namespace objscope;
    std::string dir = std::getenv("VEK_CONFIG_DIR");
    ::mkdir(dir.c_str(), 0700);
    receivePort_ = testing_support::freeUdpPort();
    uint16_t sendPort = testing_support::freeUdpPort();
    std::ofstream(dir + "/VEKMAIN.INI")
        << "[VEK BASE 32]\nRecvSocketPort=" << receivePort_ << "\nSendSocketPort=" << sendPort
        << "\nVEKBaseAddress=127.0.0.1\nMessageDelayTime=" << delayMs << "\n";
    TarncomSettings settings;
    settings.machineNumber = 3;
    DeviceMapping mapping;
    mapping.firstDevice = 1;
    mapping.lastDevice = 15;
    mapping.transport = Transport::Ip;
    mapping.address = {DeviceAddressType::NetworkGroupSubGroupNode, testing_support::loopback(2)};
    settings.mappings.push_back(mapping);
    monitor_ = std::make_unique<TTarn_Monitor>(settings);
    monitor_->SetRequestTimeOut(2000);
    hub_ = VEKBaseStartup();
    RegisterNetMonCallback_CB(hub_, countSent);
    tarnsim_ = std::make_unique<testing_support::TarnsimProcess>(
        testing_support::tarnsimPath(),
        std::vector<std::string>{"--listen", "127.0.0.2:" + std::to_string(receivePort_), "--load",
                                 deviceFile});
}

TarnBenchSession::~TarnBenchSession() {
    tarnsim_.reset();
    monitor_.reset();
    VEKBaseCleanup(hub_);
    testing_support::waitUntil(testing_support::serverWindowGone);
}

bool TarnBenchSession::ok() const {
    return monitor_->RegistrationID() > 0 && tarnsim_->ready();
}

void RequestsReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        auto it = run.counters.find("requests");
        if (run.aggregate_name == "median" && it != run.counters.end())
            requestsPerRun[run.run_name.function_name] = it->second;
    }
    MedianReporter::ReportRuns(runs);
}

void MeasureRawUdpRoundTrip(benchmark::State& state) {
    using namespace std::chrono_literals;
    using testing_support::loopback;
    uint16_t clientPort = testing_support::freeUdpPort();
    testing_support::UdpPeer client(loopback(1), clientPort);
    uint16_t echoPort = testing_support::freeUdpPort();
    testing_support::UdpPeer echo(loopback(3), echoPort);
    std::atomic<bool> running{true};
    std::thread echoing([&] {
        while (running) {
            if (auto in = echo.receive(50ms))
                echo.sendTo(loopback(1), clientPort, in->bytes);
        }
    });
    std::vector<uint8_t> ping(9 + 18, 0x55);
    for (auto _ : state) {
        if (!client.sendTo(loopback(3), echoPort, ping) || !client.receive(2000ms)) {
            state.SkipWithError("echo failed");
            break;
        }
    }
    running = false;
    echoing.join();
}

}  // namespace bench_support
