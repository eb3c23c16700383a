// Client IDs across server runs: a server that starts after another one was
// killed in the same folders hands out IDs the dead one never gave, so an
// application still holding an old ID cannot unregister a client of the new
// server.
#include <gtest/gtest.h>

#include "ipc_test_support.h"
#include "wire/ipc.h"

namespace {

using namespace testing_support;

class IpcRestartIdsTest : public IpcServerTest {};

TEST_F(IpcRestartIdsTest, IdsOfAKilledServerAreNotHandedOutAgain) {
    startServer();
    int32_t oldID = 0;
    registeredClient(oldID);
    ASSERT_EQ(::kill(server_, SIGKILL), 0);
    ASSERT_TRUE(serverExited());
    clients_.clear();
    plat::shutdownThreadLoop();

    startServer();
    int32_t newID = 0;
    TestClient& client = registeredClient(newID);
    EXPECT_NE(newID, oldID);
    // The old ID's cleanup reaches the new server and changes nothing there.
    client.unregister(oldID);
    EXPECT_TRUE(client.versionText(newID));
}

}  // namespace
