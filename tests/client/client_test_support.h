// Shared pieces of the hubclient tests: the private folders, the server's
// title and process, datagrams. Settings with free UDP ports and waits come
// from tests/support.
#pragma once

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include "hubclient.h"
#include "server_settings.h"
#include "udp_peer.h"

namespace client_testing {

using testing_support::freeUdpPort;
using testing_support::kLiveness;
using testing_support::serverChildPid;
using testing_support::waitUntil;
using testing_support::writeServerSettings;
using Ports = testing_support::ServerPorts;

inline std::string envOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : fallback;
}

inline std::string binDir() {
    return envOr("VEK_BIN_DIR", VEK_BIN_DIR);
}

inline std::string runtimeDir() {
    return envOr("VEK_RUNTIME_DIR", "");
}

inline std::string stateDir() {
    return envOr("VEK_STATE_DIR", "");
}

inline std::string serverTitlePath() {
    return runtimeDir() + "/VEKBASE Application (32 Bit)";
}

inline bool serverTitleExists() {
    struct stat st {};
    return ::stat(serverTitlePath().c_str(), &st) == 0;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

// A datagram: "VEK", object, message, number (little-endian), data.
inline std::vector<uint8_t> datagram(uint16_t object, uint16_t message, uint16_t number,
                                     const std::string& data = "") {
    std::vector<uint8_t> d = {'V',
                              'E',
                              'K',
                              static_cast<uint8_t>(object),
                              static_cast<uint8_t>(object >> 8),
                              static_cast<uint8_t>(message),
                              static_cast<uint8_t>(message >> 8),
                              static_cast<uint8_t>(number),
                              static_cast<uint8_t>(number >> 8)};
    d.insert(d.end(), data.begin(), data.end());
    return d;
}

}  // namespace client_testing
