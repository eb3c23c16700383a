#include "pcapng_writer.h"

#include <cerrno>
#include <cstring>

#include "pcapng_format.h"
#include "platform/ini.h"

namespace busprobe {
namespace {

using namespace pcapng;

constexpr size_t kIpHeader = 20;
constexpr size_t kUdpHeader = 8;
constexpr size_t kMaxIpPacket = 65535;

void put16be(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void put32be(std::vector<uint8_t>& out, uint32_t v) {
    put16be(out, static_cast<uint16_t>(v >> 16));
    put16be(out, static_cast<uint16_t>(v));
}

// pcapng blocks are written in this machine's byte order (the section's
// byte-order magic tells readers which).
template <typename T>
void putHost(std::vector<uint8_t>& out, T v) {
    size_t at = out.size();
    out.resize(at + sizeof(T));
    std::memcpy(out.data() + at, &v, sizeof(T));
}

uint16_t ipChecksum(const uint8_t* header, size_t length) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < length; i += 2) {
        sum += static_cast<uint32_t>(header[i] << 8 | header[i + 1]);
    }
    while (sum >> 16) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<uint16_t>(~sum);
}

// One option: code, length, value padded to 4 bytes.
void putOption(std::vector<uint8_t>& out, uint16_t code, std::string_view value) {
    putHost<uint16_t>(out, code);
    putHost<uint16_t>(out, static_cast<uint16_t>(value.size()));
    out.insert(out.end(), value.begin(), value.end());
    out.resize((out.size() + 3) & ~size_t{3}, 0);
}

void putEndOfOptions(std::vector<uint8_t>& out) {
    putHost<uint32_t>(out, 0);
}

// Type, total length, body padded to 4 bytes, total length.
std::vector<uint8_t> block(uint32_t type, const std::vector<uint8_t>& body) {
    size_t padded = (body.size() + 3) & ~size_t{3};
    uint32_t total = static_cast<uint32_t>(12 + padded);
    std::vector<uint8_t> out;
    out.reserve(total);
    putHost(out, type);
    putHost(out, total);
    out.insert(out.end(), body.begin(), body.end());
    out.resize(8 + padded, 0);
    putHost(out, total);
    return out;
}

}  // namespace

CaptureEndpoints readCaptureEndpoints(uint32_t ownAddress) {
    CaptureEndpoints e;
    e.ownAddress = ownAddress;
    e.receivePort = static_cast<uint16_t>(
        plat::ini::getInt("VEK BASE 32", "RecvSocketPort", 3048, "VEKMAIN.INI"));
    e.sendPort = static_cast<uint16_t>(
        plat::ini::getInt("VEK BASE 32", "SendSocketPort", 3049, "VEKMAIN.INI"));
    return e;
}

std::vector<uint8_t> ipv4Packet(const CapturedMessage& m, const CaptureEndpoints& e) {
    size_t payload = std::min(m.bytes.size(), kMaxIpPacket - kIpHeader - kUdpHeader);
    bool sent = m.direction == Direction::Sent;
    uint32_t source = sent ? e.ownAddress : m.address;
    uint32_t destination = sent ? m.address : e.ownAddress;
    std::vector<uint8_t> packet;
    packet.reserve(kIpHeader + kUdpHeader + payload);
    packet.push_back(0x45);
    packet.push_back(0);
    put16be(packet, static_cast<uint16_t>(kIpHeader + kUdpHeader + payload));
    put16be(packet, 0);       // identification
    put16be(packet, 0x4000);  // don't fragment
    packet.push_back(64);     // TTL
    packet.push_back(17);     // UDP
    put16be(packet, 0);       // checksum, filled below
    put32be(packet, source);
    put32be(packet, destination);
    uint16_t sum = ipChecksum(packet.data(), kIpHeader);
    packet[10] = static_cast<uint8_t>(sum >> 8);
    packet[11] = static_cast<uint8_t>(sum);
    put16be(packet, e.sendPort);  // every node sends from its send port
    put16be(packet, e.receivePort);
    put16be(packet, static_cast<uint16_t>(kUdpHeader + payload));
    put16be(packet, 0);
    packet.insert(packet.end(), m.bytes.begin(), m.bytes.begin() + static_cast<long>(payload));
    return packet;
}

std::string captureComment(uint64_t kept, uint64_t discarded, uint64_t dropped) {
    auto messages = [](uint64_t n) {
        return std::to_string(n) + (n == 1 ? " message" : " messages");
    };
    std::string text = messages(kept) + " kept, " + std::to_string(discarded) +
                       (discarded == 1 ? " earlier message" : " earlier messages") +
                       " discarded (capture store full), " + std::to_string(dropped) +
                       " dropped before they reached the monitor";
    return text;
}

bool PcapngWriter::open(const std::string& path, const CaptureEndpoints& endpoints,
                        std::string_view comment) {
    close();
    endpoints_ = endpoints;
    error_.clear();
    written_ = 0;
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        error_ = std::strerror(errno);
        return false;
    }
    std::vector<uint8_t> section;
    putHost<uint32_t>(section, 0x1A2B3C4D);
    putHost<uint16_t>(section, 1);
    putHost<uint16_t>(section, 0);
    putHost<int64_t>(section, -1);
    putOption(section, kOptShbUserAppl, "busprobe");
    if (!comment.empty()) {
        putOption(section, kOptComment, comment.substr(0, 0xFFFF));
    }
    putEndOfOptions(section);
    put(block(kSectionHeader, section));
    const std::pair<const char*, std::string> sides[] = {
        {"hubserver receive",
         "what the server received, UDP port " + std::to_string(endpoints.receivePort)},
        {"hubserver send",
         "what the server sent, from UDP port " + std::to_string(endpoints.sendPort)}};
    for (const auto& [name, description] : sides) {
        std::vector<uint8_t> interface;
        putHost<uint16_t>(interface, kLinkTypeRawIpv4);
        putHost<uint16_t>(interface, 0);
        putHost<uint32_t>(interface, 0);  // no snapshot limit
        putOption(interface, kOptIfName, name);
        putOption(interface, kOptIfDescription, description);
        putEndOfOptions(interface);
        put(block(kInterfaceDescription, interface));
    }
    return error_.empty();
}

void PcapngWriter::put(const std::vector<uint8_t>& bytes) {
    if (file_ != nullptr && error_.empty() &&
        std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        error_ = std::strerror(errno);
    }
}

void PcapngWriter::write(const CapturedMessage& m) {
    if (file_ == nullptr) {
        return;
    }
    bool sent = m.direction == Direction::Sent;
    std::vector<uint8_t> packet = ipv4Packet(m, endpoints_);
    std::vector<uint8_t> body;
    body.reserve(40 + packet.size());
    uint64_t stamp = static_cast<uint64_t>(m.wallUs);  // microseconds: the default resolution
    putHost<uint32_t>(body, sent ? kInterfaceSend : kInterfaceReceive);
    putHost<uint32_t>(body, static_cast<uint32_t>(stamp >> 32));
    putHost<uint32_t>(body, static_cast<uint32_t>(stamp));
    putHost<uint32_t>(body, static_cast<uint32_t>(packet.size()));
    putHost<uint32_t>(body, static_cast<uint32_t>(kIpHeader + kUdpHeader + m.bytes.size()));
    body.insert(body.end(), packet.begin(), packet.end());
    body.resize((body.size() + 3) & ~size_t{3}, 0);
    // epb_flags: bits 0-1 the direction, 1 inbound, 2 outbound.
    putHost<uint16_t>(body, kOptEpbFlags);
    putHost<uint16_t>(body, 4);
    putHost<uint32_t>(body, sent ? kFlagsOutbound : kFlagsInbound);
    putEndOfOptions(body);
    put(block(kEnhancedPacket, body));
    ++written_;
}

bool PcapngWriter::flush() {
    if (file_ != nullptr && std::fflush(file_) != 0 && error_.empty()) {
        error_ = std::strerror(errno);
    }
    return error_.empty();
}

bool PcapngWriter::close() {
    if (file_ == nullptr) {
        return error_.empty();
    }
    flush();
    if (std::fclose(file_) != 0 && error_.empty()) {
        error_ = std::strerror(errno);
    }
    file_ = nullptr;
    return error_.empty();
}

bool writePcapng(const std::string& path, const std::deque<CapturedMessage>& messages,
                 const CaptureEndpoints& endpoints, std::string& error, std::string_view comment) {
    PcapngWriter writer;
    if (writer.open(path, endpoints, comment)) {
        for (const auto& m : messages) {
            writer.write(m);
        }
    }
    bool ok = writer.close();
    error = writer.error();
    return ok;
}

}  // namespace busprobe
