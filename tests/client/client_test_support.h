// Shared pieces of the hubclient tests: settings with free UDP ports, a
// registered session with the real hubserver, the server's process, waits.
#pragma once

#include <dirent.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
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

namespace client_testing {

constexpr std::chrono::seconds kLiveness{15};

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

inline bool waitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = kLiveness) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

inline int freeUdpPort() {
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    socklen_t length = sizeof a;
    int port = -1;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) == 0) {
        port = ntohs(a.sin_port);
    }
    ::close(fd);
    return port;
}

struct Ports {
    int receive = 0;
    int send = 0;
};

// VEKMAIN.INI with free ports, the loopback own address and no pacing.
inline Ports writeServerSettings(const std::string& extra = "") {
    Ports p{freeUdpPort(), freeUdpPort()};
    std::string dir = envOr("VEK_CONFIG_DIR", "");
    ::mkdir(dir.c_str(), 0700);
    std::ofstream(dir + "/VEKMAIN.INI", std::ios::binary)
        << "[VEK BASE 32]\nRecvSocketPort=" << p.receive << "\nSendSocketPort=" << p.send
        << "\nVEKBaseAddress=127.0.0.1\nMessageDelayTime=0\n"
        << extra;
    return p;
}

// The pid of a running hubserver child of this process, or -1.
inline pid_t serverChildPid() {
    DIR* proc = ::opendir("/proc");
    pid_t found = -1;
    while (dirent* e = proc != nullptr ? ::readdir(proc) : nullptr) {
        std::string stat = readFile(std::string("/proc/") + e->d_name + "/stat");
        size_t close = stat.rfind(')');
        if (stat.empty() || close == std::string::npos ||
            stat.find("(hubserver)") == std::string::npos) {
            continue;
        }
        char state = 0;
        int ppid = 0;
        if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &ppid) == 2 &&
            ppid == ::getpid() && state != 'Z') {
            found = std::atoi(e->d_name);
        }
    }
    if (proc != nullptr) {
        ::closedir(proc);
    }
    return found;
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
