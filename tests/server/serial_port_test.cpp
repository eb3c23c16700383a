// The serial ports of the real hubserver on pseudo-terminals: opening with
// line settings, data in both directions, sharing rules, closing, closing on
// unregistration, writes held by XOFF and a device that disappears.
#include <gtest/gtest.h>
#include <termios.h>

#include <chrono>

#include "ipc_test_support.h"
#include "pty_device.h"
#include "serial_any_speed.h"
#include "wire/datagram.h"
#include "wire/ipc.h"

namespace {

using namespace testing_support;
using std::chrono::milliseconds;

constexpr uint32_t kPort = 3;  // "COM3", mapped to the pseudo-terminal

struct LineRequest {
    uint32_t port = kPort;
    uint32_t baud = 9600;
    uint32_t dataBits = 8;
    uint32_t stopBits = 0;
    uint32_t parity = 0;
    uint32_t shareable = 0;
    uint32_t xonXoff = 0;
};

std::vector<uint8_t> openPayload(const LineRequest& r) {
    std::vector<uint8_t> out(sizeof(_CommRegInfo));
    uint32_t fields[] = {r.port, r.baud, r.dataBits, r.stopBits, r.parity, r.shareable, r.xonXoff};
    for (size_t i = 0; i < 7; ++i) {
        wire::writeLe32(out.data() + 4 * i, fields[i]);
    }
    return out;
}

std::vector<uint8_t> writePayload(uint32_t portID, const std::string& text) {
    std::vector<uint8_t> out(8);
    wire::writeLe32(out.data(), portID);
    wire::writeLe32(out.data() + 4, static_cast<uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
    return out;
}

class SerialPortTest : public IpcServerTest {
  protected:
    void SetUp() override {
        // A loop an earlier test left on this thread listens in that test's
        // runtime folder, where this test's server cannot post to it.
        plat::shutdownThreadLoop();
        ASSERT_TRUE(device_.ok());
        extraIni_ = "[COM Ports]\nCOM3=" + device_.slavePath() + "\nCOM9=/nonexistent/tty\n";
        startServer();
    }

    int64_t open(TestClient& client, int32_t id, const LineRequest& request = {}) {
        return client
            .request(wire::kReqOpenComm, static_cast<uint32_t>(id), 0, openPayload(request))
            .value_or(-1000);
    }

    std::optional<int64_t> write(TestClient& client, int32_t id, int64_t portID,
                                 const std::string& text) {
        return client.request(wire::kReqWriteComm, static_cast<uint32_t>(id), 0,
                              writePayload(static_cast<uint32_t>(portID), text));
    }

    int64_t close(TestClient& client, int32_t id, int64_t portID) {
        return client.request(wire::kReqCloseComm, static_cast<uint32_t>(id), portID)
            .value_or(-1000);
    }

    // The next 2024 the client got: port ID and data, checked against its
    // record layout.
    std::optional<std::pair<uint32_t, std::string>> received(TestClient& client, int32_t id) {
        std::optional<ClientMessage> m = client.waitFor(wire::kMsgCommData);
        if (!m || m->wParam != static_cast<uint64_t>(id) || m->payload.size() < 8 ||
            wire::readLe32(m->payload.data() + 4) != m->payload.size() - 8) {
            return std::nullopt;
        }
        return std::make_pair(wire::readLe32(m->payload.data()),
                              std::string(m->payload.begin() + 8, m->payload.end()));
    }

    PtyDevice device_;
};

TEST_F(SerialPortTest, DataTravelsBothWays) {
    int32_t id = 0;
    TestClient& client = registeredClient(id);
    int64_t portID = open(client, id);
    EXPECT_EQ(portID, 1);

    ASSERT_TRUE(device_.send("hello"));
    auto data = received(client, id);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->first, 1u);
    EXPECT_EQ(data->second, "hello");

    // Bytes pass unchanged: no line-end or control character translation.
    std::string binary("a\r\nb\0\x7f\x03", 7);
    EXPECT_EQ(write(client, id, portID, binary), 7);
    EXPECT_EQ(device_.receive(7), binary);
    EXPECT_EQ(write(client, id, portID + 1, "x"), 0);  // no such port
}

struct RefusedCase {
    const char* what;
    LineRequest request;
};

class SerialRefusal : public SerialPortTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(SerialRefusal, IsAnsweredMinus9) {
    int32_t id = 0;
    TestClient& client = registeredClient(id);
    EXPECT_EQ(open(client, id, GetParam().request), wire::kResultBadRequest) << GetParam().what;
    // Nothing stays open: a proper request gets the first port ID.
    EXPECT_EQ(open(client, id), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, SerialRefusal,
    ::testing::Values(
        RefusedCase{"stop bits 3", {.stopBits = 3}}, RefusedCase{"parity 5", {.parity = 5}},
        RefusedCase{"port 0", {.port = 0}}, RefusedCase{"speed 0", {.baud = 0}},
        RefusedCase{"data bits 0", {.dataBits = 0}}, RefusedCase{"data bits 9", {.dataBits = 9}},
        RefusedCase{"one and a half stop bits, 8 data bits", {.stopBits = 1}},
        RefusedCase{"one and a half stop bits, 7 data bits", {.dataBits = 7, .stopBits = 1}},
        RefusedCase{"missing device", {.port = 9}}));

// Speeds outside the POSIX table reach the device as asked, and one and a
// half stop bits with 5-bit characters (a UART's two stop bits at 5 bits).
// A pseudo-terminal always keeps 8-bit characters, so only the speed and the
// stop-bit flag can be read back here.
TEST_F(SerialPortTest, AnySpeedAndOneAndAHalfStopBitsAtFiveBitsAreSet) {
    struct Case {
        LineRequest request;
        bool stopFlag;
    };
    const Case cases[] = {
        {{.baud = 14400}, false},
        {{.baud = 28800}, false},
        {{.baud = 56000}, false},
        {{.baud = 128000}, false},
        {{.baud = 256000}, false},
        {{.baud = 115200}, false},
        {{.baud = 14400, .dataBits = 5, .stopBits = 1}, true},
        {{.baud = 9600, .dataBits = 7, .stopBits = 2}, true},
    };
    int32_t id = 0;
    TestClient& client = registeredClient(id);
    for (const Case& c : cases) {
        int64_t portID = open(client, id, c.request);
        ASSERT_GE(portID, 1) << c.request.baud;
        EXPECT_EQ(hub::currentSpeed(device_.masterFd()), c.request.baud);
        termios t{};
        ASSERT_EQ(::tcgetattr(device_.masterFd(), &t), 0);
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.stopFlag) << c.request.baud;
        EXPECT_EQ(close(client, id, portID), 0);
    }
}

TEST_F(SerialPortTest, RequestsOfUnknownClientsOrCutShortAreRefused) {
    int32_t id = 0;
    TestClient& client = registeredClient(id);
    EXPECT_EQ(open(client, id + 5), wire::kResultBadRequest);
    std::vector<uint8_t> shortOpen = openPayload({});
    shortOpen.resize(20);
    EXPECT_EQ(client.request(wire::kReqOpenComm, id, 0, shortOpen), wire::kResultBadRequest);
    int64_t portID = open(client, id);
    ASSERT_GT(portID, 0);
    EXPECT_EQ(write(client, id + 5, portID, "abc"), 0);
    std::vector<uint8_t> longLength = writePayload(static_cast<uint32_t>(portID), "abc");
    wire::writeLe32(longLength.data() + 4, 4000);
    EXPECT_EQ(client.request(wire::kReqWriteComm, id, 0, longLength), 0);
}

TEST_F(SerialPortTest, SharingNeedsBothToAllowItAtTheSameSpeed) {
    int32_t a = 0;
    int32_t b = 0;
    TestClient& first = registeredClient(a);
    TestClient& second = registeredClient(b);
    ASSERT_EQ(open(first, a, {.shareable = 1}), 1);
    EXPECT_EQ(open(second, b), wire::kResultBadRequest);  // not shared
    EXPECT_EQ(open(second, b, {.baud = 19200, .shareable = 1}), wire::kResultBadRequest);
    int64_t shared = open(second, b, {.shareable = 1});
    EXPECT_EQ(shared, 2);

    ASSERT_TRUE(device_.send("both"));
    auto toFirst = received(first, a);
    auto toSecond = received(second, b);
    ASSERT_TRUE(toFirst && toSecond);
    EXPECT_EQ(*toFirst, std::make_pair(1u, std::string("both")));
    EXPECT_EQ(*toSecond, std::make_pair(2u, std::string("both")));

    // The device stays open while one entry uses it.
    EXPECT_EQ(close(first, a, 1), 0);
    EXPECT_EQ(write(second, b, shared, "still"), 5);
    EXPECT_EQ(device_.receive(5), "still");
}

TEST_F(SerialPortTest, ClosingTwiceGivesZeroThenOne) {
    int32_t id = 0;
    TestClient& client = registeredClient(id);
    int64_t portID = open(client, id);
    ASSERT_GT(portID, 0);
    EXPECT_EQ(close(client, id, portID), 0);
    EXPECT_TRUE(device_.waitUntilClosedBySlave());
    EXPECT_EQ(close(client, id, portID), 1);
    // Closed for good: the device opens again right away.
    EXPECT_EQ(open(client, id), portID + 1);
}

TEST_F(SerialPortTest, UnregistrationClosesTheClientsPorts) {
    int32_t id = 0;
    int32_t other = 0;
    TestClient& client = registeredClient(id);
    TestClient& second = registeredClient(other);
    ASSERT_GT(open(client, id), 0);
    client.unregister(id);
    EXPECT_TRUE(device_.waitUntilClosedBySlave());
    EXPECT_GT(open(second, other), 0);
}

TEST_F(SerialPortTest, WriteHeldByXoffEndsWithinItsBound) {
    int32_t id = 0;
    TestClient& client = registeredClient(id);
    int64_t portID = open(client, id, {.xonXoff = 1});
    ASSERT_GT(portID, 0);
    ASSERT_TRUE(device_.send(std::vector<uint8_t>{0x13}));  // XOFF
    std::this_thread::sleep_for(milliseconds(100));
    // The answer comes within the request's 2000 ms: not all bytes went out.
    std::optional<int64_t> held = write(client, id, portID, std::string(1000, 'h'));
    ASSERT_TRUE(held);
    EXPECT_LT(*held, 1000);
    ASSERT_TRUE(device_.send(std::vector<uint8_t>{0x11}));  // XON
    std::string drained = device_.receive(static_cast<size_t>(*held), milliseconds(2000));
    EXPECT_EQ(drained.size(), static_cast<size_t>(*held));
    EXPECT_EQ(write(client, id, portID, "go"), 2);
    EXPECT_EQ(device_.receive(2), "go");
}

TEST_F(SerialPortTest, DeviceThatDisappearsLeavesTheServerRunning) {
    int32_t id = 0;
    TestClient& client = registeredClient(id);
    int64_t portID = open(client, id);
    ASSERT_GT(portID, 0);
    device_.closeMaster();
    std::this_thread::sleep_for(milliseconds(200));
    EXPECT_EQ(write(client, id, portID, "lost"), 0);
    EXPECT_FALSE(client.waitFor(wire::kMsgCommData, milliseconds(200)));
    EXPECT_EQ(close(client, id, portID), 0);
    EXPECT_TRUE(client.versionText(id));
    EXPECT_TRUE(stillRunning(server_));
}

}  // namespace
