// The large-message transfer facing a faulty or hostile peer: names that
// would leave the receive folder, lengths and packets that do not add up,
// floods of starts, incomplete messages and replies cut short. Each is
// refused or ignored without harm, and the server keeps working.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

#include "large_transfer_support.h"

namespace {

using namespace testing_support;
using std::chrono::milliseconds;

struct StartCase {
    const char* what;
    std::vector<uint8_t> data;
};

class LargeHostileStart : public LargeTransferTest,
                          public ::testing::WithParamInterface<StartCase> {};

TEST_P(LargeHostileStart, IsRefusedWithStatusOne) {
    startAll();
    EXPECT_TRUE(isRefusal(peer_->ask(1, 0x6001, GetParam().data), 1, 0x6001)) << GetParam().what;
    // Nothing was written anywhere in the state folder but the log.
    std::vector<std::string> files;
    for (const auto& f : std::filesystem::recursive_directory_iterator(dirs_.state())) {
        if (f.is_regular_file() && f.path() != dirs_.log()) {
            files.push_back(f.path());
        }
    }
    EXPECT_TRUE(files.empty()) << files.front();
    // The server still takes a proper transfer.
    EXPECT_NE(peerStarts(3000, 0x6002), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Starts, LargeHostileStart,
    ::testing::Values(StartCase{"name with a folder", startOfFile(10, "sub/file.bin")},
                      StartCase{"name going up", startOfFile(10, "..")},
                      StartCase{"relative path going up", startOfFile(10, "../VDEBUG32.TXT")},
                      StartCase{"absolute name", startOfFile(10, "/tmp/vek-hostile")},
                      StartCase{"backslash folder", startOfFile(10, "..\\x")},
                      StartCase{"empty name", startOfFile(10, "")},
                      StartCase{"name of 256 bytes", startOfFile(10, std::string(256, 'a'))},
                      StartCase{"name longer than its bytes", startOfFile(10, "abc", 40)},
                      StartCase{"message shorter than a header", startOfMessage(8)},
                      StartCase{"message above 16 MiB", startOfMessage(16 * 1024 * 1024 + 1)},
                      StartCase{"unknown data type", startOfMessage(3000, 3)},
                      StartCase{"start cut short", {2, 0, 0xB8}}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name) {
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
        return name;
    });

struct PacketCase {
    const char* what;
    std::vector<uint8_t> (*data)(uint16_t transferID);
};

class LargeHostilePacket : public LargeTransferTest,
                           public ::testing::WithParamInterface<PacketCase> {};

// A transfer of 100 bytes receives one bad packet: refused, and the
// transfer is over.
TEST_P(LargeHostilePacket, EndsTheTransferWithARefusal) {
    startAll();
    uint16_t id = peerStarts(100, 0x6100);
    ASSERT_NE(id, 0);
    EXPECT_TRUE(isRefusal(peer_->ask(2, 0x6101, GetParam().data(id)), 2, 0x6101))
        << GetParam().what;
    EXPECT_TRUE(isRefusal(peer_->ask(2, 0x6102, packet(id, 1, 1, pattern(100))), 2, 0x6102));
}

INSTANTIATE_TEST_SUITE_P(
    Packets, LargeHostilePacket,
    ::testing::Values(PacketCase{"chunk past the length",
                                 [](uint16_t id) { return packet(id, 1, 1, pattern(101)); }},
                      PacketCase{"no packets",
                                 [](uint16_t id) { return packet(id, 0, 1, pattern(100)); }},
                      PacketCase{"last packet short of the length",
                                 [](uint16_t id) { return packet(id, 1, 1, pattern(60)); }},
                      PacketCase{"chunk length beyond the bytes",
                                 [](uint16_t id) { return packet(id, 1, 1, pattern(10), 100); }},
                      PacketCase{"shorter than a packet header",
                                 [](uint16_t id) {
                                     std::vector<uint8_t> d = packet(id, 1, 1, {});
                                     d.resize(5);
                                     return d;
                                 }}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name) {
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
        return name;
    });

TEST_F(LargeTransferTest, SecondChunkPastTheLengthIsNotStored) {
    startAll();
    uint16_t id = peerStarts(100, 0x6200);
    ASSERT_NE(id, 0);
    auto first = peer_->ask(2, 0x6201, packet(id, 2, 1, pattern(60)));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->data[0], 0);
    EXPECT_TRUE(isRefusal(peer_->ask(2, 0x6202, packet(id, 2, 2, pattern(41))), 2, 0x6202));
}

TEST_F(LargeTransferTest, FloodOfStartsIsBoundedAt32ReceivingTransfers) {
    startAll();
    for (uint16_t k = 0; k < 32; ++k) {
        ASSERT_NE(peerStarts(16 * 1024 * 1024, 0x6300 + k), 0) << "start " << k;
    }
    EXPECT_TRUE(isRefusal(peer_->ask(1, 0x6400, startOfMessage(3000)), 1, 0x6400));
    EXPECT_TRUE(isRefusal(peer_->ask(1, 0x6401, startOfMessage(3000)), 1, 0x6401));
}

TEST_F(LargeTransferTest, EndMessageDeliversOnlyAWholeMessage) {
    startAll();
    // Complete: all 20 bytes arrived, though the packet count said 2.
    std::vector<uint8_t> small = datagramOf(9, 3, 0x9100, pattern(11));
    uint16_t id = peerStarts(20, 0x6500);
    ASSERT_NE(id, 0);
    ASSERT_TRUE(peer_->ask(2, 0x6501, packet(id, 2, 1, small)));
    peer_->send(3, 0x6502, endOf(id, 1));

    // Incomplete: 1463 of 3000 bytes, then "complete".
    uint16_t partial = peerStarts(3000, 0x6510);
    ASSERT_NE(partial, 0);
    ASSERT_TRUE(peer_->ask(2, 0x6511, packet(partial, 3, 1, pattern(1463))));
    peer_->send(3, 0x6512, endOf(partial, 1));

    std::vector<std::vector<uint8_t>> delivered;
    for (const auto& d : monitored(wire::kDirectionReceived, milliseconds(400))) {
        if (d.size() == 20 || d.size() == 3000) {
            delivered.push_back(d);
        }
    }
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0], small);
    // The incomplete transfer was dropped.
    EXPECT_TRUE(isRefusal(peer_->ask(2, 0x6513, packet(partial, 3, 2, pattern(1463))), 2, 0x6513));
}

TEST_F(LargeTransferTest, AbortingEndMessageDropsTheTransfer) {
    startAll();
    uint16_t id = peerStarts(3000, 0x6600);
    ASSERT_NE(id, 0);
    peer_->send(3, 0x6601, endOf(id, 7));
    EXPECT_TRUE(peer_->silentFor(milliseconds(200)));  // no reply to an end message
    EXPECT_TRUE(isRefusal(peer_->ask(2, 0x6602, packet(id, 3, 1, pattern(1463))), 2, 0x6602));
}

TEST_F(LargeTransferTest, FileTransferIsWrittenIntoTheReceiveFolder) {
    startAll();
    std::vector<uint8_t> content = pattern(100, 9);
    std::optional<Reserved> reply = peer_->ask(1, 0x6700, startOfFile(100, "report.bin"));
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->data.size(), 5u);
    EXPECT_EQ(reply->data[0], 0);
    uint16_t id = reply->u16(1);
    std::vector<uint8_t> first(content.begin(), content.begin() + 70);
    std::vector<uint8_t> second(content.begin() + 70, content.end());
    ASSERT_TRUE(peer_->ask(2, 0x6701, packet(id, 2, 1, first)));
    auto last = peer_->ask(2, 0x6702, packet(id, 2, 2, second));
    ASSERT_TRUE(last);
    EXPECT_EQ(last->data[0], 0);
    std::string written = readFile(dirs_.state() + "/received/report.bin");
    EXPECT_EQ(std::vector<uint8_t>(written.begin(), written.end()), content);
}

TEST_F(LargeTransferTest, RepliesCutShortAreIgnored) {
    startAll();
    EXPECT_EQ(sendToPeer(datagramOf(5, 1, 0x8400, pattern(2000))), 1);
    std::optional<Reserved> start = peer_->next();
    ASSERT_TRUE(start);
    // Each repeat of the reply passes the duplicate filter after a flush.
    peer_->send(1 | kReply, start->number, {});  // no status at all
    peer_->flushDuplicateFilter();
    peer_->send(1 | kReply, start->number, {0, 1, 0, 0});  // packet size missing
    peer_->flushDuplicateFilter();
    EXPECT_TRUE(peer_->silentFor(milliseconds(300)));
    // The entry is still there: the whole reply sends packet 1.
    peer_->send(1 | kReply, start->number, {0, 1, 0, 0xC8, 0x05});
    std::optional<Reserved> first = peer_->next();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->messageId, 2);
    peer_->send(2 | kReply, first->number, {0, 1, 0, 2, 0});  // cut short
    peer_->flushDuplicateFilter();
    EXPECT_TRUE(peer_->silentFor(milliseconds(300)));
    peer_->send(2 | kReply, first->number, {0, 1, 0, 2, 0, 1, 0});
    std::optional<Reserved> second = peer_->next();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->u16(4), 2);
}

}  // namespace

namespace {

// A peer cannot fill the disk: files in the receive folder are limited in
// number and bytes; a start beyond either is refused and logged, and a file
// that replaces one of the same name does not count twice.
TEST_F(LargeTransferTest, ReceiveFolderLimitsRefuseFurtherFiles) {
    settings32_ = "ReceiveFolderMaxFiles=2\nReceiveFolderMaxBytes=1000\n";
    startAll();
    EXPECT_TRUE(peerSendsFile("a.bin", 400, 0x6400));
    EXPECT_TRUE(peerSendsFile("b.bin", 400, 0x6410));
    EXPECT_TRUE(isRefusal(peer_->ask(1, 0x6420, startOfFile(10, "c.bin")), 1, 0x6420));
    EXPECT_TRUE(peerSendsFile("a.bin", 500, 0x6430));  // replaces a.bin: 900 bytes in 2 files
    EXPECT_TRUE(isRefusal(peer_->ask(1, 0x6440, startOfFile(600, "b.bin")), 1, 0x6440));
    std::string folder = dirs_.state() + "/received";
    EXPECT_FALSE(std::filesystem::exists(folder + "/c.bin"));
    EXPECT_EQ(std::filesystem::file_size(folder + "/a.bin"), 500u);
    EXPECT_EQ(std::filesystem::file_size(folder + "/b.bin"), 400u);
    EXPECT_NE(maskedLog().find("File transfer from 127.0.0.2 refused (10 bytes): receive folder "
                               "full.\n"),
              std::string::npos)
        << maskedLog();
}

}  // namespace
