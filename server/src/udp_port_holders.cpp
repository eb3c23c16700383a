// Reads the kernel's UDP socket tables. Each line of /proc/net/udp and
// /proc/net/udp6 after the heading describes one socket:
//   sl local_address rem_address st tx:rx tr:when retrnsmt uid timeout inode ...
// with the local address as hex digits, a colon and the port in hex.
#include "udp_port_holders.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace hub {
namespace {

constexpr const char* kTables[] = {"/proc/net/udp", "/proc/net/udp6"};

struct SocketLine {
    std::string localAddress;  // hex digits
    unsigned port = 0;
    unsigned long long inode = 0;
};

bool parseLine(const char* line, SocketLine& out) {
    char local[64];
    unsigned long long inode = 0;
    // sl, local address, remote, state, queues, timer, retransmits, uid, timeout, inode
    if (std::sscanf(line, " %*s %63s %*s %*s %*s %*s %*s %*s %*s %llu", local, &inode) != 2) {
        return false;
    }
    const char* colon = std::strrchr(local, ':');
    if (colon == nullptr) {
        return false;
    }
    out.localAddress.assign(local, static_cast<size_t>(colon - local));
    out.port = static_cast<unsigned>(std::strtoul(colon + 1, nullptr, 16));
    out.inode = inode;
    return true;
}

bool isWildcard(const std::string& hexAddress) {
    return !hexAddress.empty() && hexAddress.find_first_not_of('0') == std::string::npos;
}

bool tableHasOtherWildcard(const char* path, uint16_t port, ino_t ownInode) {
    FILE* table = std::fopen(path, "re");
    if (table == nullptr) {
        return false;  // no IPv6 on this machine, or no /proc: nothing to see
    }
    char line[512];
    bool found = false;
    bool heading = true;
    while (!found && std::fgets(line, sizeof line, table) != nullptr) {
        SocketLine s;
        if (heading) {
            heading = false;
        } else if (parseLine(line, s) && s.port == port && isWildcard(s.localAddress) &&
                   s.inode != static_cast<unsigned long long>(ownInode)) {
            found = true;
        }
    }
    std::fclose(table);
    return found;
}

}  // namespace

bool otherWildcardSocketOnPort(uint16_t port, ino_t ownInode) {
    for (const char* path : kTables) {
        if (tableHasOtherWildcard(path, port, ownInode)) {
            return true;
        }
    }
    return false;
}

}  // namespace hub
