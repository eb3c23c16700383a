// Writes captured traffic as a pcapng file of raw IPv4 packets (link type
// 101): each message gets a synthesized IPv4 and UDP header with the
// addresses and the server's real ports, so any capture viewer opens it.
#pragma once

#include <cstdint>
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

// Writes the file; false (and `error` set) when it cannot be written. A
// non-empty `comment` becomes the section's comment (what was cut).
bool writePcapng(const std::string& path, const std::deque<CapturedMessage>& messages,
                 const CaptureEndpoints& endpoints, std::string& error,
                 std::string_view comment = {});

// "N messages kept, M earlier messages discarded (capture store full), D
// dropped before they reached the monitor".
std::string captureComment(uint64_t kept, uint64_t discarded, uint64_t dropped);

}  // namespace busprobe
