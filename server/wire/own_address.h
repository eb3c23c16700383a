// This machine's own IPv4 address when no address is configured: the
// address of the host name, unless that is only a loopback address (Debian
// and Ubuntu map the host name to 127.0.1.1 in /etc/hosts), in which case
// the first non-loopback IPv4 address of an interface that is up.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace wire {

struct InterfaceAddress {
    std::string name;      // "eth0"
    uint32_t address = 0;  // host order
    bool up = false;
    bool loopback = false;
};

struct OwnAddress {
    uint32_t address = 0;          // host order
    std::string interfaceName;     // set when taken from an interface
    uint32_t hostNameAddress = 0;  // the host name's first address
};

// 127.0.0.0/8
bool isLoopback(uint32_t address);

// The choice itself: the first non-loopback address of the host name; when
// it has only loopback addresses, the first non-loopback IPv4 address of an
// interface that is up, else its first (loopback) address; nullopt when the
// host name gave no address at all.
std::optional<OwnAddress> chooseOwnAddress(const std::vector<uint32_t>& hostNameAddresses,
                                           const std::vector<InterfaceAddress>& interfaces);

// The IPv4 addresses the host name resolves to, in the resolver's order.
std::vector<uint32_t> hostNameAddresses();

// The IPv4 addresses of this machine's interfaces (getifaddrs).
std::vector<InterfaceAddress> interfaceAddresses();

// chooseOwnAddress over the machine's own host name and interfaces.
std::optional<OwnAddress> lookupOwnAddress();

}  // namespace wire
