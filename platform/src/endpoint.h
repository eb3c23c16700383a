// Unix datagram sockets in the runtime folder: binding, sending one datagram
// with an optional section descriptor, and receiving one with the sender's
// credentials checked.
#pragma once

#include <sys/socket.h>
#include <sys/types.h>
#include <sys/un.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "datagram.h"
#include "unique_fd.h"

namespace plat::detail {

struct SocketAddress {
    sockaddr_un addr{};
    socklen_t length = 0;
};

// False when the path does not fit into a socket address.
bool makeAddress(const std::string& path, SocketAddress& out);

// A blocking datagram socket (close-on-exec) with generous buffers and
// SO_PASSCRED, so every datagram it receives carries its sender's credentials.
UniqueFd openDatagramSocket();

// Binds the socket to the path. Returns 0 or the errno of bind().
int bindSocket(int fd, const std::string& path);

// True when a socket is bound at the path and its owner still has it open.
// A path that refuses (ECONNREFUSED) or does not exist is not alive.
bool isSocketAlive(const std::string& path);

enum class SendStatus { Ok, Gone, Full, Failed };

struct OutgoingDatagram {
    DatagramHeader header{};
    std::span<const uint8_t> inlineBytes;
    int sectionFd = -1;  // attached with SCM_RIGHTS when >= 0
};

// Sends one datagram. Without `wait` it never blocks (a full receiver gives
// Full); with `wait` it blocks for room at most as long as the socket's send
// time-out set by setSendTimeout().
SendStatus sendDatagram(int fd, const SocketAddress& to, const OutgoingDatagram& d, bool wait);
// Sends from a short-lived socket (for replies from any thread).
SendStatus sendDatagramOnce(const SocketAddress& to, const OutgoingDatagram& d);
void setSendTimeout(int fd, int64_t ms);

struct IncomingDatagram {
    DatagramHeader header{};
    std::span<const uint8_t> inlineBytes;  // points into the receive buffer
    UniqueFd sectionFd;
    pid_t senderPid = 0;
    SocketAddress from;
};

enum class ReceiveStatus { Got, Empty, Dropped };

// Receives one datagram without waiting. Dropped: it was unreadable, of
// another user, without credentials, truncated, of a wrong magic or version,
// or its descriptors did not match its flags (any descriptors are closed).
ReceiveStatus receiveDatagram(int fd, std::vector<uint8_t>& buffer, IncomingDatagram& out);

}  // namespace plat::detail
