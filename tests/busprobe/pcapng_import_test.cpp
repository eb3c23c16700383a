#include <gtest/gtest.h>

#include "pcapng_reader.h"
#include "pcapng_writer.h"
#include "temp_folder.h"
#include "tshark_run.h"
#include "wire/datagram.h"

namespace busprobe {
namespace {

const CaptureEndpoints kEndpoints{0x7F000001, 41000, 41001};

CapturedMessage message(Direction direction, uint32_t address, uint16_t number) {
    auto datagram = wire::buildDatagram({0x0102, 0x0304, number}, std::vector<uint8_t>{0xAB});
    CapturedMessage m = stampedMessage(direction, address, datagram.data(), datagram.size());
    m.wallUs = 1700000000123456;
    m.wallMs = m.wallUs / 1000;
    return m;
}

// A capture as another program writes it: big-endian, Ethernet frames (one
// with a VLAN tag), nanosecond stamps, no direction flags.
class ForeignCapture {
  public:
    ForeignCapture() {
        std::vector<uint8_t> shb;
        be32(shb, 0x1A2B3C4D);
        be16(shb, 1);
        be16(shb, 0);
        be32(shb, 0xFFFFFFFF);
        be32(shb, 0xFFFFFFFF);
        block(0x0A0D0D0A, shb);
        std::vector<uint8_t> idb;
        be16(idb, 1);  // Ethernet
        be16(idb, 0);
        be32(idb, 0);
        be16(idb, 9);  // if_tsresol: nanoseconds
        be16(idb, 1);
        idb.insert(idb.end(), {9, 0, 0, 0});
        be32(idb, 0);
        block(1, idb);
    }
    void packet(uint32_t source, uint32_t destination, uint16_t sourcePort, uint16_t destPort,
                std::vector<uint8_t> payload, bool vlan = false, uint8_t protocol = 17) {
        std::vector<uint8_t> frame(12, 0x11);
        if (vlan) {
            be16(frame, 0x8100);
            be16(frame, 7);
        }
        be16(frame, 0x0800);
        size_t ip = frame.size();
        frame.insert(frame.end(), {0x45, 0});
        be16(frame, static_cast<uint16_t>(28 + payload.size()));
        be32(frame, 0);
        frame.insert(frame.end(), {64, protocol, 0, 0});
        be32(frame, source);
        be32(frame, destination);
        (void)ip;
        be16(frame, sourcePort);
        be16(frame, destPort);
        be16(frame, static_cast<uint16_t>(8 + payload.size()));
        be16(frame, 0);
        frame.insert(frame.end(), payload.begin(), payload.end());
        std::vector<uint8_t> epb;
        be32(epb, 0);
        uint64_t stamp = 1700000000123456789ull;
        be32(epb, static_cast<uint32_t>(stamp >> 32));
        be32(epb, static_cast<uint32_t>(stamp));
        be32(epb, static_cast<uint32_t>(frame.size()));
        be32(epb, static_cast<uint32_t>(frame.size()));
        epb.insert(epb.end(), frame.begin(), frame.end());
        epb.resize((epb.size() + 3) & ~size_t{3}, 0);
        block(6, epb);
    }
    std::vector<uint8_t> bytes;

  private:
    static void be16(std::vector<uint8_t>& out, uint16_t v) {
        out.push_back(static_cast<uint8_t>(v >> 8));
        out.push_back(static_cast<uint8_t>(v));
    }
    static void be32(std::vector<uint8_t>& out, uint32_t v) {
        be16(out, static_cast<uint16_t>(v >> 16));
        be16(out, static_cast<uint16_t>(v));
    }
    void block(uint32_t type, const std::vector<uint8_t>& body) {
        uint32_t total = static_cast<uint32_t>(12 + body.size());
        be32(bytes, type);
        be32(bytes, total);
        bytes.insert(bytes.end(), body.begin(), body.end());
        be32(bytes, total);
    }
};

TEST(PcapngImport, OwnCapturesComeBackWithDirectionAddressAndBytes) {
    testing::TempFolder dir;
    std::string path = dir.path("own.pcapng");
    std::deque<CapturedMessage> messages{message(Direction::Sent, 0x7F000002, 0x8001),
                                         message(Direction::Received, 0x7F000002, 0x8001)};
    std::string error;
    ASSERT_TRUE(writePcapng(path, messages, kEndpoints, error)) << error;
    // Read without knowing the own address: the direction flags decide.
    PcapngImport read = readPcapngFile(path, {0, 41000, 41001});
    EXPECT_TRUE(read.error.empty()) << read.error;
    ASSERT_EQ(read.messages.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(read.messages[i].direction, messages[i].direction);
        EXPECT_EQ(read.messages[i].address, 0x7F000002u);
        EXPECT_EQ(read.messages[i].bytes, messages[i].bytes);
        EXPECT_EQ(read.messages[i].wallUs, messages[i].wallUs);
    }
    if (!testing::tsharkInstalled()) {
        GTEST_SKIP() << "tshark is not installed (Debian package tshark): capture not checked";
    }
    std::string out = testing::tsharkFields(
        path, " -e frame.interface_name -e frame.packet_flags_direction -e ip.dst",
        dir.path("tshark.err"));
    EXPECT_EQ(out,
              "hubserver send,0x00000002,127.0.0.2\n"
              "hubserver receive,0x00000001,127.0.0.1\n")
        << testing::readFile(dir.path("tshark.err"));
}

TEST(PcapngImport, OthersCapturesKeepOnlyMessagesOnTheServerPorts) {
    ForeignCapture capture;
    auto vek = wire::buildDatagram({0x0102, 0x0304, 0x8001}, std::vector<uint8_t>{1});
    capture.packet(0x7F000002, 0x7F000001, 41001, 41000, vek);              // from a device
    capture.packet(0x7F000001, 0x7F000003, 41001, 41000, vek, true);        // to one, VLAN
    capture.packet(0x7F000002, 0x7F000001, 5000, 5001, vek);                // other ports
    capture.packet(0x7F000002, 0x7F000001, 41001, 41000, {'v', 'e', 'k'});  // no message
    capture.packet(0x7F000002, 0x7F000001, 41001, 41000, vek, false, 6);    // not UDP
    PcapngImport read = readPcapng(capture.bytes, kEndpoints);
    EXPECT_TRUE(read.error.empty()) << read.error;
    EXPECT_EQ(read.packets, 5u);
    EXPECT_EQ(read.skipped, 3u);
    ASSERT_EQ(read.messages.size(), 2u);
    EXPECT_EQ(read.messages[0].direction, Direction::Received);
    EXPECT_EQ(read.messages[0].address, 0x7F000002u);
    EXPECT_EQ(read.messages[1].direction, Direction::Sent);
    EXPECT_EQ(read.messages[1].address, 0x7F000003u);
    EXPECT_EQ(read.messages[0].wallUs, 1700000000123456);
    EXPECT_EQ(read.messages[0].bytes, vek);
}

TEST(PcapngImport, CutOrCorruptFilesEndWithAnErrorAndKeepWhatWasRead) {
    ForeignCapture capture;
    auto vek = wire::buildDatagram({1, 2, 3}, std::vector<uint8_t>{});
    capture.packet(0x7F000002, 0x7F000001, 41001, 41000, vek);
    capture.packet(0x7F000002, 0x7F000001, 41001, 41000, vek);
    size_t whole = capture.bytes.size();
    for (size_t cut = 0; cut < whole; ++cut) {
        std::span<const uint8_t> part(capture.bytes.data(), cut);
        PcapngImport read = readPcapng(part, kEndpoints);
        EXPECT_LE(read.messages.size(), 2u);
        if (cut > 0) {
            EXPECT_FALSE(read.error.empty() && read.messages.size() < 2 && cut % 4 != 0)
                << "cut at " << cut;
        }
    }
    std::vector<uint8_t> bad = capture.bytes;
    bad[bad.size() - 60] = 0xFF;  // a captured length far past its block
    EXPECT_LE(readPcapng(bad, kEndpoints).messages.size(), 2u);
    std::vector<uint8_t> text{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'};
    EXPECT_EQ(readPcapng(text, kEndpoints).error, "not a pcapng file");
}

}  // namespace
}  // namespace busprobe
