// tarnsim beside a real hubserver bound to the wildcard address at the same
// port: the tarnlist example lists the default device through the server,
// and notifications of a wiggling meter reach an objlink subscriber, each
// with a fresh message number (the server drops repeated ones).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>

#include "protocol/tarn_notification.h"
#include "protocol/tarn_requests.h"
#include "protocol/tarn_status.h"
#include "objlink.h"
#include "server_settings.h"
#include "tarnsim_process.h"

namespace {

using namespace std::chrono_literals;
using testing_support::TarnsimProcess;

constexpr uint32_t kDevice = 0x7F000002;
constexpr uint16_t kSourceId = 0x8001;

std::string runTarnlist(const std::string& arguments) {
    std::string command = std::string(VEK_BIN_DIR) + "/tarnlist " + arguments + " 2>&1";
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return output;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    ::pclose(pipe);
    return output;
}

class TarnsimHubTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ports = testing_support::writeServerSettings();
        simulator = std::make_unique<TarnsimProcess>(
            testing_support::tarnsimPath(),
            std::vector<std::string>{"--listen", "127.0.0.2:" + std::to_string(ports.receive),
                                     "--wiggle"});
        ASSERT_TRUE(simulator->ready()) << simulator->output();
    }
    // The server ends with its last client (AutoShutdown); the next test
    // starts its own with its own ports.
    void TearDown() override {
        EXPECT_TRUE(testing_support::waitUntil(testing_support::serverWindowGone));
    }
    testing_support::ServerPorts ports;
    std::unique_ptr<TarnsimProcess> simulator;
};

TEST_F(TarnsimHubTest, TarnlistListsTheDefaultDeviceThroughTheServer) {
    std::string output = runTarnlist("127.0.0.2");
    EXPECT_NE(output.find("Objects of device 1 at 127.0.0.2:"), std::string::npos) << output;
    EXPECT_NE(output.find("     100     60  EQ Filter Set               Main PEQ\n"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("\n464 objects\n"), std::string::npos) << output;
    EXPECT_NE(runTarnlist("127.0.0.2 9").find("Device Invalid (4)"), std::string::npos);
}

struct Notes {
    std::mutex mutex;
    std::set<uint16_t> numbers;
    std::atomic<int> count{0};
};

Notes* gNotes = nullptr;

void collect(uint32_t, VEKMessageResponse_t* message) {
    std::span<const uint8_t> data(message->DataPtr,
                                  std::min(message->DataLength, message->MaxDataLength));
    auto note = objscope::decodeNotification(data, kSourceId);
    if (!note || note->registrationNumber != 12 || !note->item)
        return;
    std::lock_guard lock(gNotes->mutex);
    gNotes->numbers.insert(message->MessageNumber);
    ++gNotes->count;
}

TEST_F(TarnsimHubTest, WigglingMeterNotifiesThroughTheServer) {
    Notes notes;
    gNotes = &notes;
    int32_t registration = VEKNetStartup();
    ASSERT_GT(registration, 0);
    ASSERT_GT(RegisterVEKObjectMessages_CB(registration, objscope::kTarnObjectId, collect, 0), 0);

    // Register for the peak meter's level (object 730, property 4096, dB2).
    auto request = *objscope::buildRegistration({0, kSourceId}, {0, 1, 730}, 12, {4096, 132, 2});
    VEKMessage_t message{};
    message.ObjectID = objscope::kTarnObjectId;
    message.MessageID = request.messageId;
    message.DataLength = static_cast<uint16_t>(request.data.size());
    message.DataPtr = request.data.data();
    message.Address = {FullAddress, kDevice};
    std::vector<uint8_t> reply(1024);
    VEKMessageResponse_t response{};
    response.DataPtr = reply.data();
    response.MaxDataLength = static_cast<uint16_t>(reply.size());
    ASSERT_GT(SendVEKMessage(registration, 2000, &message, &response), 0);
    ASSERT_EQ(response.Status, MessageResponseSuccess);
    reply.resize(response.DataLength);
    EXPECT_EQ(objscope::replyStatusValue(reply), 0);

    EXPECT_TRUE(testing_support::waitUntil([&] { return notes.count >= 4; }, 10s));
    VEKNetCleanup(registration);
    std::lock_guard lock(notes.mutex);
    EXPECT_EQ(notes.numbers.size(), static_cast<size_t>(notes.count.load()))
        << "every notification with its own message number";
    gNotes = nullptr;
}

}  // namespace
