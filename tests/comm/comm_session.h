// A test of the communication layer: a hubserver the client library
// started, a scripted Tarn device on 127.0.0.2 (device 1 of network 0), and
// a TTarn_Monitor on the test's (Qt) thread with a view that records what
// it was asked to show.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "comm/tarn_monitor.h"
#include "protocol/tarn_header.h"
#include "protocol/tarn_reply_builders.h"
#include "objlink_session.h"
#include "platform/wait.h"

namespace comm_testing {

using namespace objscope;
using namespace objlink_testing;
using namespace std::chrono_literals;

constexpr uint16_t kNet = 0;
constexpr uint16_t kDev = 1;
constexpr uint16_t kMachine = 3;
constexpr uint16_t kSourceId = 0x8031;  // from machine number 3
constexpr TarnAddress kDeviceItself{kNet, kDev, 0};

// Records what the layer shows; answers the download dialog from a script.
class RecordingView : public TTarnMonitorView {
  public:
    void ShowMonitorWindow() override { shown = true; }
    void ShowTicketCount(size_t count) override { ticketCount = count; }
    void ShowRetries(unsigned value) override { retries = value; }
    void ToggleRx() override { ++rxToggles; }
    void ShowOperation(const std::string& text) override { operation = text; }
    void AppendLogLine(const std::string&) override { ++logLines; }
    void RemoveOldestLogLine() override { --logLines; }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    TDownloadAnswer AskDownloadError(const std::string& text, int seconds) override {
        questions.push_back(text);
        dialogSeconds = seconds;
        if (answers.empty())
            return TDownloadAnswer::TimedOut;
        TDownloadAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    bool shown = false;
    size_t ticketCount = 0;
    unsigned retries = 0;
    unsigned rxToggles = 0;
    std::string operation;
    long logLines = 0;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::deque<TDownloadAnswer> answers;
    int dialogSeconds = 0;
};

// One Tarn request as the device received it.
struct TarnRequestSeen {
    Datagram datagram;
    TarnHeader header{};
    std::span<const uint8_t> payload() const {
        return std::span<const uint8_t>(datagram.data).subspan(kTarnHeaderSize);
    }
    uint16_t u16At(size_t payloadOffset) const {
        auto p = payload();
        return static_cast<uint16_t>(p[payloadOffset] | (p[payloadOffset + 1] << 8));
    }
};

class CommSession : public ::testing::Test {
  protected:
    void SetUp() override {
        ports_ = writeServerSettings();
        device_ = std::make_unique<Device>(2, ports_.receive);
        ASSERT_TRUE(device_->bound());
        TarncomSettings settings;
        settings.machineNumber = kMachine;
        settings.monitor = true;
        DeviceMapping mapping;
        mapping.network = kNet;
        mapping.firstDevice = 1;
        mapping.lastDevice = 15;
        mapping.transport = Transport::Ip;
        mapping.address = {DeviceAddressType::NetworkGroupSubGroupNode, kDevice};
        settings.mappings.push_back(mapping);
        // Devices 32..47 hang off a serial line: node 2 of this PC's network.
        DeviceMapping serial;
        serial.network = kNet;
        serial.firstDevice = 32;
        serial.lastDevice = 47;
        serial.transport = Transport::Serial;
        serial.node = 2;
        settings.mappings.push_back(serial);
        monitor_ = std::make_unique<TTarn_Monitor>(settings, &view_);
        ASSERT_GT(monitor_->RegistrationID(), 0);
        monitor_->SetRequestTimeOut(requestTimeOut());
    }
    void TearDown() override {
        stopScript();
        monitor_.reset();
        device_.reset();
        EXPECT_TRUE(waitUntil(serverWindowGone));
    }
    virtual int requestTimeOut() const { return 1000; }

    // The next Tarn request the device received.
    std::optional<TarnRequestSeen> nextRequest(std::chrono::milliseconds timeout = 5s) {
        auto d = device_->next(timeout);
        if (!d)
            return std::nullopt;
        auto header = readTarnHeader(d->data);
        if (!header)
            return std::nullopt;
        return TarnRequestSeen{*d, *header};
    }
    void reply(const TarnRequestSeen& request, const std::vector<uint8_t>& data) {
        device_->respond(request.datagram, data);
    }
    // A Tarn message the device sends by itself (a notification).
    void sendUnsolicited(uint16_t messageId, const std::vector<uint8_t>& data) {
        device_->send(datagram(kTarnObjectId, messageId, 0x9000 + unsolicited_++, data));
    }

    // Runs `script` on a device thread while the test thread works.
    void runScript(std::function<void()> script) { script_ = std::thread(std::move(script)); }
    void stopScript() {
        if (script_.joinable())
            script_.join();
    }

    // Keeps the test thread's messages flowing until `done` or the time-out.
    bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s) {
        return plat::processMessagesUntil(done, std::chrono::steady_clock::now() + timeout);
    }
    void pumpFor(std::chrono::milliseconds time) {
        plat::processMessagesUntil([] { return false; }, std::chrono::steady_clock::now() + time);
    }

    bool logHas(const std::string& line) const {
        for (const auto& l : monitor_->Log())
            if (l == line)
                return true;
        return false;
    }
    size_t logCount(const std::string& line) const {
        size_t n = 0;
        for (const auto& l : monitor_->Log())
            n += l == line ? 1 : 0;
        return n;
    }

    ServerPorts ports_;
    std::unique_ptr<Device> device_;
    RecordingView view_;
    std::unique_ptr<TTarn_Monitor> monitor_;
    std::thread script_;
    uint16_t unsolicited_ = 0;
};

}  // namespace comm_testing
