// An in-process network service for the tests: the test thread owns a main
// window (socket readiness reads one datagram) and a client window that
// collects the 1624 messages, with one registered client. The debug log
// lives in a private folder with a fixed clock, so its text can be compared
// byte for byte.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "client_registry.h"
#include "debuglog.h"
#include "message_codes.h"
#include "network.h"
#include "network_test_support.h"
#include "private_dirs.h"
#include "wire/datagram.h"

namespace testing_support {

const hub::LocalTime kFixedTime{2, 3, 2008, 9, 5, 3, 7};
const std::string kStamp = "[02/03/2008 - 09:05:03.07]\n";

struct Delivery {
    uint64_t netID = 0;
    std::vector<uint8_t> envelope;

    uint32_t address() const { return wire::readLe32(envelope.data()); }
    uint32_t parameter() const { return wire::readLe32(envelope.data() + 8); }
    std::vector<uint8_t> datagram() const { return {envelope.begin() + 12, envelope.end()}; }
};

class NetworkFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dirs_.state());
        SetDebugClock([] { return kFixedTime; });
        InitDebugInterface(dirs_.log());
        mainWindow_ = plat::createWindow([](plat::Message& m) -> int64_t {
            if (m.msg == hub::kMsgSocketReady) {
                hub::ProcessNetworkRead();
            }
            return 0;
        });
        clientWindow_ = plat::createWindow([this](plat::Message& m) -> int64_t {
            auto bytes = m.payload.bytes();
            if (m.msg == hub::kMsgNetworkMessage) {
                deliveries_.push_back({m.wParam, {bytes.begin(), bytes.end()}});
            } else if (m.msg == hub::kMsgNetworkBatch) {
                batches_.push_back({m.wParam, {bytes.begin(), bytes.end()}});
            }
            return 0;
        });
        hub::InitClientInterface(mainWindow_, 0);
        clientID_ = hub::RegisterWin32Client(clientWindow_, static_cast<uint32_t>(::getpid()));
        config_.sendSocketPort = freeUdpPort();
        config_.recvSocketPort = freeUdpPort();
        config_.vekBaseAddress = "127.0.0.1";
        config_.messageDelayTime = 0;
        config_.messagesOut = 1;
    }

    void TearDown() override {
        hub::RemoveNetworkInterface();
        hub::RemoveClientInterface();
        plat::destroyWindow(clientWindow_);
        plat::destroyWindow(mainWindow_);
        RemoveDebugInterface();
        SetDebugClock({});
        // The thread's loop was bound in this test's private folder, which is
        // removed now: a later test on this thread starts from a fresh loop.
        plat::shutdownThreadLoop();
    }

    bool startNetwork() { return hub::InitNetworkInterface(mainWindow_, config_) == 1; }

    uint16_t recvPort() const { return static_cast<uint16_t>(config_.recvSocketPort); }

    std::string log() const { return readFile(dirs_.log()); }

    // The log text written since the last call.
    std::string newLog() {
        std::string all = log();
        std::string fresh = all.substr(std::min(logSeen_, all.size()));
        logSeen_ = all.size();
        return fresh;
    }

    // Pumps until `count` deliveries arrived in total.
    bool waitForDeliveries(size_t count) {
        return pumpUntil([&] { return deliveries_.size() >= count; });
    }

    int32_t sendFromServer(uint32_t address, const std::vector<uint8_t>& datagram) {
        return hub::SendVEKNetworkMessage(0, wire::buildEnvelope(address, 7, datagram));
    }

    PrivateDirs dirs_;
    hub::ServerConfig config_;
    plat::Hwnd mainWindow_ = plat::kNoWindow;
    plat::Hwnd clientWindow_ = plat::kNoWindow;
    int32_t clientID_ = 0;
    std::vector<Delivery> deliveries_;
    std::vector<Delivery> batches_;  // 1626: `envelope` holds several
    size_t logSeen_ = 0;
};

}  // namespace testing_support
