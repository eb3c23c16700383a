#include <gtest/gtest.h>

#include <string>

#include "capture_store.h"
#include "pcapng_writer.h"
#include "temp_folder.h"
#include "tshark_run.h"
#include "wire/datagram.h"

namespace busprobe {
namespace {

CapturedMessage message(Direction direction, uint32_t address, uint16_t objectId,
                        uint16_t messageId, uint16_t number, std::vector<uint8_t> data) {
    auto datagram = wire::buildDatagram({objectId, messageId, number}, data);
    return stampedMessage(direction, address, datagram.data(), datagram.size());
}

const CaptureEndpoints kEndpoints{0x7F000001, 41000, 41001};

TEST(Pcapng, PacketsCarryIpv4AndUdpHeadersWithTheServerPorts) {
    CapturedMessage sent = message(Direction::Sent, 0x7F000002, 0xFF00, 0x0405, 0x8001, {1});
    auto packet = ipv4Packet(sent, kEndpoints);
    ASSERT_EQ(packet.size(), 20u + 8u + 10u);
    EXPECT_EQ(packet[0], 0x45);
    EXPECT_EQ(packet[9], 17);
    EXPECT_EQ((packet[2] << 8) | packet[3], 38);
    // 127.0.0.1 -> 127.0.0.2, from the send port to the receive port
    EXPECT_EQ(packet[12], 127);
    EXPECT_EQ(packet[15], 1);
    EXPECT_EQ(packet[19], 2);
    EXPECT_EQ((packet[20] << 8) | packet[21], 41001);
    EXPECT_EQ((packet[22] << 8) | packet[23], 41000);
    uint32_t sum = 0;  // a valid header sums to 0xFFFF
    for (size_t i = 0; i < 20; i += 2) {
        sum += static_cast<uint32_t>(packet[i] << 8 | packet[i + 1]);
    }
    while (sum >> 16) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    EXPECT_EQ(sum, 0xFFFFu);
    CapturedMessage received = message(Direction::Received, 0x7F000002, 1, 1, 1, {});
    auto back = ipv4Packet(received, kEndpoints);
    EXPECT_EQ(back[15], 2);
    EXPECT_EQ(back[19], 1);
}

TEST(Pcapng, StoreIsBoundedAndKeepsTheNewest) {
    CaptureStore store(3, 1 << 20);
    for (uint16_t n = 1; n <= 5; ++n) {
        store.add(message(Direction::Sent, 1, 1, 1, n, {}));
    }
    ASSERT_EQ(store.messages().size(), 3u);
    EXPECT_EQ(store.discarded(), 2u);
    EXPECT_EQ(store.messages().front().bytes[7], 3);
}

TEST(Pcapng, TsharkReadsTheCaptureWithTheDissector) {
    if (!testing::tsharkInstalled()) {
        GTEST_SKIP() << "tshark is not installed (Debian package tshark): capture not checked";
    }
    testing::TempFolder dir;
    std::string path = dir.path("traffic.pcapng");
    std::deque<CapturedMessage> messages;
    std::vector<uint8_t> tarnHeader{0, 2, 1, 0, 7, 0, 0, 0, 1, 0, 2, 0, 9, 0, 0xAA};
    messages.push_back(message(Direction::Sent, 0x7F000002, 0xFF00, 0x0C01, 0x8001, tarnHeader));
    messages.push_back(message(Direction::Received, 0x7F000002, 0xFF00, 0x8C01, 0x8001, {}));
    std::string error;
    ASSERT_TRUE(writePcapng(path, messages, kEndpoints, error)) << error;

    std::string errors = dir.path("tshark.err");
    std::string out = testing::tsharkFields(
        path,
        " -e ip.src -e udp.srcport -e udp.dstport -e vek.object_id -e vek.message_id"
        " -e vek.response -e vek.message_number -e tarn.dest_dev -e tarn.src_obj",
        errors);
    EXPECT_EQ(out,
              "127.0.0.1,41001,41000,0xff00,0x0c01,0,0x8001,7,9\n"
              "127.0.0.2,41001,41000,0xff00,0x8c01,1,0x8001,,\n")
        << testing::readFile(errors);
}

}  // namespace
}  // namespace busprobe
