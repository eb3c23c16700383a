// Clients killed without unregistering: the server notices that their
// processes have ended, removes their records as an unregistration would
// (so the automatic shutdown happens), logs each and removes the sockets
// they left in the runtime folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "ipc_test_support.h"
#include "process_wakeups.h"

namespace {

using namespace testing_support;

class IpcKilledClientsTest : public IpcServerTest {};

// While its one client idles the server sleeps (no timer looks for ended
// clients), and it still notices at once when that client is killed.
TEST_F(IpcKilledClientsTest, IdleServerSleepsAndStillNoticesAKilledClient) {
    startServer({.autoShutdown = 1});
    PeerProcess peer;
    ASSERT_FALSE(peer.readLine().empty());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // start-up work settles
    uint64_t before = voluntarySwitchesOf(server_);
    ASSERT_GT(before, 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(3200));
    uint64_t wakeUps = voluntarySwitchesOf(server_) - before;
    EXPECT_LE(wakeUps, 1u) << "wake-ups of the idle server";
    pid_t pid = peer.pid();
    peer.killNow();
    EXPECT_TRUE(serverExited(std::chrono::seconds(2))) << maskedLog();
    EXPECT_NE(maskedLog().find(": its process " + std::to_string(pid) + " has ended.\n"),
              std::string::npos);
}

TEST_F(IpcKilledClientsTest, KilledClientsAreRemovedAndTheServerShutsDown) {
    startServer({.autoShutdown = 1});
    constexpr int kClients = 8;
    std::vector<std::unique_ptr<PeerProcess>> peers;
    std::vector<pid_t> pids;
    for (int i = 0; i < kClients; ++i) {
        peers.push_back(std::make_unique<PeerProcess>());
        ASSERT_FALSE(peers.back()->readLine().empty());  // registered and subscribed
        pids.push_back(peers.back()->pid());
    }
    for (auto& peer : peers) {
        peer->killNow();
    }
    EXPECT_TRUE(serverExited(std::chrono::seconds(10))) << maskedLog();
    std::string log = maskedLog();
    for (pid_t pid : pids) {
        EXPECT_NE(log.find(": its process " + std::to_string(pid) + " has ended.\n"),
                  std::string::npos)
            << log;
        for (const auto& entry : std::filesystem::directory_iterator(dirs_.runtime())) {
            std::string name = entry.path().filename();
            EXPECT_NE(name.rfind("p" + std::to_string(pid) + ".", 0), 0u) << name;
        }
    }
}

// Clients killed at random moments while a device floods them with traffic:
// the server keeps serving the others and removes each killed one.
TEST_F(IpcKilledClientsTest, ClientsKilledDuringTrafficLeaveTheServerServing) {
    startServer();
    std::vector<std::unique_ptr<PeerProcess>> peers;
    for (int i = 0; i < 6; ++i) {
        peers.push_back(std::make_unique<PeerProcess>());
        ASSERT_FALSE(peers.back()->readLine().empty());
    }
    UdpPeer device(loopback(2));
    ASSERT_TRUE(device.bound());
    std::mt19937 random(std::random_device{}());
    std::vector<pid_t> killed;
    uint16_t number = 0x8000;
    for (auto& peer : peers) {
        auto until = std::chrono::steady_clock::now() +
                     std::chrono::milliseconds(std::uniform_int_distribution<int>(10, 300)(random));
        while (std::chrono::steady_clock::now() < until) {
            device.sendTo(loopback(1), recvPort_, datagramOf(0xFF00, 1, ++number));
        }
        killed.push_back(peer->pid());
        peer->killNow();
    }
    int32_t clientID = 0;
    TestClient& survivor = registeredClient(clientID);
    EXPECT_TRUE(survivor.versionText(clientID));
    for (pid_t pid : killed) {
        EXPECT_TRUE(
            waitForText(dirs_.log(), ": its process " + std::to_string(pid) + " has ended.\n"))
            << pid;
    }
    EXPECT_TRUE(survivor.versionText(clientID));
}

}  // namespace
