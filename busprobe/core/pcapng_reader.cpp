#include "pcapng_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "pcapng_format.h"
#include "wire/datagram.h"

namespace busprobe {
namespace {

using namespace pcapng;

struct Interface {
    uint16_t linkType = 0;
    long double unitsPerSecond = 1e6;
};

// Bounds-checked reads in the section's byte order.
class Bytes {
  public:
    Bytes(std::span<const uint8_t> data, bool swapped) : data_(data), swapped_(swapped) {}
    size_t size() const { return data_.size(); }
    std::optional<uint16_t> u16(size_t at) const {
        if (at + 2 > data_.size()) {
            return std::nullopt;
        }
        uint16_t v = static_cast<uint16_t>(data_[at] | data_[at + 1] << 8);
        return swapped_ ? static_cast<uint16_t>(v >> 8 | v << 8) : v;
    }
    std::optional<uint32_t> u32(size_t at) const {
        if (at + 4 > data_.size()) {
            return std::nullopt;
        }
        uint32_t v = static_cast<uint32_t>(data_[at]) | static_cast<uint32_t>(data_[at + 1]) << 8 |
                     static_cast<uint32_t>(data_[at + 2]) << 16 |
                     static_cast<uint32_t>(data_[at + 3]) << 24;
        return swapped_ ? __builtin_bswap32(v) : v;
    }
    std::span<const uint8_t> span(size_t at, size_t length) const {
        return at <= data_.size() && length <= data_.size() - at ? data_.subspan(at, length)
                                                                 : std::span<const uint8_t>{};
    }

  private:
    std::span<const uint8_t> data_;
    bool swapped_;
};

uint16_t be16(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint16_t>(b[at] << 8 | b[at + 1]);
}

uint32_t be32(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint32_t>(be16(b, at)) << 16 | be16(b, at + 2);
}

// The IPv4 packet inside a frame of `linkType`, empty when there is none.
std::span<const uint8_t> ipv4Of(uint16_t linkType, std::span<const uint8_t> frame) {
    size_t offset = 0;
    switch (linkType) {
        case 101:  // raw IP
        case 228:  // raw IPv4
            break;
        case 0:  // BSD loopback: 4-byte family in the writer's order
            if (frame.size() < 4 || (frame[0] != 2 && frame[3] != 2)) {
                return {};
            }
            offset = 4;
            break;
        case 1: {  // Ethernet, one VLAN tag at most
            if (frame.size() < 14) {
                return {};
            }
            offset = 14;
            uint16_t type = be16(frame, 12);
            if (type == 0x8100 && frame.size() >= 18) {
                type = be16(frame, 16);
                offset = 18;
            }
            if (type != 0x0800) {
                return {};
            }
            break;
        }
        case 113:  // Linux cooked capture
            if (frame.size() < 16 || be16(frame, 14) != 0x0800) {
                return {};
            }
            offset = 16;
            break;
        case 276:  // Linux cooked capture v2
            if (frame.size() < 20 || be16(frame, 0) != 0x0800) {
                return {};
            }
            offset = 20;
            break;
        default:
            return {};
    }
    return offset <= frame.size() ? frame.subspan(offset) : std::span<const uint8_t>{};
}

struct UdpPacket {
    uint32_t source = 0;
    uint32_t destination = 0;
    uint16_t sourcePort = 0;
    uint16_t destinationPort = 0;
    std::span<const uint8_t> payload;
};

std::optional<UdpPacket> udpOf(std::span<const uint8_t> ip) {
    if (ip.size() < 20 || (ip[0] >> 4) != 4 || ip[9] != 17) {
        return std::nullopt;
    }
    size_t headerLength = static_cast<size_t>(ip[0] & 0x0F) * 4;
    size_t total = be16(ip, 2);
    uint16_t fragment = be16(ip, 6);
    if (headerLength < 20 || total < headerLength + 8 || total > ip.size() ||
        (fragment & 0x3FFF) != 0) {
        return std::nullopt;  // short, cut, or a fragment
    }
    std::span<const uint8_t> udp = ip.subspan(headerLength, total - headerLength);
    size_t udpLength = be16(udp, 4);
    if (udpLength < 8 || udpLength > udp.size()) {
        return std::nullopt;
    }
    return UdpPacket{be32(ip, 12), be32(ip, 16), be16(udp, 0), be16(udp, 2),
                     udp.subspan(8, udpLength - 8)};
}

class Reader {
  public:
    Reader(const CaptureEndpoints& endpoints, size_t maxMessages)
        : endpoints_(endpoints), maxMessages_(maxMessages) {}

    PcapngImport run(std::span<const uint8_t> file);

  private:
    bool readBlock(const Bytes& bytes, uint32_t type, size_t length);
    void readInterface(const Bytes& block, size_t length);
    void readPacket(uint32_t interface, uint64_t stamp, std::span<const uint8_t> frame,
                    uint32_t flags);
    std::optional<uint32_t> epbFlags(const Bytes& block, size_t from, size_t end) const;

    const CaptureEndpoints& endpoints_;
    size_t maxMessages_;
    std::vector<Interface> interfaces_;
    PcapngImport out_;
};

void Reader::readInterface(const Bytes& block, size_t length) {
    Interface interface;
    interface.linkType = block.u16(8).value_or(0);
    // Options from offset 16 to the trailing length.
    for (size_t at = 16; at + 4 <= length - 4;) {
        uint16_t code = block.u16(at).value_or(0);
        uint16_t size = block.u16(at + 2).value_or(0);
        if (code == 0 || at + 4 + size > length - 4) {
            break;
        }
        if (code == kOptIfTsresol && size >= 1) {
            uint8_t resolution = block.span(at + 4, 1)[0];
            int exponent = resolution & 0x7F;
            if (exponent <= 30) {
                interface.unitsPerSecond =
                    (resolution & 0x80) ? static_cast<long double>(1ull << exponent) : [&] {
                        long double v = 1;
                        for (int i = 0; i < exponent; ++i)
                            v *= 10;
                        return v;
                    }();
            }
        }
        at += 4 + ((static_cast<size_t>(size) + 3) & ~size_t{3});
    }
    interfaces_.push_back(interface);
}

std::optional<uint32_t> Reader::epbFlags(const Bytes& block, size_t from, size_t end) const {
    for (size_t at = from; at + 4 <= end;) {
        uint16_t code = block.u16(at).value_or(0);
        uint16_t size = block.u16(at + 2).value_or(0);
        if (code == 0 || at + 4 + size > end) {
            break;
        }
        if (code == kOptEpbFlags && size == 4) {
            return block.u32(at + 4);
        }
        at += 4 + ((static_cast<size_t>(size) + 3) & ~size_t{3});
    }
    return std::nullopt;
}

void Reader::readPacket(uint32_t interface, uint64_t stamp, std::span<const uint8_t> frame,
                        uint32_t flags) {
    ++out_.packets;
    if (interface >= interfaces_.size()) {
        ++out_.skipped;
        return;
    }
    auto udp = udpOf(ipv4Of(interfaces_[interface].linkType, frame));
    auto onServerPort = [&](uint16_t port) {
        return port == endpoints_.receivePort || port == endpoints_.sendPort;
    };
    if (!udp || !(onServerPort(udp->sourcePort) || onServerPort(udp->destinationPort)) ||
        !wire::isValidDatagram(udp->payload) || out_.messages.size() >= maxMessages_) {
        ++out_.skipped;
        return;
    }
    bool sent = false;
    if ((flags & 3) != 0) {
        sent = (flags & 3) == kFlagsOutbound;
    } else if (endpoints_.ownAddress != 0) {
        sent = udp->source == endpoints_.ownAddress && udp->destination != endpoints_.ownAddress;
    }
    CapturedMessage m;
    m.direction = sent ? Direction::Sent : Direction::Received;
    m.address = sent ? udp->destination : udp->source;
    m.bytes.assign(udp->payload.begin(), udp->payload.end());
    long double seconds = static_cast<long double>(stamp) / interfaces_[interface].unitsPerSecond;
    // A stamp from any file: kept within what the microseconds and the
    // nanoseconds derived from them can hold.
    constexpr long double kMaxMicroseconds = 9.0e15L;
    m.wallUs = static_cast<int64_t>(std::min(seconds * 1e6L, kMaxMicroseconds));
    m.wallMs = m.wallUs / 1000;
    m.steadyNs = m.wallUs * 1000;
    out_.messages.push_back(std::move(m));
}

bool Reader::readBlock(const Bytes& bytes, uint32_t type, size_t length) {
    if (type == kInterfaceDescription && length >= 20) {
        readInterface(bytes, length);
    } else if (type == kEnhancedPacket && length >= 32) {
        uint32_t interface = bytes.u32(8).value_or(0);
        uint64_t stamp =
            static_cast<uint64_t>(bytes.u32(12).value_or(0)) << 32 | bytes.u32(16).value_or(0);
        uint32_t captured = bytes.u32(20).value_or(0);
        if (captured > length - 32) {
            out_.error = "a packet is longer than its block";
            return false;
        }
        size_t optionsAt = 28 + ((static_cast<size_t>(captured) + 3) & ~size_t{3});
        uint32_t flags = epbFlags(bytes, optionsAt, length - 4).value_or(0);
        readPacket(interface, stamp, bytes.span(28, captured), flags);
    } else if (type == kSimplePacket && length >= 16) {
        uint32_t original = bytes.u32(8).value_or(0);
        size_t captured = std::min<size_t>(original, length - 16);
        readPacket(0, 0, bytes.span(12, captured), 0);
    }
    return true;
}

PcapngImport Reader::run(std::span<const uint8_t> file) {
    bool swapped = false;
    bool inSection = false;
    size_t at = 0;
    while (at < file.size()) {
        if (file.size() - at < 12) {
            out_.error = "the file ends inside a block";
            break;
        }
        // The section header's type reads the same in both byte orders;
        // every other block is in the order its section declared.
        Bytes raw(file.subspan(at), swapped);
        uint32_t type = raw.u32(0).value_or(0);
        if (type == kSectionHeader) {
            uint32_t magic = Bytes(file.subspan(at), false).u32(8).value_or(0);
            if (magic != kByteOrderMagic && magic != kSwappedMagic) {
                out_.error = "not a pcapng file (bad byte-order magic)";
                break;
            }
            swapped = magic == kSwappedMagic;
            inSection = true;
            interfaces_.clear();  // interface numbers start again per section
        } else if (!inSection) {
            out_.error = "not a pcapng file";
            break;
        }
        Bytes block(file.subspan(at), swapped);
        uint32_t length = block.u32(4).value_or(0);
        if (length < 12 || length % 4 != 0 || length > file.size() - at) {
            out_.error = "a block's length does not fit the file";
            break;
        }
        Bytes body(file.subspan(at, length), swapped);
        if (!readBlock(body, type, length)) {
            break;
        }
        at += length;
    }
    return std::move(out_);
}

}  // namespace

PcapngImport readPcapng(std::span<const uint8_t> file, const CaptureEndpoints& endpoints,
                        size_t maxMessages) {
    return Reader(endpoints, maxMessages).run(file);
}

PcapngImport readPcapngFile(const std::string& path, const CaptureEndpoints& endpoints,
                            size_t maxBytes) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        PcapngImport failed;
        failed.error = std::strerror(errno);
        return failed;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[1 << 16];
    size_t n = 0;
    while (bytes.size() < maxBytes && (n = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + std::min(n, maxBytes - bytes.size()));
    }
    std::fclose(in);
    PcapngImport result = readPcapng(bytes, endpoints);
    if (result.error.empty() && bytes.size() >= maxBytes) {
        result.error = "the file is larger than " + std::to_string(maxBytes >> 20) +
                       " MiB; the rest was not read";
    }
    return result;
}

}  // namespace busprobe
