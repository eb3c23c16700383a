// Who else holds a UDP port on this machine (in this network namespace).
#pragma once

#include <sys/types.h>

#include <cstdint>

namespace hub {

// True when a UDP socket other than the one with inode `ownInode` is bound to
// the wildcard address (IPv4 0.0.0.0 or IPv6 ::) at `port`. Sockets bound to
// a particular address (a simulated device on 127.0.0.2) do not count.
bool otherWildcardSocketOnPort(uint16_t port, ino_t ownInode);

}  // namespace hub
