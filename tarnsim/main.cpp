// tarnsim: simulated Tarn devices on loopback addresses (see --help).
#include <sys/signalfd.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "device_file.h"
#include "device_server.h"
#include "object_set_device.h"
#include "options.h"
#include "trace.h"

namespace {

std::string savePathFor(const std::string& base, size_t deviceIndex) {
    return deviceIndex == 0 ? base : base + "." + std::to_string(deviceIndex + 1);
}

// SIGINT and SIGTERM arrive through a descriptor the serving loop watches,
// so the devices' contents can be saved on the way out.
int stopSignalDescriptor() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    return signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
}

int runSimulator(const tarnsim::Options& options) {
    tarnsim::DeviceContents contents = tarnsim::defaultDevice();
    if (options.loadFile)
        contents = tarnsim::isObjectSetPath(*options.loadFile)
                       ? tarnsim::loadObjectSetFile(*options.loadFile)
                       : tarnsim::loadDeviceFile(*options.loadFile);
    std::vector<tarnsim::DeviceServer::Endpoint> endpoints;
    for (size_t i = 0; i < options.listen.size(); ++i) {
        tarnsim::DeviceOptions device;
        device.deviceNumber = static_cast<uint16_t>(options.firstDeviceNumber + i);
        device.listingPageBytes = options.pageBytes;
        device.ignoreClassFilter = options.ignoreClassFilter;
        endpoints.push_back({options.listen[i], tarnsim::SimulatedDevice(device, contents)});
    }
    int stopFd = stopSignalDescriptor();
    if (stopFd < 0) {
        std::perror("tarnsim: signalfd");
        return 1;
    }
    tarnsim::DeviceServer server(options, std::move(endpoints));
    for (const auto& endpoint : server.endpoints()) {
        std::printf("tarnsim: device %u on %s:%u (%zu objects)\n", endpoint.device.deviceNumber(),
                    tarnsim::addressText(endpoint.listen.address).c_str(), endpoint.listen.port,
                    endpoint.device.contents().objects.size());
    }
    std::printf("tarnsim: ready\n");
    std::fflush(stdout);
    server.run(stopFd);
    close(stopFd);
    if (options.saveFile) {
        bool objectSet = tarnsim::isObjectSetPath(*options.saveFile);
        for (size_t i = 0; i < server.endpoints().size(); ++i) {
            const auto& device = server.endpoints()[i].device.contents();
            std::string path = savePathFor(*options.saveFile, i);
            if (objectSet)
                tarnsim::saveObjectSetFile(device, path);
            else
                tarnsim::saveDeviceFile(device, path);
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    tarnsim::Options options;
    try {
        options = tarnsim::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tarnsim: %s\n", error.what());
        return 2;
    }
    if (options.help) {
        std::fputs(tarnsim::usageText().c_str(), stdout);
        return 0;
    }
    try {
        return runSimulator(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tarnsim: %s\n", error.what());
        return 1;
    }
}
