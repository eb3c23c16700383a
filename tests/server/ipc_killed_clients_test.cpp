// Clients killed without unregistering: the server notices that their
// processes have ended, removes their records as an unregistration would
// (so the automatic shutdown happens), logs each and removes the sockets
// they left in the runtime folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "ipc_test_support.h"

namespace {

using namespace testing_support;

class IpcKilledClientsTest : public IpcServerTest {};

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

}  // namespace
