// Reads pcapng captures, busprobe's own and other programs', back into
// messages: every UDP packet to or from one of the server's ports whose
// payload is a message. Link types raw IPv4, Ethernet, Linux cooked (v1 and
// v2) and BSD loopback are understood; everything else is skipped and
// counted. Every length in the file is checked against the bytes present.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "captured_message.h"
#include "pcapng_writer.h"

namespace busprobe {

struct PcapngImport {
    std::vector<CapturedMessage> messages;
    uint64_t packets = 0;  // packet blocks seen
    uint64_t skipped = 0;  // packets that are no message on the server's ports
    std::string error;     // empty when the whole file was read
};

// The direction of a packet comes from its flags when it has them, else
// from `endpoints.ownAddress` (0: every packet counts as received from its
// source). At most `maxMessages` are kept.
PcapngImport readPcapng(std::span<const uint8_t> file, const CaptureEndpoints& endpoints,
                        size_t maxMessages = 10000000);

// Reads the file (at most `maxBytes` of it) and then as above.
PcapngImport readPcapngFile(const std::string& path, const CaptureEndpoints& endpoints,
                            size_t maxBytes = size_t{1} << 30);

}  // namespace busprobe
