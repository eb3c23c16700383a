// Writes captured traffic as a pcapng file of raw IPv4 packets (link type
// 101): each message gets a synthesized IPv4 and UDP header with the
// addresses and the server's ports, an interface per side and its
// direction, so any capture viewer opens it and shows what busprobe showed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "captured_message.h"

namespace busprobe {

struct CaptureEndpoints {
    uint32_t ownAddress = 0;      // this PC, host order
    uint16_t receivePort = 3048;  // the port every node receives on
    uint16_t sendPort = 3049;     // the port every node sends from
};

// The server's ports from VEKMAIN.INI (defaults 3048 and 3049) and the given
// own address.
CaptureEndpoints readCaptureEndpoints(uint32_t ownAddress);

// The IPv4 + UDP packet of one message (UDP checksum 0: not computed). A
// datagram too long for one packet is cut at the IPv4 limit.
std::vector<uint8_t> ipv4Packet(const CapturedMessage& m, const CaptureEndpoints& endpoints);

// A pcapng file written as the messages come: the section (with its
// comment), two interfaces, "hubserver receive" for what came in and
// "hubserver send" for what went out, then one enhanced packet per message
// with its direction flag (inbound/outbound).
class PcapngWriter {
  public:
    PcapngWriter() = default;
    ~PcapngWriter() { close(); }
    PcapngWriter(const PcapngWriter&) = delete;
    PcapngWriter& operator=(const PcapngWriter&) = delete;

    // False (and error() set) when the file cannot be created.
    bool open(const std::string& path, const CaptureEndpoints& endpoints,
              std::string_view comment = {});
    void write(const CapturedMessage& m);
    // Pushes the written packets out; false after any failed write.
    bool flush();
    bool close();
    const std::string& error() const { return error_; }
    uint64_t written() const { return written_; }

  private:
    void put(const std::vector<uint8_t>& bytes);

    std::FILE* file_ = nullptr;
    CaptureEndpoints endpoints_;
    std::string error_;
    uint64_t written_ = 0;
};

// Interface numbers of the two sides in the files we write.
inline constexpr uint32_t kInterfaceReceive = 0;
inline constexpr uint32_t kInterfaceSend = 1;

// Writes the file; false (and `error` set) when it cannot be written. A
// non-empty `comment` becomes the section's comment (what was cut).
bool writePcapng(const std::string& path, const std::deque<CapturedMessage>& messages,
                 const CaptureEndpoints& endpoints, std::string& error,
                 std::string_view comment = {});

// "N messages kept, M earlier messages discarded (capture store full), D
// dropped before they reached the monitor".
std::string captureComment(uint64_t kept, uint64_t discarded, uint64_t dropped);

}  // namespace busprobe
