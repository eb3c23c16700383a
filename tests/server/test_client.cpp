#include "test_client.h"

#include <unistd.h>

#include <cstring>
#include <thread>

#include "wire/datagram.h"
#include "wire/ipc.h"

namespace testing_support {
namespace {

constexpr std::chrono::milliseconds kRequestTimeout{wire::kRequestTimeoutMs};
constexpr int64_t kRequestFailed = -1000;

}  // namespace

std::vector<uint8_t> envelopeOf(uint32_t address, const std::vector<uint8_t>& datagram) {
    return wire::buildEnvelope(address, wire::kDirectionSent, datagram);
}

std::vector<uint8_t> datagramOf(uint16_t objectID, uint16_t messageID, uint16_t number,
                                const std::vector<uint8_t>& data) {
    return wire::buildDatagram({objectID, messageID, number}, data);
}

TestClient::TestClient(std::chrono::milliseconds findTimeout) {
    window_ = plat::createWindow([this](plat::Message& m) { return onMessage(m); });
    auto deadline = std::chrono::steady_clock::now() + findTimeout;
    while ((server_ = plat::findWindow(wire::kServerWindowTitle)) == plat::kNoWindow &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

TestClient::~TestClient() {
    plat::destroyWindow(window_);
}

int64_t TestClient::onMessage(plat::Message& m) {
    if (m.msg == plat::kMsgDestroy) {
        return 0;
    }
    ClientMessage copy{
        m.msg, m.wParam, m.lParam, {m.payload.bytes().begin(), m.payload.bytes().end()}};
    inbox_.push_back(std::move(copy));
    return m.isSend ? sendResult_ : 0;
}

std::optional<int64_t> TestClient::request(uint32_t code, uint64_t wParam, int64_t lParam,
                                           std::vector<uint8_t> payload) {
    return plat::sendMessageTimeout(server_, code, wParam, lParam,
                                    plat::Payload::fromBytes(std::move(payload)), kRequestTimeout);
}

int64_t TestClient::registerWin32() {
    return request(wire::kReqRegisterWin32, window_, ::getpid()).value_or(kRequestFailed);
}

int64_t TestClient::registerWin16() {
    return request(wire::kReqRegisterWin16, window_, 0).value_or(kRequestFailed);
}

bool TestClient::unregister(int32_t clientID) {
    return plat::postMessage(server_, wire::kReqUnregister, static_cast<uint64_t>(clientID), 0) ==
           plat::PostResult::Ok;
}

std::optional<std::vector<uint8_t>> TestClient::versionText(int32_t clientID) {
    auto answer = plat::sendMessageTimeoutWithReply(
        server_, wire::kReqVersion, static_cast<uint64_t>(clientID), 0, {}, kRequestTimeout);
    if (!answer || answer->result == 0) {
        return std::nullopt;
    }
    auto bytes = answer->reply.bytes();
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

int64_t TestClient::sendDatagram(int32_t clientID, uint32_t address,
                                 const std::vector<uint8_t>& datagram) {
    return request(wire::kReqSendNetwork, static_cast<uint64_t>(clientID), 0,
                   envelopeOf(address, datagram))
        .value_or(kRequestFailed);
}

int64_t TestClient::subscribe(int32_t clientID, int64_t type) {
    return request(wire::kReqNetRegister, static_cast<uint64_t>(clientID), type)
        .value_or(kRequestFailed);
}

int64_t TestClient::unsubscribe(uint32_t netID) {
    return request(wire::kReqNetDeregister, 0, netID).value_or(kRequestFailed);
}

int64_t TestClient::writeDebugText(const std::string& text) {
    std::vector<uint8_t> section(wire::kDebugTextSize, 0);
    std::memcpy(section.data(), text.data(), std::min(text.size(), section.size()));
    return plat::sendMessageTimeout(server_, wire::kReqDebugText, static_cast<uint64_t>(::getpid()),
                                    0, plat::Payload::fromBytes(std::move(section)),
                                    std::chrono::milliseconds(wire::kDebugTextTimeoutMs))
        .value_or(kRequestFailed);
}

void TestClient::pumpFor(std::chrono::milliseconds slice) {
    plat::waitForMessage(slice);
    plat::Message m;
    while (plat::peekMessage(m)) {
        plat::dispatchMessage(m);
    }
}

std::optional<ClientMessage> TestClient::waitFor(uint32_t msg, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        for (auto it = inbox_.begin(); it != inbox_.end(); ++it) {
            if (it->msg == msg) {
                ClientMessage found = std::move(*it);
                inbox_.erase(it);
                return found;
            }
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        pumpFor(std::chrono::milliseconds(20));
    }
}

std::deque<ClientMessage> TestClient::collectFor(std::chrono::milliseconds duration) {
    auto deadline = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < deadline) {
        pumpFor(std::chrono::milliseconds(20));
    }
    std::deque<ClientMessage> all;
    all.swap(inbox_);
    return all;
}

}  // namespace testing_support
