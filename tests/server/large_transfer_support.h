// Support for the tests of the large-message transfer and the reserved
// messages: the real hubserver, a client on the test thread and a scripted
// peer server on 127.0.0.2 at the server's receive port. The peer speaks the
// reserved messages of object 0 byte by byte, as another PC's server would.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ipc_test_support.h"
#include "wire/datagram.h"
#include "wire/ipc.h"

namespace testing_support {

constexpr uint32_t kServerAddress = 0x7F000001;  // 127.0.0.1, the server's own address
constexpr uint32_t kPeerAddress = 0x7F000002;    // 127.0.0.2, the scripted peer
constexpr uint16_t kReply = 0x8000;

inline void putLe16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void putLe32(std::vector<uint8_t>& out, uint32_t value) {
    putLe16(out, static_cast<uint16_t>(value));
    putLe16(out, static_cast<uint16_t>(value >> 16));
}

// Data of message 1 for a network message.
inline std::vector<uint8_t> startOfMessage(uint32_t length, uint16_t dataType = 2) {
    std::vector<uint8_t> d;
    putLe16(d, dataType);
    putLe32(d, length);
    return d;
}

// Data of message 1 for a file; `nameLength` may differ from the name's.
inline std::vector<uint8_t> startOfFile(uint32_t length, const std::string& name,
                                        std::optional<uint16_t> nameLength = std::nullopt) {
    std::vector<uint8_t> d = startOfMessage(length, 1);
    putLe16(d, nameLength.value_or(static_cast<uint16_t>(name.size())));
    d.insert(d.end(), name.begin(), name.end());
    return d;
}

// Data of message 2; `chunkLength` may differ from the chunk's size.
inline std::vector<uint8_t> packet(uint16_t transferID, uint16_t total, uint16_t number,
                                   const std::vector<uint8_t>& chunk,
                                   std::optional<uint16_t> chunkLength = std::nullopt) {
    std::vector<uint8_t> d;
    putLe16(d, transferID);
    putLe16(d, total);
    putLe16(d, number);
    putLe16(d, chunkLength.value_or(static_cast<uint16_t>(chunk.size())));
    d.insert(d.end(), chunk.begin(), chunk.end());
    return d;
}

inline std::vector<uint8_t> endOf(uint16_t transferID, uint16_t code) {
    std::vector<uint8_t> d;
    putLe16(d, transferID);
    putLe16(d, code);
    return d;
}

// Bytes 0, 1, 2, ... (mod 251), so a misplaced chunk shows.
inline std::vector<uint8_t> pattern(size_t size, uint8_t seed = 0) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>((i + seed) % 251);
    }
    return bytes;
}

// A message of object 0 as the peer sees it.
struct Reserved {
    uint32_t source = 0;
    uint16_t messageId = 0;
    uint16_t number = 0;
    std::vector<uint8_t> datagram;
    std::vector<uint8_t> data;  // after the 9-byte header

    uint16_t u16(size_t at) const { return wire::readLe16(data.data() + at); }
    uint32_t u32(size_t at) const { return wire::readLe32(data.data() + at); }
};

// The other PC's server, played by the test.
class ScriptedPeer {
  public:
    explicit ScriptedPeer(uint16_t port) : socket_(kPeerAddress, port), port_(port) {}

    bool bound() const { return socket_.bound(); }

    // Sends a message of object 0 to the server.
    void send(uint16_t messageId, uint16_t number, const std::vector<uint8_t>& data) {
        socket_.sendTo(kServerAddress, port_, datagramOf(0, messageId, number, data));
    }

    // The next datagram from the server, or nullopt within the time-out.
    std::optional<Reserved> next(std::chrono::milliseconds timeout = kLiveness) {
        std::optional<ReceivedDatagram> d = socket_.receive(timeout);
        if (!d || d->bytes.size() < wire::kNetMsgHeaderSize) {
            return std::nullopt;
        }
        Reserved r;
        r.source = d->source;
        r.messageId = wire::readLe16(d->bytes.data() + 5);
        r.number = wire::readLe16(d->bytes.data() + 7);
        r.datagram = d->bytes;
        r.data.assign(d->bytes.begin() + wire::kNetMsgHeaderSize, d->bytes.end());
        return r;
    }

    // Sends a request and returns the server's answer to it.
    std::optional<Reserved> ask(uint16_t messageId, uint16_t number,
                                const std::vector<uint8_t>& data) {
        send(messageId, number, data);
        return next();
    }

    // Five messages for another object: the server's duplicate filter then
    // lets a repeat of an earlier message through again.
    void flushDuplicateFilter() {
        for (int k = 0; k < 5; ++k) {
            socket_.sendTo(kServerAddress, port_, datagramOf(0x0777, 1, ++fillerNumber_));
        }
    }

    // True when nothing arrives within `span`.
    bool silentFor(std::chrono::milliseconds span) { return !next(span).has_value(); }

  private:
    UdpPeer socket_;
    uint16_t port_;
    uint16_t fillerNumber_ = 0;
};

// The 10-byte refusal of `request` with this number.
inline bool isRefusal(const std::optional<Reserved>& r, uint16_t messageId, uint16_t number) {
    return r && r->datagram.size() == 10 && r->messageId == (messageId | kReply) &&
           r->number == number && r->data[0] == 1;
}

class LargeTransferTest : public IpcServerTest {
  protected:
    // Starts the server (packet time-out in ms), a monitor client and the
    // peer.
    void startAll(int packetTimeoutMs = 5000) {
        // A loop an earlier test left on this thread listens in that test's
        // runtime folder, where this test's server cannot post to it.
        plat::shutdownThreadLoop();
        extraIni_ =
            settings32_ + "[VEK BASE]\nPacketTimeout=" + std::to_string(packetTimeoutMs) + "\n";
        startServer();
        client_ = &registeredClient(clientID_);
        ASSERT_GT(client_->subscribe(clientID_, wire::kNetMonitor), 0);
        peer_.emplace(recvPort_);
        ASSERT_TRUE(peer_->bound());
    }

    // A network message from the client to the peer; the request's result.
    int64_t sendToPeer(const std::vector<uint8_t>& datagram) {
        return client_->sendDatagram(clientID_, kPeerAddress, datagram);
    }

    // The datagrams the monitor saw with this direction, waiting `span`.
    std::vector<std::vector<uint8_t>> monitored(uint32_t direction,
                                                std::chrono::milliseconds span) {
        std::vector<std::vector<uint8_t>> out;
        for (const ClientMessage& m : client_->collectFor(span)) {
            if (m.msg == wire::kMsgNetData && m.payload.size() >= 12 &&
                wire::readLe32(m.payload.data() + 8) == direction) {
                out.emplace_back(m.payload.begin() + 12, m.payload.end());
            }
        }
        return out;
    }

    // Starts a message transfer from the peer; its transfer ID (0 when refused).
    uint16_t peerStarts(uint32_t length, uint16_t number) {
        std::optional<Reserved> reply = peer_->ask(1, number, startOfMessage(length));
        if (!reply || reply->data.size() != 5 || reply->data[0] != 0) {
            return 0;
        }
        return reply->u16(1);
    }

    // Sends a whole file of `size` bytes from the peer in one packet; true
    // when the start and the packet were accepted.
    bool peerSendsFile(const std::string& name, size_t size, uint16_t number) {
        std::optional<Reserved> start = peer_->ask(1, number, startOfFile(size, name));
        if (!start || start->data.size() != 5 || start->data[0] != 0) {
            return false;
        }
        std::optional<Reserved> reply = peer_->ask(2, static_cast<uint16_t>(number + 1),
                                                   packet(start->u16(1), 1, 1, pattern(size)));
        return reply && !reply->data.empty() && reply->data[0] == 0;
    }

    std::string settings32_;  // more keys of "VEK BASE 32", set before startAll
    TestClient* client_ = nullptr;
    int32_t clientID_ = 0;
    std::optional<ScriptedPeer> peer_;
};

}  // namespace testing_support
