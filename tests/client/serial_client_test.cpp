// The serial-port exports against the real hubserver, with a pseudo-terminal
// mapped as "COM4": receivers (callback and window), writes, refusals,
// closing, sharing between two registrations and cleanup.
#include <gtest/gtest.h>

#include <array>

#include "../server/pty_device.h"
#include "platform/window.h"
#include "session_fixture.h"

namespace client_testing {
namespace {

using testing_support::PtyDevice;

constexpr uint32_t kPort = 4;
constexpr COMM_INFORMATION k9600N81{9600, 8, one_stop_bit, no_parity, 0, 0};
constexpr COMM_INFORMATION kShared9600{9600, 8, one_stop_bit, no_parity, 1, 0};

// Receivers by callback parameter.
std::array<Recorder, 2> gReceived;

void recordData(uint32_t parameter, COMM_DATA* data) {
    gReceived.at(parameter).add(Delivery{
        data->CommID, std::vector<uint8_t>(data->DataBuffer, data->DataBuffer + data->Length),
        parameter});
}

std::vector<uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

class SerialClientTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(device_.ok());
        for (Recorder& r : gReceived) {
            r.clear();
        }
        writeServerSettings("[COM Ports]\nCOM4=" + device_.slavePath() + "\n");
        registration_ = VEKBaseStartup();
        ASSERT_GE(registration_, 1);
    }
    void TearDown() override {
        VEKBaseCleanup(registration_);
        EXPECT_TRUE(waitUntil([] { return !serverTitleExists(); }));
    }

    int32_t write(int32_t registration, int32_t port, const std::string& text) {
        std::vector<uint8_t> bytes = bytesOf(text);
        COMM_DATA data{static_cast<uint32_t>(port), static_cast<uint32_t>(bytes.size()),
                       bytes.data()};
        return SendCommData(registration, &data);
    }

    PtyDevice device_;
    int32_t registration_ = 0;
};

TEST_F(SerialClientTest, CallbackGetsTheDataAndWritesReachTheDevice) {
    int32_t port = OpenCommPort_CB(registration_, kPort, &k9600N81, recordData, 1);
    ASSERT_GE(port, 1);
    ASSERT_TRUE(device_.send("ping"));
    ASSERT_TRUE(gReceived[1].waitFor(1));
    Delivery d = gReceived[1].items()[0];
    EXPECT_EQ(d.address, static_cast<uint32_t>(port));
    EXPECT_EQ(d.bytes, bytesOf("ping"));

    EXPECT_EQ(write(registration_, port, "pong"), 4);
    EXPECT_EQ(device_.receive(4), "pong");
    COMM_DATA empty{static_cast<uint32_t>(port), 0, nullptr};
    EXPECT_EQ(SendCommData(registration_, &empty), VEK_ERR_COMM_DATA);
    EXPECT_EQ(SendCommData(registration_, nullptr), VEK_ERR_COMM_DATA);
}

TEST_F(SerialClientTest, WindowIsSentTheDataWithThePortId) {
    constexpr uint32_t kMessage = 0x8400;
    uint64_t portSeen = 0;
    std::string textSeen;
    plat::Hwnd window = plat::createWindow([&](plat::Message& m) -> int64_t {
        if (m.msg == kMessage) {
            auto* data = reinterpret_cast<const COMM_DATA*>(m.lParam);
            portSeen = m.wParam;
            textSeen.assign(data->DataBuffer, data->DataBuffer + data->Length);
        }
        return 0;
    });
    int32_t port = OpenCommPort_Window(registration_, kPort, &k9600N81, window, kMessage);
    ASSERT_GE(port, 1);
    ASSERT_TRUE(device_.send("to a window"));
    auto deadline = std::chrono::steady_clock::now() + kLiveness;
    while (textSeen.size() < 11 && std::chrono::steady_clock::now() < deadline) {
        plat::waitForMessage(std::chrono::milliseconds(50));
        plat::Message m;
        while (plat::peekMessage(m)) {
            plat::dispatchMessage(m);
        }
    }
    EXPECT_EQ(portSeen, static_cast<uint64_t>(port));
    EXPECT_EQ(textSeen, "to a window");
    plat::destroyWindow(window);
}

TEST_F(SerialClientTest, RefusalsAndUnknownRegistrations) {
    COMM_INFORMATION badParity = k9600N81;
    badParity.Parity = 7;
    COMM_INFORMATION badStopBits = k9600N81;
    badStopBits.StopBits = 3;
    EXPECT_EQ(OpenCommPort_CB(registration_, kPort, &badParity, recordData, 0), VEK_ERR_BAD_ARG);
    EXPECT_EQ(OpenCommPort_CB(registration_, kPort, &badStopBits, recordData, 0), VEK_ERR_BAD_ARG);
    EXPECT_EQ(OpenCommPort_CB(registration_, kPort, nullptr, recordData, 0), VEK_ERR_BAD_ARG);
    EXPECT_EQ(OpenCommPort_CB(registration_, kPort, &k9600N81, nullptr, 0), VEK_ERR_BAD_ARG);

    int32_t unknown = registration_ + 100;
    EXPECT_EQ(OpenCommPort_CB(unknown, kPort, &k9600N81, recordData, 0), VEK_ERR_NOT_REGISTERED);
    EXPECT_EQ(OpenCommPort_Window(unknown, kPort, &k9600N81, 1, 1), VEK_ERR_NOT_REGISTERED);
    EXPECT_EQ(CloseCommPort(unknown, 1), VEK_ERR_NOT_REGISTERED);
    EXPECT_EQ(write(unknown, 1, "x"), VEK_ERR_NOT_REGISTERED);

    // The refusals left nothing open: the device is free.
    int32_t port = OpenCommPort_CB(registration_, kPort, &k9600N81, recordData, 0);
    EXPECT_EQ(port, 1);
}

TEST_F(SerialClientTest, ClosingTwiceGivesOneThenZero) {
    int32_t port = OpenCommPort_CB(registration_, kPort, &k9600N81, recordData, 0);
    ASSERT_GE(port, 1);
    EXPECT_EQ(CloseCommPort(registration_, port), 1);
    EXPECT_TRUE(device_.waitUntilClosedBySlave());
    EXPECT_EQ(CloseCommPort(registration_, port), 0);
}

TEST_F(SerialClientTest, TwoSharingRegistrationsBothReceive) {
    int32_t second = VEKBaseStartup();
    ASSERT_GE(second, 1);
    int32_t first = OpenCommPort_CB(registration_, kPort, &kShared9600, recordData, 0);
    int32_t other = OpenCommPort_CB(second, kPort, &kShared9600, recordData, 1);
    ASSERT_GE(first, 1);
    ASSERT_GE(other, 1);
    EXPECT_NE(first, other);
    EXPECT_EQ(OpenCommPort_CB(second, kPort, &k9600N81, recordData, 1), VEK_ERR_BAD_ARG);

    ASSERT_TRUE(device_.send("shared"));
    ASSERT_TRUE(gReceived[0].waitFor(1));
    ASSERT_TRUE(gReceived[1].waitFor(1));
    EXPECT_EQ(gReceived[0].items()[0].address, static_cast<uint32_t>(first));
    EXPECT_EQ(gReceived[1].items()[0].address, static_cast<uint32_t>(other));
    EXPECT_EQ(gReceived[0].items()[0].bytes, bytesOf("shared"));
    EXPECT_EQ(gReceived[1].items()[0].bytes, bytesOf("shared"));

    // Cleanup of one registration closes its port only.
    VEKBaseCleanup(second);
    EXPECT_EQ(write(registration_, first, "left"), 4);
    EXPECT_EQ(device_.receive(4), "left");
    EXPECT_EQ(write(registration_, other, "gone"), 0);
}

TEST_F(SerialClientTest, CleanupClosesTheDevice) {
    int32_t second = VEKBaseStartup();
    ASSERT_GE(second, 1);
    ASSERT_GE(OpenCommPort_CB(second, kPort, &k9600N81, recordData, 1), 1);
    VEKBaseCleanup(second);
    EXPECT_TRUE(device_.waitUntilClosedBySlave());
}

}  // namespace
}  // namespace client_testing
