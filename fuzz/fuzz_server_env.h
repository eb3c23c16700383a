// A server's services inside the fuzz process: private folders, the debug
// log, the client registry, the network on free loopback ports and the
// reserved messages with the large-message transfer. Every address the
// fuzzer may choose is turned into 127.0.0.<n>, so nothing ever leaves the
// machine; replies of the server land on its own receive socket, which is
// never read.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "client_registry.h"
#include "config.h"
#include "debuglog.h"
#include "large_transfer_files.h"
#include "network.h"
#include "platform/window.h"
#include "reserved_messages.h"

namespace fuzz {

inline uint32_t loopbackAddress(uint8_t node) {
    return 0x7F000000u | node;
}

// A UDP port nothing uses at this moment.
inline int freeUdpPort() {
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof at;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&at), &size) == 0) {
        port = ntohs(at.sin_port);
    }
    ::close(fd);
    return port;
}

inline void usePrivateFolders() {
    static std::string root = [] {
        char pattern[] = "/tmp/vek-fuzz-XXXXXX";
        std::string dir = ::mkdtemp(pattern) != nullptr ? pattern : "/tmp";
        ::setenv("VEK_CONFIG_DIR", (dir + "/config").c_str(), 1);
        ::setenv("VEK_STATE_DIR", (dir + "/state").c_str(), 1);
        ::setenv("VEK_RUNTIME_DIR", (dir + "/run").c_str(), 1);
        return dir;
    }();
}

class ServerServices {
  public:
    // Starts everything once per process.
    static ServerServices& instance() {
        static ServerServices services;
        return services;
    }

    plat::Hwnd window() const { return window_; }

    // A fresh transfer list for the next input, so inputs do not depend on
    // each other.
    void resetTransfers() {
        hub::RemoveReservedInterface();
        hub::InitReservedInterface(window_, 5000);
    }

  private:
    ServerServices() {
        usePrivateFolders();
        InitDebugInterface(std::string(std::getenv("VEK_STATE_DIR")) + "/VDEBUG32.TXT");
        window_ = plat::createWindow([](plat::Message&) -> int64_t { return 0; });
        hub::InitClientInterface(window_, 0);
        hub::ServerConfig config;
        config.vekBaseAddress = "127.0.0.1";
        config.sendSocketPort = freeUdpPort();
        config.recvSocketPort = freeUdpPort();
        config.messageDelayTime = 0;
        config.messagesOut = 1;  // the trace formats every byte
        hub::InitNetworkInterface(window_, config);
        hub::setReceiveFolderLimits({1 << 20, 8});
        hub::InitReservedInterface(window_, 5000);
    }

    plat::Hwnd window_ = plat::kNoWindow;
};

}  // namespace fuzz
