// A client of hubserver for the tests, speaking the client IPC protocol
// through the platform layer as the client library does: it owns a window
// on the thread that created it, sends requests to the server's main
// window and collects what the server posts or sends to its window (1624,
// 2024, the WIN16 copy-data delivery). Messages are taken only while one of
// the wait functions pumps the thread's loop.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/window.h"

namespace testing_support {

struct ClientMessage {
    uint32_t msg = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;
    std::vector<uint8_t> payload;
};

class TestClient {
  public:
    // Creates the client's window and looks for the server (waiting up to
    // `findTimeout` for its window to appear).
    explicit TestClient(std::chrono::milliseconds findTimeout = std::chrono::seconds(20));
    ~TestClient();
    TestClient(const TestClient&) = delete;
    TestClient& operator=(const TestClient&) = delete;

    plat::Hwnd window() const { return window_; }
    plat::Hwnd server() const { return server_; }

    // One request with the 2000 ms time-out; nullopt when it failed.
    std::optional<int64_t> request(uint32_t code, uint64_t wParam, int64_t lParam,
                                   std::vector<uint8_t> payload = {});

    int64_t registerWin32();            // 1224 with this window and process; -1000 when it failed
    int64_t registerWin16();            // 1234
    bool unregister(int32_t clientID);  // 1324, posted

    // 1424: the reply data, or nullopt when the request failed or gave 0.
    std::optional<std::vector<uint8_t>> versionText(int32_t clientID);

    // 1634 with an envelope to `address` holding `datagram`.
    int64_t sendDatagram(int32_t clientID, uint32_t address, const std::vector<uint8_t>& datagram);
    int64_t subscribe(int32_t clientID, int64_t type = 0);  // 1664
    int64_t unsubscribe(uint32_t netID);                    // 1674
    int64_t writeDebugText(const std::string& text);        // 1524, 8192 bytes

    // Pumps the thread's loop until a message with this code arrived (and
    // takes it) or the time-out passed.
    std::optional<ClientMessage> waitFor(
        uint32_t msg, std::chrono::milliseconds timeout = std::chrono::seconds(20));

    // Pumps for the given time and takes everything that arrived.
    std::deque<ClientMessage> collectFor(std::chrono::milliseconds duration);

    // The result the window gives to a message sent to it (copy-data).
    void setSendResult(int64_t result) { sendResult_ = result; }

  private:
    int64_t onMessage(plat::Message& m);
    void pumpFor(std::chrono::milliseconds slice);

    plat::Hwnd window_ = plat::kNoWindow;
    plat::Hwnd server_ = plat::kNoWindow;
    std::deque<ClientMessage> inbox_;
    int64_t sendResult_ = 1;
};

// An envelope: Address, Length, Parameter 0, then the datagram.
std::vector<uint8_t> envelopeOf(uint32_t address, const std::vector<uint8_t>& datagram);

// A datagram "VEK" + object, message ID, number and data.
std::vector<uint8_t> datagramOf(uint16_t objectID, uint16_t messageID, uint16_t number,
                                const std::vector<uint8_t>& data = {});

}  // namespace testing_support
