// The large-message transfer between the real hubserver and a scripted peer
// server, in both roles, its time-outs, and the reserved replies 256, 257
// and any other identifier.
#include <gtest/gtest.h>

#include "large_transfer_support.h"

namespace {

using namespace testing_support;
using std::chrono::milliseconds;

struct SplitCase {
    uint16_t offeredPacketSize;
    std::vector<size_t> packetSizes;  // datagram sizes the peer must see
};

class LargeTransferSplit : public LargeTransferTest,
                           public ::testing::WithParamInterface<SplitCase> {};

// The sender announces the message, then sends one packet per reply; the
// chunks put together are the message.
TEST_P(LargeTransferSplit, MessageLeavesAsStartAndNumberedPackets) {
    startAll();
    const SplitCase& c = GetParam();
    std::vector<uint8_t> message = datagramOf(5, 0x0042, 0x8123, pattern(3000 - 9));
    EXPECT_EQ(sendToPeer(message), 1);

    std::optional<Reserved> start = peer_->next();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->datagram.size(), 15u);
    EXPECT_EQ(start->messageId, 1);
    EXPECT_EQ(start->u16(0), 2);                   // netmsg_transfer
    EXPECT_EQ(start->u32(2), 3000);                // the whole datagram
    std::vector<uint8_t> offer = {0, 0x34, 0x12};  // status, transfer ID 0x1234
    putLe16(offer, c.offeredPacketSize);
    peer_->send(1 | kReply, start->number, offer);

    std::vector<uint8_t> reassembled;
    const uint16_t total = static_cast<uint16_t>(c.packetSizes.size());
    for (uint16_t k = 1; k <= total; ++k) {
        std::optional<Reserved> p = peer_->next();
        ASSERT_TRUE(p) << "packet " << k;
        EXPECT_EQ(p->messageId, 2);
        EXPECT_EQ(p->datagram.size(), c.packetSizes[k - 1]) << "packet " << k;
        EXPECT_EQ(p->u16(0), 0x1234);
        EXPECT_EQ(p->u16(2), total);
        EXPECT_EQ(p->u16(4), k);
        EXPECT_EQ(p->u16(6), p->datagram.size() - 17);
        reassembled.insert(reassembled.end(), p->data.begin() + 8, p->data.end());
        std::vector<uint8_t> ack = {0, 0x34, 0x12};
        putLe16(ack, total);
        putLe16(ack, k);
        peer_->send(2 | kReply, p->number, ack);
    }
    EXPECT_EQ(reassembled, message);
    // Complete after the last reply: no end message, nothing more.
    EXPECT_TRUE(peer_->silentFor(milliseconds(300)));

    // Network monitors saw the start and every packet as sent.
    std::vector<size_t> sentSizes;
    for (const auto& d : monitored(wire::kDirectionSent, milliseconds(200))) {
        sentSizes.push_back(d.size());
    }
    std::vector<size_t> expected = {15};
    expected.insert(expected.end(), c.packetSizes.begin(), c.packetSizes.end());
    EXPECT_EQ(sentSizes, expected);
}

INSTANTIATE_TEST_SUITE_P(Offers, LargeTransferSplit,
                         ::testing::Values(SplitCase{1480, {1480, 1480, 91}},
                                           // Below 512 counts as 512: chunks of 495 bytes.
                                           SplitCase{300, {512, 512, 512, 512, 512, 512, 47}},
                                           // Above what a datagram may carry counts as 1480.
                                           SplitCase{9000, {1480, 1480, 91}}));

TEST_F(LargeTransferTest, ReceivedPacketsReachClientsAsOneMessage) {
    startAll();
    std::vector<uint8_t> message = datagramOf(7, 0x0011, 0x9001, pattern(3000 - 9, 3));
    std::optional<Reserved> reply = peer_->ask(1, 0x4001, startOfMessage(3000));
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->datagram.size(), 14u);
    EXPECT_EQ(reply->messageId, 1 | kReply);
    EXPECT_EQ(reply->number, 0x4001);
    EXPECT_EQ(reply->data[0], 0);
    EXPECT_EQ(reply->u16(3), 1480);
    uint16_t id = reply->u16(1);

    const size_t chunk = 1463;
    for (uint16_t k = 1; k <= 3; ++k) {
        size_t from = (k - 1) * chunk;
        size_t length = std::min(chunk, message.size() - from);
        std::vector<uint8_t> part(message.begin() + from, message.begin() + from + length);
        std::optional<Reserved> ack = peer_->ask(2, 0x4001 + k, packet(id, 3, k, part));
        ASSERT_TRUE(ack);
        ASSERT_EQ(ack->datagram.size(), 16u);
        EXPECT_EQ(ack->messageId, 2 | kReply);
        EXPECT_EQ(ack->number, 0x4001 + k);
        EXPECT_EQ(ack->data[0], 0);
        EXPECT_EQ(ack->u16(1), id);
        EXPECT_EQ(ack->u16(3), 3);
        EXPECT_EQ(ack->u16(5), k);
    }
    std::vector<std::vector<uint8_t>> whole;
    for (const auto& d : monitored(wire::kDirectionReceived, milliseconds(300))) {
        if (d.size() == 3000) {
            whole.push_back(d);
        }
    }
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(whole[0], message);
}

TEST_F(LargeTransferTest, OutOfSequencePacketEndsTheTransfer) {
    startAll();
    uint16_t id = peerStarts(3000, 0x4100);
    ASSERT_NE(id, 0);
    std::vector<uint8_t> chunk = pattern(1463);
    std::optional<Reserved> first = peer_->ask(2, 0x4101, packet(id, 3, 1, chunk));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->data[0], 0);
    EXPECT_TRUE(isRefusal(peer_->ask(2, 0x4102, packet(id, 3, 3, chunk)), 2, 0x4102));
    // The transfer is gone: the packet that was due is refused as well.
    EXPECT_TRUE(isRefusal(peer_->ask(2, 0x4103, packet(id, 3, 2, chunk)), 2, 0x4103));
}

TEST_F(LargeTransferTest, TransfersWithoutTheirNextStepExpireAfterPacketTimeout) {
    startAll(300);
    // Sender: the peer stays silent past the time-out, then answers.
    EXPECT_EQ(sendToPeer(datagramOf(5, 1, 0x8200, pattern(2000))), 1);
    std::optional<Reserved> start = peer_->next();
    ASSERT_TRUE(start);
    std::this_thread::sleep_for(milliseconds(900));
    peer_->send(1 | kReply, start->number, {0, 1, 0, 0xC8, 0x05});
    EXPECT_TRUE(peer_->silentFor(milliseconds(600)));

    // Receiver: a packet after the time-out finds no transfer.
    uint16_t id = peerStarts(3000, 0x4200);
    ASSERT_NE(id, 0);
    std::this_thread::sleep_for(milliseconds(900));
    EXPECT_TRUE(isRefusal(peer_->ask(2, 0x4201, packet(id, 3, 1, pattern(1463))), 2, 0x4201));
}

TEST_F(LargeTransferTest, ReplyInTimeKeepsTheTransferGoing) {
    startAll(300);
    EXPECT_EQ(sendToPeer(datagramOf(5, 1, 0x8300, pattern(2000))), 1);
    std::optional<Reserved> start = peer_->next();
    ASSERT_TRUE(start);
    peer_->send(1 | kReply, start->number, {0, 1, 0, 0xC8, 0x05});
    std::optional<Reserved> first = peer_->next();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->messageId, 2);
}

TEST_F(LargeTransferTest, RemoteDebuggingAndOtherReservedMessages) {
    startAll();
    auto traceLines = [&] {
        std::string log = readFile(dirs_.log());
        size_t count = 0;
        // Trace headlines follow their time-stamp line.
        for (size_t at = log.find("]\nMessage "); at != std::string::npos;
             at = log.find("]\nMessage ", at + 1)) {
            ++count;
        }
        return count;
    };

    // 256 with bit 0 clear: answered, nothing switched on.
    std::optional<Reserved> r = peer_->ask(256, 0x5001, {0, 0});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->datagram, datagramOf(0, 256 | kReply, 0x5001, {0}));
    EXPECT_EQ(traceLines(), 0u);

    // 256 with bit 0 set: the trace starts (its own reply is traced).
    r = peer_->ask(256, 0x5002, {1, 0});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->datagram, datagramOf(0, 256 | kReply, 0x5002, {0}));
    EXPECT_TRUE(waitForText(dirs_.log(), "Message Sent Successfully :\n"));

    // 257: trace off, the log's path in the reply.
    r = peer_->ask(257, 0x5003, {});
    ASSERT_TRUE(r);
    std::string path = dirs_.log();
    std::vector<uint8_t> expected = {0};
    putLe16(expected, static_cast<uint16_t>(path.size()));
    expected.insert(expected.end(), path.begin(), path.end());
    EXPECT_EQ(r->datagram, datagramOf(0, 257 | kReply, 0x5003, expected));
    EXPECT_EQ(r->datagram.size(), 12 + path.size());
    size_t traced = traceLines();

    // Anything else: the 10-byte refusal; a reply is never answered.
    EXPECT_TRUE(isRefusal(peer_->ask(99, 0x5004, {1, 2, 3}), 99, 0x5004));
    peer_->send(99 | kReply, 0x5005, {0});
    EXPECT_TRUE(peer_->silentFor(milliseconds(300)));
    EXPECT_EQ(traceLines(), traced);
}

}  // namespace
