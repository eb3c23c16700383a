// The tarnsim program over raw UDP on loopback: requests built with the core
// encoders, replies checked field by field; listings paged by bytes,
// notifications after a set by another client, lost and late replies, and
// the device file on the way in and out.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "protocol/tarn_replies.h"
#include "protocol/tarn_reply_pages.h"
#include "device_file.h"
#include "tarn_exchange.h"
#include "tarnsim_process.h"
#include "udp_peer.h"

namespace {

using namespace std::chrono_literals;
using objscope::TarnAddress;
using tarnsim_test::datagramOf;
using tarnsim_test::kRequester;
using tarnsim_test::Parsed;
using testing_support::loopback;
using testing_support::TarnsimProcess;
using testing_support::UdpPeer;

constexpr uint8_t kDeviceNode = 2;
constexpr uint16_t kDeviceNumber = 7;

// A device with long object names and an object with many long texts, so
// that listings need several pages by their size in bytes.
std::string pagingDeviceText() {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "object " + std::to_string(100 + i) + " class 52\n  prop 2 String \"" +
                std::string(90, static_cast<char>('A' + i % 26)) + "\"\n  prop 4096 dB1 0\n";
    text += "object 200 class 4000\n";
    for (int p = 0; p < 30; ++p)
        text +=
            "  prop " + std::to_string(3072 + p) + " String \"" + std::string(100, 'p') + "\"\n";
    return text;
}

class TarnsimUdpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        port = testing_support::freeUdpPort();
        deviceFile =
            std::filesystem::temp_directory_path() /
            ("tarnsim_test_" + std::to_string(getpid()) + "_" + std::to_string(port) + ".tdev");
        std::ofstream(deviceFile) << pagingDeviceText();
    }
    void TearDown() override {
        std::filesystem::remove(deviceFile);
        std::filesystem::remove(savedFile());
    }
    std::filesystem::path savedFile() const { return deviceFile.string() + ".saved"; }

    std::unique_ptr<TarnsimProcess> start(std::vector<std::string> extra = {}) {
        std::vector<std::string> args{
            "--listen",
            "127.0.0." + std::to_string(kDeviceNode) + ":" + std::to_string(port),
            "--device-number",
            std::to_string(kDeviceNumber),
            "--load",
            deviceFile.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        auto process = std::make_unique<TarnsimProcess>(testing_support::tarnsimPath(), args);
        EXPECT_TRUE(process->ready()) << process->output();
        return process;
    }

    std::optional<Parsed> exchange(const UdpPeer& peer, const objscope::TarnRequest& request,
                                   uint16_t number, std::chrono::milliseconds wait = 2000ms) {
        EXPECT_TRUE(peer.sendTo(loopback(kDeviceNode), port, datagramOf(request, number)));
        auto received = peer.receive(wait);
        if (!received)
            return std::nullopt;
        EXPECT_EQ(received->source, loopback(kDeviceNode));
        return tarnsim_test::parse(received->bytes);
    }

    TarnAddress target(uint16_t object) const { return {0, kDeviceNumber, object}; }

    uint16_t port = 0;
    std::filesystem::path deviceFile;
};

TEST_F(TarnsimUdpTest, AnswersAGetToTheRequesterAtItsOwnPort) {
    auto process = start();
    UdpPeer requester(loopback(1), port);
    ASSERT_TRUE(requester.bound());
    auto reply = exchange(requester, *objscope::buildGet(kRequester, target(105), 2, 90), 0x8123);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->datagram.objectId, objscope::kTarnObjectId);
    EXPECT_EQ(reply->datagram.messageId, 0x8001) << "TarnGet with the response bit";
    EXPECT_EQ(reply->datagram.messageNumber, 0x8123);
    EXPECT_EQ(reply->tarn.Status, 0);
    EXPECT_EQ(reply->tarn.Mode, 0);
    EXPECT_EQ(reply->tarn.Dest_Net, kRequester.net);
    EXPECT_EQ(reply->tarn.Dest_Dev, kRequester.sourceId);
    EXPECT_EQ(reply->tarn.Dest_Obj, static_cast<uint16_t>(objscope::MessageKind::Get));
    EXPECT_EQ(reply->tarn.Src_Net, 0);
    EXPECT_EQ(reply->tarn.Src_Dev, kDeviceNumber);
    EXPECT_EQ(reply->tarn.Src_Obj, 105);
    auto item = objscope::decodeItemReply(reply->data);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->propertyId(), 2);
    EXPECT_EQ(item->headerLength, 3u);
    EXPECT_EQ(std::string(item->value.begin(), item->value.end()), std::string(90, 'F'));
}

TEST_F(TarnsimUdpTest, ListingsArePagedByBytes) {
    auto process = start();
    UdpPeer requester(loopback(1), port);
    std::vector<objscope::ObjectEntry> objects;
    std::vector<uint16_t> starts;
    uint16_t number = 0x8200;
    for (uint16_t start = 0; starts.size() < 20;) {
        starts.push_back(start);
        auto reply =
            exchange(requester, objscope::buildGetAllObjsPlus(kRequester, 0, kDeviceNumber, start),
                     number++);
        ASSERT_TRUE(reply);
        EXPECT_LE(reply->data.size() + 9, objscope::kMaxDatagramBytes);
        auto page = objscope::decodeObjectPlusListing(reply->data);
        EXPECT_FALSE(page.cutShort());
        objects.insert(objects.end(), page.entries.begin(), page.entries.end());
        if (!page.partial)
            break;
        start = *objscope::nextPageStart(start, page.entries.size());
    }
    EXPECT_GE(starts.size(), 3u) << "42 entries of about 95 bytes need several datagrams";
    ASSERT_EQ(objects.size(), 42u);
    EXPECT_EQ(objects[0].objectHandle, 0) << "the listing starts with the device itself";
    for (size_t i = 0; i < 40; ++i) {
        EXPECT_EQ(objects[i + 1].objectHandle, 100 + i);
        EXPECT_EQ(objects[i + 1].classId, 52);
        EXPECT_EQ(objects[i + 1].name, std::string(90, static_cast<char>('A' + i % 26)));
    }

    std::vector<uint16_t> ids;
    for (uint16_t start = 0; ids.size() < 200;) {
        auto reply = exchange(requester, objscope::buildGetAllProps(kRequester, target(200), start),
                              number++);
        ASSERT_TRUE(reply);
        EXPECT_LE(reply->data.size() + 9, objscope::kMaxDatagramBytes);
        auto page = objscope::decodePropertyListing(reply->data);
        for (const auto& entry : page.entries)
            ids.push_back(entry.item.propertyId());
        if (!page.partial)
            break;
        start = *objscope::nextPageStart(start, page.entries.size());
    }
    ASSERT_EQ(ids.size(), 7u + 30u);
    EXPECT_EQ(ids.front(), 0);
    EXPECT_EQ(ids.back(), 3072 + 29);
}

TEST_F(TarnsimUdpTest, SetByAnotherClientNotifiesTheRegistration) {
    auto process = start();
    UdpPeer watcher(loopback(1), port);
    UdpPeer other(loopback(3), port);
    ASSERT_TRUE(other.bound());
    const uint16_t registration = 12;
    auto reg = *objscope::buildRegistration(kRequester, target(101), registration, {4096, 131, 1});
    auto confirmed = exchange(watcher, reg, 0x8300);
    ASSERT_TRUE(confirmed);
    EXPECT_EQ(confirmed->status(), 0);

    std::vector<uint16_t> numbers;
    for (uint8_t raw : {180, 160}) {
        objscope::TarnRequester someoneElse{0, 0x8011};
        auto set = *objscope::buildSet(someoneElse, target(101), true,
                                       objscope::encodeItem(4096, std::vector<uint8_t>{raw}));
        auto setReply = exchange(other, set, static_cast<uint16_t>(0x8400 + raw));
        ASSERT_TRUE(setReply);
        EXPECT_EQ(setReply->status(), 0);

        auto received = watcher.receive(2000ms);
        ASSERT_TRUE(received);
        auto note = tarnsim_test::parse(received->bytes);
        ASSERT_TRUE(note);
        EXPECT_EQ(note->datagram.objectId, objscope::kTarnObjectId);
        EXPECT_EQ(note->datagram.messageId & 0x8000, 0) << "not a reply";
        EXPECT_EQ(note->tarn.Dest_Net, kRequester.net);
        EXPECT_EQ(note->tarn.Dest_Dev, kRequester.sourceId);
        EXPECT_EQ(note->tarn.Dest_Obj, registration);
        EXPECT_EQ(note->tarn.Src_Dev, kDeviceNumber);
        EXPECT_EQ(note->tarn.Src_Obj, 101);
        auto item = objscope::decodeItemReply(note->data);
        ASSERT_TRUE(item);
        EXPECT_EQ(item->propertyId(), 4096);
        EXPECT_EQ(std::vector<uint8_t>(item->value.begin(), item->value.end()),
                  std::vector<uint8_t>{raw});
        numbers.push_back(note->datagram.messageNumber);
    }
    EXPECT_NE(numbers[0], numbers[1]) << "each notification has a fresh message number";

    // Setting the same value again changes nothing and notifies nobody.
    objscope::TarnRequester someoneElse{0, 0x8011};
    auto same = *objscope::buildSet(someoneElse, target(101), false,
                                    objscope::encodeItem(4096, std::vector<uint8_t>{160}));
    other.sendTo(loopback(kDeviceNode), port, datagramOf(same, 0x8500));
    EXPECT_FALSE(watcher.receive(300ms));

    // After cancelling, a change is no longer reported.
    TarnAddress source{kRequester.net, kRequester.sourceId, registration};
    auto cancel = objscope::buildUnregister(kRequester, target(101), source);
    auto cancelled = exchange(watcher, cancel, 0x8501);
    ASSERT_TRUE(cancelled);
    EXPECT_EQ(cancelled->status(), 0);
    auto set = *objscope::buildSet(someoneElse, target(101), false,
                                   objscope::encodeItem(4096, std::vector<uint8_t>{150}));
    other.sendTo(loopback(kDeviceNode), port, datagramOf(set, 0x8502));
    EXPECT_FALSE(watcher.receive(300ms));
}

TEST_F(TarnsimUdpTest, DropsEveryNthReplyAndDelaysReplies) {
    {
        auto process = start({"--drop-every", "2"});
        UdpPeer requester(loopback(1), port);
        auto get = *objscope::buildGet(kRequester, target(100), 4096, 1);
        EXPECT_TRUE(exchange(requester, get, 0x8601));
        EXPECT_FALSE(exchange(requester, get, 0x8602, 500ms)) << "the second reply is lost";
        auto third = exchange(requester, get, 0x8603);
        ASSERT_TRUE(third);
        EXPECT_EQ(third->datagram.messageNumber, 0x8603);
    }
    {
        auto process = start({"--delay-ms", "400"});
        UdpPeer requester(loopback(1), port);
        auto get = *objscope::buildGet(kRequester, target(100), 4096, 1);
        requester.sendTo(loopback(kDeviceNode), port, datagramOf(get, 0x8604));
        EXPECT_FALSE(requester.receive(150ms)) << "not before its delay";
        auto late = requester.receive(3000ms);
        ASSERT_TRUE(late);
        EXPECT_EQ(tarnsim_test::parse(late->bytes)->datagram.messageNumber, 0x8604);
    }
}

TEST_F(TarnsimUdpTest, SavesItsContentsWhenStopped) {
    auto process = start({"--save", savedFile().string()});
    UdpPeer requester(loopback(1), port);
    auto set = *objscope::buildSet(kRequester, target(100), true,
                                   objscope::encodeItem(4096, std::vector<uint8_t>{193}));
    auto reply = exchange(requester, set, 0x8701);
    ASSERT_TRUE(reply);
    EXPECT_EQ(process->stop(), 0);
    auto saved = tarnsim::loadDeviceFile(savedFile().string());
    EXPECT_EQ(saved.find(100)->find(4096)->value, std::vector<uint8_t>{193});
}

TEST_F(TarnsimUdpTest, ServesOneDevicePerAddressWithItsOwnNumber) {
    auto process =
        start({"--listen", "127.0.0.3:" + std::to_string(port), "--save", savedFile().string()});
    UdpPeer requester(loopback(1), port);
    auto get = *objscope::buildGet(kRequester, target(100), 4096, 1);
    auto first = exchange(requester, get, 0x8801);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->tarn.Src_Dev, kDeviceNumber);

    objscope::TarnAddress second{0, kDeviceNumber + 1, 100};
    auto set = *objscope::buildSet(kRequester, second, true,
                                   objscope::encodeItem(4096, std::vector<uint8_t>{150}));
    requester.sendTo(loopback(3), port, datagramOf(set, 0x8802));
    auto reply = requester.receive(2000ms);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->source, loopback(3));
    auto parsed = tarnsim_test::parse(reply->bytes);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->tarn.Src_Dev, kDeviceNumber + 1);
    EXPECT_EQ(parsed->status(), 0);

    // Each device keeps its own contents, and each is saved.
    EXPECT_EQ(process->stop(), 0);
    auto firstSaved = tarnsim::loadDeviceFile(savedFile().string());
    auto secondSaved = tarnsim::loadDeviceFile(savedFile().string() + ".2");
    std::filesystem::remove(savedFile().string() + ".2");
    EXPECT_EQ(firstSaved.find(100)->find(4096)->value, std::vector<uint8_t>{200});
    EXPECT_EQ(secondSaved.find(100)->find(4096)->value, std::vector<uint8_t>{150});
}

TEST_F(TarnsimUdpTest, RefusesABadDeviceFileWithItsLine) {
    std::ofstream(deviceFile) << "object 5 class 52\n  prop 4096 dB1 99\n";
    TarnsimProcess process(
        testing_support::tarnsimPath(),
        {"--listen", "127.0.0.2:" + std::to_string(port), "--load", deviceFile.string()});
    EXPECT_FALSE(process.ready());
    EXPECT_EQ(process.stop(), 1);
    EXPECT_NE(process.output().find(deviceFile.string() + ":2: "), std::string::npos)
        << process.output();
}

}  // namespace
