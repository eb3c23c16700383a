// The command line of tarnsim.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnsim {

constexpr uint16_t kDefaultPort = 3048;
constexpr uint32_t kDefaultAddress = 0x7F000002;  // 127.0.0.2

struct ListenAddress {
    uint32_t address = kDefaultAddress;  // host order
    uint16_t port = kDefaultPort;
};

struct Options {
    std::vector<ListenAddress> listen;  // one device each; default 127.0.0.2:3048
    uint16_t firstDeviceNumber = 1;
    std::optional<std::string> loadFile;
    std::optional<std::string> saveFile;
    bool trace = false;
    bool wiggle = false;
    unsigned dropEvery = 0;  // drop every Nth reply; 0: none
    unsigned delayMs = 0;    // hold every reply this long
    size_t pageBytes = 0;    // listing pages at most this long; 0: one datagram
    bool ignoreClassFilter = false;
    bool help = false;
};

// Parses the arguments (without the program name). Throws
// std::invalid_argument with a message naming the bad argument.
Options parseOptions(const std::vector<std::string>& args);

// "127.0.0.3:4000" or "127.0.0.3" (port 3048); nothing when malformed.
std::optional<ListenAddress> parseListenAddress(const std::string& text);

// Why a device cannot listen at this address (not loopback, the PC's own
// 127.0.0.1, a network or broadcast address), or nothing when it can.
std::optional<std::string> refuseListenAddress(const ListenAddress& listen);

std::string usageText();

}  // namespace tarnsim
