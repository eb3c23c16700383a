// Synchronous requests: answered, timed out, too long, broadcast, time-out
// 0, the caller's messages during the wait, a quit request, and the CPU a
// waiting thread uses.
#include <signal.h>
#include <sys/resource.h>

#include <cstring>

#include "objlink_session.h"

namespace objlink_testing {
namespace {

TEST_F(ObjlinkSession, SyncRequestIsAnsweredAndTheDatagramIsBuiltAsDocumented) {
    std::thread device([&] {
        auto request = device_->next();
        ASSERT_TRUE(request);
        EXPECT_EQ(request->object, 0x0102);
        EXPECT_EQ(request->message, 5);
        EXPECT_EQ(request->data, (std::vector<uint8_t>{0xAA, 0xBB}));
        device_->respond(*request, {0x00, 0x11, 0x22});
    });
    std::vector<uint8_t> data = {0xAA, 0xBB};
    VEKMessage_t m = message(0x0102, 5, data);
    ResponseBuffer<16> response;
    int32_t number = SendVEKMessage(registration_, 2000, &m, &response.record);
    device.join();

    EXPECT_GE(number, 0x8000);
    EXPECT_EQ(PACKED(response.record.Status), MessageResponseSuccess);
    EXPECT_EQ(PACKED(response.record.ObjectID), 0x0102);
    EXPECT_EQ(PACKED(response.record.MessageID), 5);
    EXPECT_EQ(PACKED(response.record.MessageNumber), number);
    EXPECT_EQ(response.data(), (std::vector<uint8_t>{0x00, 0x11, 0x22}));
    EXPECT_EQ(PACKED(response.record.Address.AddressType), FullAddress);
    EXPECT_EQ(PACKED(response.record.Address.Address), kDevice);
}

// Counts what the calling thread's window receives while it waits.
struct BusyWindow {
    BusyWindow() {
        hwnd = plat::createWindow([this](plat::Message& m) {
            if (m.msg == plat::kMsgTimer) {
                ++ticks;
            }
            return int64_t{0};
        });
        plat::setTimer(hwnd, 1, 50);
    }
    ~BusyWindow() { plat::destroyWindow(hwnd); }
    plat::Hwnd hwnd;
    int ticks = 0;
};

// Without a message number (the server does not answer; stopped here) no
// message goes out and the send reports -7, also after the server resumed.
TEST_F(ObjlinkSession, SendWithoutAMessageNumberFailsAsNotSent) {
    pid_t server = serverChildPid();
    ASSERT_GT(server, 0);
    std::vector<uint8_t> data{1};
    VEKMessage_t m = message(7, 1, data);
    ResponseBuffer<8> response;
    ASSERT_EQ(::kill(server, SIGSTOP), 0);
    int32_t result = SendVEKMessage(registration_, 0, &m, &response.record);
    ::kill(server, SIGCONT);
    EXPECT_EQ(result, VEKNET_ERR_NOT_SENT);
    EXPECT_EQ(response.record.Status, MessageFailure);  // untouched
    EXPECT_FALSE(device_->next(300ms));
}

TEST_F(ObjlinkSession, SyncTimeOutComesAfterTheTimeOutWhileTheThreadKeepsDispatching) {
    BusyWindow window;
    std::vector<uint8_t> data = {1};
    VEKMessage_t m = message(9, 3, data);
    ResponseBuffer<8> response;
    auto start = std::chrono::steady_clock::now();
    int32_t number = SendVEKMessage(registration_, 600, &m, &response.record);
    int64_t elapsed = msSince(start);

    EXPECT_GE(number, 0x8000);
    EXPECT_GE(elapsed, 600);
    EXPECT_LT(elapsed, 10000);
    EXPECT_GE(window.ticks, 3) << "the window's timer was not dispatched during the wait";
    EXPECT_EQ(PACKED(response.record.Status), MessageResponseTimeOut);
    EXPECT_EQ(PACKED(response.record.ObjectID), 9);
    EXPECT_EQ(PACKED(response.record.MessageID), 3);
    EXPECT_EQ(PACKED(response.record.MessageNumber), number);
    EXPECT_EQ(PACKED(response.record.DataLength), 0);
    EXPECT_EQ(PACKED(response.record.Address.Address), kDevice);
    // The device got the request all the same.
    EXPECT_TRUE(device_->next(1s));
}

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

TEST_F(ObjlinkSession, WaitingForASilentDeviceUsesAlmostNoCpu) {
    std::vector<uint8_t> data;
    VEKMessage_t m = message(9, 3, data);
    ResponseBuffer<8> response;
    double before = cpuSeconds();
    auto start = std::chrono::steady_clock::now();
    SendVEKMessage(registration_, 2000, &m, &response.record);
    double wall = static_cast<double>(msSince(start)) / 1000.0;
    double used = cpuSeconds() - before;

    EXPECT_EQ(PACKED(response.record.Status), MessageResponseTimeOut);
    EXPECT_GE(wall, 2.0);
    // The whole process (waiting thread and library thread): well under 10 %.
    EXPECT_LT(used, 0.1 * wall) << used << " s of CPU in " << wall << " s";
}

TEST_F(ObjlinkSession, ResponseLongerThanTheBufferFailsAndFillsOnlyTheBuffer) {
    std::thread device([&] {
        auto request = device_->next();
        ASSERT_TRUE(request);
        device_->respond(*request, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    });
    std::vector<uint8_t> data;
    VEKMessage_t m = message(4, 1, data);
    ResponseBuffer<4> response;
    SendVEKMessage(registration_, 2000, &m, &response.record);
    device.join();

    EXPECT_EQ(PACKED(response.record.Status), MessageResponseFailure);
    EXPECT_EQ(PACKED(response.record.DataLength), 10);
    EXPECT_EQ(std::vector<uint8_t>(response.bytes.begin(), response.bytes.begin() + 4),
              (std::vector<uint8_t>{0, 1, 2, 3}));
    EXPECT_TRUE(response.guardsIntact());
}

TEST_F(ObjlinkSession, BroadcastNodeAddressIsNeverMatchedAndTimesOut) {
    // With the own address 127.0.0.1, node 255 composes 127.0.0.255: loopback.
    std::vector<uint8_t> data;
    VEKMessage_t m = message(4, 1, data, VEKAddress_t{Node, 255});
    ResponseBuffer<8> response;
    int32_t number = SendVEKMessage(registration_, 300, &m, &response.record);

    EXPECT_GE(number, 0x8000);
    EXPECT_EQ(PACKED(response.record.Status), MessageResponseTimeOut);
    EXPECT_EQ(PACKED(response.record.Address.AddressType), Node);
    EXPECT_EQ(PACKED(response.record.Address.Address), 0x7F0000FFu);
}

TEST_F(ObjlinkSession, TimeOutZeroReturnsAtOnceAndLeavesTheRecordAlone) {
    std::vector<uint8_t> data = {7};
    VEKMessage_t m = message(4, 1, data);
    ResponseBuffer<8> response;
    VEKMessageResponse_t before = response.record;
    int32_t number = SendVEKMessage(registration_, 0, &m, &response.record);
    EXPECT_GE(number, 0x8000);
    EXPECT_EQ(std::memcmp(&before, &response.record, sizeof before), 0);
    auto request = device_->next();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->number, number);
    // Without time-out no record is needed at all.
    EXPECT_GE(SendVEKMessage(registration_, 0, &m, nullptr), 0x8000);
}

// Every address type composes 127.0.0.2 from the own address 127.0.0.1.
TEST_F(ObjlinkSession, EveryAddressTypeReachesTheDevice) {
    const VEKAddress_t addresses[] = {
        {Node, 0x02},
        {SubGroupNode, 0x0002},
        {GroupSubGroupNode, 0x000002},
        {NetworkGroupSubGroupNode, 0x7F000002},
        {FullAddress, 0x7F000002},
        // Octets above those the type uses are taken from the own address.
        {Node, 0xAABBCC02},
    };
    for (const VEKAddress_t& address : addresses) {
        SCOPED_TRACE(::testing::Message() << "type " << PACKED(address.AddressType));
        std::vector<uint8_t> data;
        VEKMessage_t m = message(4, 1, data, address);
        int32_t number = SendVEKMessage(registration_, 0, &m, nullptr);
        ASSERT_GE(number, 0x8000);
        auto request = device_->next();
        ASSERT_TRUE(request);
        EXPECT_EQ(request->number, number);
    }
}

TEST_F(ObjlinkSession, QuitRequestEndsTheWaitAndStaysQueued) {
    plat::Hwnd window = plat::createWindow([](plat::Message& m) {
        if (m.msg == plat::kMsgTimer) {
            plat::postQuitMessage(7);
        }
        return int64_t{0};
    });
    plat::setTimer(window, 1, 200);
    std::vector<uint8_t> data;
    VEKMessage_t m = message(4, 1, data);
    ResponseBuffer<8> response;
    auto start = std::chrono::steady_clock::now();
    int32_t number = SendVEKMessage(registration_, 10000, &m, &response.record);
    EXPECT_LT(msSince(start), 5000);
    plat::killTimer(window, 1);
    EXPECT_GE(number, 0x8000);
    EXPECT_EQ(PACKED(response.record.Status), MessageResponseTimeOut);

    // A late response is not written into the record any more.
    auto request = device_->next();
    ASSERT_TRUE(request);
    device_->respond(*request, {1, 2, 3});
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(PACKED(response.record.Status), MessageResponseTimeOut);
    EXPECT_EQ(PACKED(response.record.DataLength), 0);

    plat::Message next;
    ASSERT_TRUE(plat::peekMessage(next));
    EXPECT_EQ(next.msg, plat::kMsgQuit);
    EXPECT_EQ(next.wParam, 7u);
    plat::destroyWindow(window);
}

}  // namespace
}  // namespace objlink_testing
