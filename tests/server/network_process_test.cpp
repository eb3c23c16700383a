// The network of the real hubserver: pacing measured at a device on
// 127.0.0.2, and the trace in its debug log byte for byte, switched by
// "MessagesOut" and the command words.
#include <gtest/gtest.h>

#include <sstream>

#include "ipc_test_support.h"
#include "wire/hexdump.h"
#include "wire/ipc.h"

namespace {

using namespace testing_support;
using std::chrono::milliseconds;

constexpr uint32_t kDevice = 0x7F000002;  // 127.0.0.2

class NetworkProcessTest : public ::testing::Test {
  protected:
    void TearDown() override {
        client_.reset();
        plat::shutdownThreadLoop();
        killIfRunning(server_);
    }

    // Starts hubserver on free ports with these extra settings, registers a
    // client and binds the device beside the server.
    void startServer(const std::string& settings) {
        recvPort_ = freeUdpPort();
        std::ostringstream ini;
        ini << "[VEK BASE 32]\nSendSocketPort=" << freeUdpPort() << "\nRecvSocketPort=" << recvPort_
            << "\nVEKBaseAddress=127.0.0.1\nAutoShutdown=0\n"
            << settings;
        dirs_.writeMainIni(ini.str());
        server_ = startHubserver({}, dirs_.root() + "/server.err");
        ASSERT_GT(server_, 0);
        ASSERT_TRUE(waitForText(dirs_.log(), kRunningLine)) << readFile(dirs_.log());
        client_ = std::make_unique<TestClient>();
        clientID_ = static_cast<int32_t>(client_->registerWin32());
        ASSERT_GT(clientID_, 0);
        device_ = std::make_unique<UdpPeer>(kDevice, recvPort_);
        ASSERT_TRUE(device_->bound());
    }

    // The log after the "Running" line, time stamps masked.
    std::string logAfterStart() const {
        std::string log = stampsMasked(readFile(dirs_.log()));
        size_t at = log.find(kRunningLine);
        return at == std::string::npos ? log : log.substr(at + kRunningLine.size());
    }

    void deviceSends(const std::vector<uint8_t>& bytes) const {
        ASSERT_TRUE(device_->sendTo(0x7F000001, recvPort_, bytes));
    }

    PrivateDirs dirs_;
    pid_t server_ = -1;
    uint16_t recvPort_ = 0;
    std::unique_ptr<TestClient> client_;
    int32_t clientID_ = 0;
    std::unique_ptr<UdpPeer> device_;
};

std::string trace(const std::string& headline, const char* address,
                  const std::vector<uint8_t>& bytes) {
    return "[TS]\nMessage " + headline + " :\nAddress: " + address +
           "\nLength: " + std::to_string(bytes.size()) + "\nData:\n" + wire::hexDump(bytes);
}

TEST_F(NetworkProcessTest, SendsLeaveAtLeastTheDelayApart) {
    startServer("MessageDelayTime=200\n");
    ASSERT_TRUE(device_->awaitArrivalStamps(kDevice, recvPort_));
    std::vector<uint8_t> first = datagram(0xFF00, 1, 0x8000);
    std::vector<uint8_t> second = datagram(0xFF00, 1, 0x8001);
    EXPECT_EQ(client_->sendDatagram(clientID_, kDevice, first), 9);
    EXPECT_EQ(client_->sendDatagram(clientID_, kDevice, second), 9);
    auto a = device_->receive(milliseconds(5000));
    auto b = device_->receive(milliseconds(5000));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->bytes, first);
    EXPECT_EQ(b->bytes, second);
    EXPECT_GE(b->arrival - a->arrival, milliseconds(200));
}

TEST_F(NetworkProcessTest, TraceOfSentReceivedAndDiscardedMessages) {
    startServer("MessageDelayTime=0\nMessagesOut=1\n");
    std::vector<uint8_t> request = datagram(0x0102, 5, 0x8001, {0xAA, 0xBB});
    EXPECT_EQ(client_->sendDatagram(clientID_, kDevice, request), 11);
    ASSERT_TRUE(device_->receive(milliseconds(5000)));

    std::vector<uint8_t> reply = datagram(0x0102, 0x8005, 0x8001, {0x00});
    std::vector<uint8_t> badMagic = datagram(1, 1, 1, std::vector<uint8_t>(11, 'x'));
    badMagic[2] = 'k';
    deviceSends({'V', 'E', 'K', 0, 0});  // too short: no trace at all
    deviceSends(badMagic);
    deviceSends(reply);
    deviceSends(reply);
    ASSERT_TRUE(waitForText(dirs_.log(), "Message Discarded", 2));
    EXPECT_EQ(logAfterStart(), trace("Sent Successfully", "127.0.0.2", request) +
                                   trace("Discarded", "127.0.0.2", badMagic) +
                                   trace("Received", "127.0.0.2", reply) +
                                   trace("Discarded", "127.0.0.2", reply));
}

TEST_F(NetworkProcessTest, CommandWordsSwitchTheTrace) {
    startServer("MessageDelayTime=0\n");
    std::vector<uint8_t> quiet = datagram(1, 1, 0x8000);
    std::vector<uint8_t> traced = datagram(1, 1, 0x8001);
    std::vector<uint8_t> quietAgain = datagram(1, 1, 0x8002);
    client_->subscribe(clientID_, wire::kNetMonitor);
    deviceSends(quiet);
    ASSERT_TRUE(client_->waitFor(wire::kMsgNetData));
    EXPECT_EQ(runHubserver({"DEBUG_ON"}), 0);
    // A request after the post shows it was handled (the window handles its
    // messages in order).
    client_->request(wire::kReqGetAddress, 0, 0);
    deviceSends(traced);
    ASSERT_TRUE(client_->waitFor(wire::kMsgNetData));
    EXPECT_EQ(runHubserver({"DEBUG_OFF"}), 0);
    client_->request(wire::kReqGetAddress, 0, 0);
    deviceSends(quietAgain);
    ASSERT_TRUE(client_->waitFor(wire::kMsgNetData));
    EXPECT_EQ(logAfterStart(), trace("Received", "127.0.0.2", traced));
}

}  // namespace
