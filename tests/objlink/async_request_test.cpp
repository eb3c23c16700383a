// Asynchronous requests reported to a callback or a window; responses that
// must be dropped; cleanup with requests outstanding.
#include "objlink_session.h"

namespace objlink_testing {
namespace {

TEST_F(ObjlinkSession, CallbackGetsTheResponseOnTheLibraryThread) {
    Reports& reports = Reports::instance(1);
    device_->answerAll({0x42});
    std::vector<uint8_t> data = {1};
    VEKMessage_t m = message(3, 9, data);
    ResponseBuffer<8> response;
    int32_t number =
        AsyncSendVEKMessage_CB(registration_, 2000, &m, &response.record, &Reports::record, 1);
    ASSERT_GE(number, 0x8000);
    ASSERT_TRUE(reports.waitFor(1));
    Report r = reports.items()[0];
    EXPECT_EQ(r.parameter, 1u);
    EXPECT_EQ(r.pointer, &response.record);
    EXPECT_NE(r.thread, std::this_thread::get_id());
    EXPECT_EQ(PACKED(r.record.Status), MessageResponseSuccess);
    EXPECT_EQ(PACKED(r.record.MessageNumber), number);
    EXPECT_EQ(r.data, (std::vector<uint8_t>{0x42}));
}

TEST_F(ObjlinkSession, CallbackGetsTheTimeOut) {
    Reports& reports = Reports::instance(2);
    std::vector<uint8_t> data;
    VEKMessage_t m = message(3, 9, data);
    ResponseBuffer<8> response;
    auto start = std::chrono::steady_clock::now();
    int32_t number =
        AsyncSendVEKMessage_CB(registration_, 300, &m, &response.record, &Reports::record, 2);
    ASSERT_TRUE(reports.waitFor(1));
    EXPECT_GE(msSince(start), 300);
    EXPECT_EQ(PACKED(reports.items()[0].record.Status), MessageResponseTimeOut);
    EXPECT_EQ(PACKED(reports.items()[0].record.MessageNumber), number);
    std::this_thread::sleep_for(400ms);  // one-shot: no second report
    EXPECT_EQ(reports.size(), 1u);
}

// Responses arriving while (or before) the export is still returning: the
// request is listed before the datagram goes out, so every one is matched.
TEST_F(ObjlinkSession, ImmediateResponsesAreAllMatched) {
    Reports& reports = Reports::instance(3);
    device_->answerAll({});
    constexpr int kRequests = 20;
    std::vector<ResponseBuffer<4>> responses(kRequests);
    std::vector<uint8_t> data;
    VEKMessage_t m = message(3, 9, data);
    for (auto& response : responses) {
        ASSERT_GE(
            AsyncSendVEKMessage_CB(registration_, 5000, &m, &response.record, &Reports::record, 3),
            0x8000);
    }
    ASSERT_TRUE(reports.waitFor(kRequests));
    for (const Report& r : reports.items()) {
        EXPECT_EQ(PACKED(r.record.Status), MessageResponseSuccess);
    }
}

// The calling thread's window: what arrived, and whether it was posted.
struct ReportWindow {
    explicit ReportWindow(uint32_t messageId) {
        hwnd = plat::createWindow([this, messageId](plat::Message& m) {
            if (m.msg == messageId) {
                received.push_back(m);
            }
            return int64_t{0};
        });
    }
    ~ReportWindow() { plat::destroyWindow(hwnd); }
    bool pumpUntil(size_t count, std::chrono::milliseconds timeout = kLiveness) {
        auto deadline = std::chrono::steady_clock::now() + timeout;
        while (received.size() < count && std::chrono::steady_clock::now() < deadline) {
            plat::waitForMessage(50ms);
            plat::Message m;
            while (plat::peekMessage(m)) {
                plat::dispatchMessage(m);
            }
        }
        return received.size() >= count;
    }
    plat::Hwnd hwnd;
    std::vector<plat::Message> received;
};

TEST_F(ObjlinkSession, WindowGetsAPostedResponseAndASentTimeOut) {
    constexpr uint32_t kReport = 0x8400;
    ReportWindow window(kReport);
    std::thread device([&] {
        auto request = device_->next();
        ASSERT_TRUE(request);
        device_->respond(*request, {5});
        device_->next();  // the second request goes unanswered
    });
    std::vector<uint8_t> data;
    VEKMessage_t m = message(3, 9, data);
    ResponseBuffer<8> answered;
    ResponseBuffer<8> silent;
    ASSERT_GE(
        AsyncSendVEKMessage_Window(registration_, 2000, &m, &answered.record, window.hwnd, kReport),
        0x8000);
    ASSERT_TRUE(window.pumpUntil(1));
    ASSERT_GE(
        AsyncSendVEKMessage_Window(registration_, 300, &m, &silent.record, window.hwnd, kReport),
        0x8000);
    ASSERT_TRUE(window.pumpUntil(2));
    device.join();

    const plat::Message& first = window.received[0];
    EXPECT_FALSE(first.isSend);
    EXPECT_EQ(first.wParam, 0u);
    EXPECT_EQ(first.lParam, reinterpret_cast<intptr_t>(&answered.record));
    EXPECT_EQ(PACKED(answered.record.Status), MessageResponseSuccess);
    const plat::Message& second = window.received[1];
    EXPECT_TRUE(second.isSend);
    EXPECT_EQ(second.wParam, 0u);
    EXPECT_EQ(second.lParam, reinterpret_cast<intptr_t>(&silent.record));
    EXPECT_EQ(PACKED(silent.record.Status), MessageResponseTimeOut);
}

// A response that answers nothing is dropped: the request then times out
// (or, for the duplicate, completes once).
struct ForgedResponse {
    const char* name;
    uint8_t fromNode;        // device that answers
    uint16_t numberOffset;   // added to the request's number
    uint16_t messageOffset;  // added to the request's message identifier
    int answerAfterMs;       // delay before the answer
    int copies;
    VEKMessageStatus_t expected;
};

void PrintTo(const ForgedResponse& forged, std::ostream* os) {
    *os << forged.name;
}

class DroppedResponses : public ObjlinkSession,
                         public ::testing::WithParamInterface<ForgedResponse> {};

TEST_P(DroppedResponses, RequestCompletesExactlyOnceAsExpected) {
    const ForgedResponse& forged = GetParam();
    Device other(3, ports_.receive);
    ASSERT_TRUE(other.bound());
    Reports& reports = Reports::instance(0);
    std::vector<uint8_t> data;
    VEKMessage_t m = message(3, 9, data);
    ResponseBuffer<8> response;
    ASSERT_GE(AsyncSendVEKMessage_CB(registration_, 300, &m, &response.record, &Reports::record, 0),
              0x8000);
    auto request = device_->next();
    ASSERT_TRUE(request);
    std::this_thread::sleep_for(std::chrono::milliseconds(forged.answerAfterMs));
    const Device& answering = forged.fromNode == 2 ? *device_ : other;
    for (int i = 0; i < forged.copies; ++i) {
        answering.send(
            datagram(request->object,
                     static_cast<uint16_t>((request->message + forged.messageOffset) | kFlag),
                     static_cast<uint16_t>(request->number + forged.numberOffset), {1, 2}));
    }
    ASSERT_TRUE(reports.waitFor(1));
    std::this_thread::sleep_for(300ms);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(PACKED(reports.items()[0].record.Status), forged.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Objlink, DroppedResponses,
    ::testing::Values(ForgedResponse{"OtherAddress", 3, 0, 0, 0, 1, MessageResponseTimeOut},
                      ForgedResponse{"OtherNumber", 2, 1, 0, 0, 1, MessageResponseTimeOut},
                      ForgedResponse{"OtherMessage", 2, 0, 1, 0, 1, MessageResponseTimeOut},
                      ForgedResponse{"AfterTheTimeOut", 2, 0, 0, 600, 1, MessageResponseTimeOut},
                      ForgedResponse{"Duplicated", 2, 0, 0, 0, 2, MessageResponseSuccess}),
    [](const ::testing::TestParamInfo<ForgedResponse>& info) { return info.param.name; });

TEST_F(ObjlinkSession, CleanupWithRequestsOutstandingReportsNothing) {
    Reports& reports = Reports::instance(1);
    std::vector<uint8_t> data;
    VEKMessage_t m = message(3, 9, data);
    ResponseBuffer<8> response;
    ASSERT_GE(AsyncSendVEKMessage_CB(registration_, 200, &m, &response.record, &Reports::record, 1),
              0x8000);
    // A synchronous sender on another thread is released by the cleanup.
    std::atomic<bool> returned{false};
    std::thread waiter([&] {
        ResponseBuffer<8> own;
        SendVEKMessage(registration_, 10000, &m, &own.record);
        returned = true;
    });
    ASSERT_TRUE(device_->next());
    ASSERT_TRUE(device_->next());
    VEKNetCleanup(registration_);
    auto answerLate = device_->next(100ms);
    EXPECT_FALSE(answerLate);
    EXPECT_TRUE(waitUntil([&] { return returned.load(); }, 5s));
    waiter.join();
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(reports.size(), 0u);
    EXPECT_EQ(PACKED(response.record.Status), MessageFailure);
    EXPECT_EQ(SendVEKMessage(registration_, 0, &m, nullptr), VEKNET_ERR_NOT_REGISTERED);
}

}  // namespace
}  // namespace objlink_testing
