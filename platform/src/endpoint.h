// Unix sockets in the runtime folder. A loop listens on a SOCK_SEQPACKET
// socket; every other thread or process that talks to it holds one
// connection to it, over which each message is one record (a datagram with
// kept boundaries, optionally carrying one section descriptor) and replies to
// sent messages come back. Connections are used instead of unconnected
// datagrams because the kernel bounds the datagram queue of an unconnected
// receiver to a handful of messages (net.unix.max_dgram_qlen), whereas a
// connection is bounded only by its buffer size. Every record carries its
// sender's credentials and records of another user are dropped unread.
#pragma once

#include <sys/socket.h>
#include <sys/types.h>
#include <sys/un.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "datagram.h"
#include "platform/payload.h"
#include "unique_fd.h"

namespace plat::detail {

struct SocketAddress {
    sockaddr_un addr{};
    socklen_t length = 0;
};

// False when the path does not fit into a socket address.
bool makeAddress(const std::string& path, SocketAddress& out);

// A datagram socket (close-on-exec), used for title sockets.
UniqueFd openDatagramSocket();

// Binds the socket to the path. Returns 0 or the errno of bind().
int bindSocket(int fd, const std::string& path);

// True when a socket is bound at the path and its owner still has it open.
// A path that refuses (ECONNREFUSED) or does not exist is not alive.
bool isSocketAlive(const std::string& path);

// A non-blocking listening record socket bound at the path; `err` gets the
// errno of a failed bind (EADDRINUSE when the path is taken).
UniqueFd openListener(const std::string& path, int& err);

// Accepts one pending connection, non-blocking, with SO_PASSCRED. Invalid
// when none is pending (`more` false) or the peer is another user (that
// connection is closed, `more` stays true).
UniqueFd acceptPeer(int listenFd, bool& more);

enum class SendStatus { Ok, Gone, Full, Failed };

// Connects to a loop's listening socket (blocking descriptor, generous send
// buffer). `status` says why it failed: Gone (nobody listens), Full (its
// backlog is full), Failed.
UniqueFd connectToLoop(const std::string& path, SendStatus& status);

struct OutgoingDatagram {
    DatagramHeader header{};
    std::span<const uint8_t> inlineBytes;
    int sectionFd = -1;  // attached with SCM_RIGHTS when >= 0
};

// Sends one record on a connection. Without `wait` it never blocks (no room
// gives Full); with `wait` it blocks for room at most the socket's send
// time-out (setSendTimeout). A connection whose peer closed gives Gone.
SendStatus sendRecord(int fd, const OutgoingDatagram& d, bool wait);
void setSendTimeout(int fd, int64_t ms);

// Fills the record's payload part: inline when it fits, else the section's
// descriptor (kFlagSection). A large payload held in memory is copied into a
// new section, kept alive by `holder` until the record is sent. False when
// no section could be made.
bool attachPayload(OutgoingDatagram& d, const Payload& payload, Payload& holder);

struct IncomingDatagram {
    DatagramHeader header{};
    std::span<const uint8_t> inlineBytes;  // points into the receive buffer
    UniqueFd sectionFd;
    pid_t senderPid = 0;
};

enum class ReceiveStatus { Got, Empty, Dropped, Closed };

// Receives one record without waiting. Dropped: it came without credentials
// or from another user, was truncated, had a wrong magic or version, or its
// descriptors did not match its flags (any descriptors are closed). Closed:
// the peer closed the connection.
// With `wait` the call blocks up to the socket's receive time-out
// (setReceiveTimeout); Empty when none came.
ReceiveStatus receiveRecord(int fd, std::vector<uint8_t>& buffer, IncomingDatagram& out,
                            bool wait = false);
void setReceiveTimeout(int fd, int64_t ms);

// Room for several records taken with one recvmmsg. Only the pages a record
// fills are touched, so the reserved size costs address space only.
class RecordBatch {
  public:
    static constexpr size_t kSlots = 16;

    RecordBatch();
    ~RecordBatch();
    RecordBatch(const RecordBatch&) = delete;
    RecordBatch& operator=(const RecordBatch&) = delete;

    // Takes up to kSlots records without waiting: Got and Dropped ones in
    // `status`/`records` (their first `count` entries), then `closed` when
    // the peer closed the connection, or `more` when every slot was filled
    // (more may be waiting). Neither: the connection is empty now.
    struct Result {
        size_t count = 0;
        bool closed = false;
        bool more = false;
    };
    Result receive(int fd);

    ReceiveStatus status[kSlots];
    IncomingDatagram records[kSlots];

  private:
    struct Slot;
    Slot* slots_ = nullptr;
};

// The payload of a received record (its section adopted, or its inline bytes
// copied). Empty for a section that cannot be mapped safely.
Payload takePayload(IncomingDatagram& in);

}  // namespace plat::detail
