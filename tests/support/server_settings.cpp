#include "server_settings.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <thread>

#include "udp_peer.h"

namespace testing_support {
namespace {

std::string envOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : fallback;
}

}  // namespace

ServerPorts writeServerSettings(const std::string& extra) {
    ServerPorts p{freeUdpPort(), freeUdpPort()};
    std::string dir = envOr("VEK_CONFIG_DIR", "");
    ::mkdir(dir.c_str(), 0700);
    std::ofstream(dir + "/VEKMAIN.INI", std::ios::binary)
        << "[VEK BASE 32]\nRecvSocketPort=" << p.receive << "\nSendSocketPort=" << p.send
        << "\nVEKBaseAddress=127.0.0.1\nMessageDelayTime=0\n"
        << extra;
    return p;
}

bool serverWindowGone() {
    std::string path = envOr("VEK_RUNTIME_DIR", "") + "/VEKBASE Application (32 Bit)";
    struct stat st {};
    return ::stat(path.c_str(), &st) != 0;
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace testing_support
