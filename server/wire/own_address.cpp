#include "wire/own_address.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

namespace wire {

bool isLoopback(uint32_t address) {
    return (address >> 24) == 127;
}

std::optional<OwnAddress> chooseOwnAddress(const std::vector<uint32_t>& hostNameAddresses,
                                           const std::vector<InterfaceAddress>& interfaces) {
    if (hostNameAddresses.empty()) {
        return std::nullopt;
    }
    OwnAddress own;
    own.hostNameAddress = hostNameAddresses.front();
    auto named = std::find_if(hostNameAddresses.begin(), hostNameAddresses.end(),
                              [](uint32_t a) { return !isLoopback(a); });
    if (named != hostNameAddresses.end()) {
        own.address = *named;
        return own;
    }
    auto usable = std::find_if(interfaces.begin(), interfaces.end(), [](const InterfaceAddress& i) {
        return i.up && !i.loopback && !isLoopback(i.address) && i.address != 0;
    });
    if (usable != interfaces.end()) {
        own.address = usable->address;
        own.interfaceName = usable->name;
        return own;
    }
    own.address = own.hostNameAddress;
    return own;
}

std::vector<uint32_t> hostNameAddresses() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0) {
        return {};
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name, nullptr, &hints, &found) != 0) {
        return {};
    }
    std::vector<uint32_t> out;
    for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
        if (a->ai_family == AF_INET && a->ai_addrlen >= sizeof(sockaddr_in)) {
            out.push_back(ntohl(reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr));
        }
    }
    ::freeaddrinfo(found);
    return out;
}

std::vector<InterfaceAddress> interfaceAddresses() {
    ifaddrs* all = nullptr;
    if (::getifaddrs(&all) != 0) {
        return {};
    }
    std::vector<InterfaceAddress> out;
    for (const ifaddrs* i = all; i != nullptr; i = i->ifa_next) {
        if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET) {
            continue;
        }
        InterfaceAddress a;
        a.name = i->ifa_name != nullptr ? i->ifa_name : "";
        a.address = ntohl(reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr);
        a.up = (i->ifa_flags & IFF_UP) != 0;
        a.loopback = (i->ifa_flags & IFF_LOOPBACK) != 0;
        out.push_back(std::move(a));
    }
    ::freeifaddrs(all);
    return out;
}

std::optional<OwnAddress> lookupOwnAddress() {
    return chooseOwnAddress(hostNameAddresses(), interfaceAddresses());
}

}  // namespace wire
