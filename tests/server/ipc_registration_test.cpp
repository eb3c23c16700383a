// The real hubserver: registration, the version text, unregistration with
// and without automatic shutdown, and the start and shutdown lines of the
// client and WIN16 interfaces.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "ipc_test_support.h"
#include "wire/ipc.h"

namespace {

using namespace testing_support;

using IpcRegistrationTest = IpcServerTest;

// The names in the "Started... (name)." lines, in order.
std::vector<std::string> startedServices(const std::string& log) {
    static const std::regex line(R"(   \*\* HUBSERVER \(EXE\) Started\.\.\. \((.*)\)\.\n)");
    std::vector<std::string> names;
    for (std::sregex_iterator it(log.begin(), log.end(), line), end; it != end; ++it) {
        names.push_back((*it)[1]);
    }
    return names;
}

const std::string kVersionText = "VEK Network Server (HUBSERVER.EXE) Version 1.18.1";

TEST_F(IpcRegistrationTest, ClientIdsStartAtOneAndVersionTextIsExact) {
    startServer();
    TestClient& first = newClient();
    TestClient& second = newClient();
    EXPECT_EQ(first.registerWin32(), 1);
    EXPECT_EQ(second.registerWin32(), 2);

    std::optional<std::vector<uint8_t>> text = second.versionText(2);
    ASSERT_TRUE(text);
    std::string expected = kVersionText + '\0';
    EXPECT_EQ(std::string(text->begin(), text->end()), expected);

    // An ID that is not registered gets nothing.
    EXPECT_FALSE(second.versionText(3));
    EXPECT_EQ(second.request(wire::kReqVersion, 3, 0), 0);
}

TEST_F(IpcRegistrationTest, LastClientLeavingEndsTheServerInOrderWhenAutoShutdownIsOn) {
    startServer({.autoShutdown = 1, .noNetwork = true});
    TestClient& client = newClient();
    int64_t id = client.registerWin32();
    ASSERT_EQ(id, 1);
    ASSERT_TRUE(client.unregister(static_cast<int32_t>(id)));
    ASSERT_TRUE(serverExited());
    // Every service that started stops in reverse order (the WIN16 thread
    // without a line of its own), the whole sequence after one time stamp.
    std::string log = maskedLog();
    std::vector<std::string> started = startedServices(log);
    ASSERT_EQ(started.front(), "Debug");
    std::string expected = "[TS]\n** HUBSERVER (EXE) Shutting Down....\n";
    for (auto it = started.rbegin(); it != started.rend(); ++it) {
        if (*it != "WIN16 Interface") {
            expected += "   ** HUBSERVER (EXE) Shutting Down... (" + *it + ").\n";
        }
    }
    expected += "** HUBSERVER (EXE) Exiting...\n";
    EXPECT_EQ(log.substr(log.find(kRunningLine) + kRunningLine.size()), expected);
    EXPECT_EQ(started.back(), "WIN16 Interface");
    EXPECT_NE(std::find(started.begin(), started.end(), "Client Interface"), started.end());
}

// A registration that reaches the server together with the last client's
// unregistration (a quick cleanup and startup) is served: the automatic
// shutdown looks at the list again when it runs. The server is stopped while
// both requests are queued, so it reads them in one go.
TEST_F(IpcRegistrationTest, RegistrationQueuedBehindTheLastUnregistrationIsServed) {
    startServer({.autoShutdown = 1, .noNetwork = true});
    TestClient& client = newClient();
    int64_t id = client.registerWin32();
    ASSERT_GT(id, 0);
    for (int round = 0; round < 5; ++round) {
        ASSERT_EQ(::kill(server_, SIGSTOP), 0);
        int64_t next = 0;
        std::thread cleanupAndStartup([&] {
            client.unregister(static_cast<int32_t>(id));
            next = client.registerWin32();
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ::kill(server_, SIGCONT);
        cleanupAndStartup.join();
        ASSERT_GT(next, 0) << "round " << round;
        ASSERT_EQ(client.request(wire::kReqVersion, static_cast<uint64_t>(next), 0), 1)
            << "round " << round;
        id = next;
    }
    EXPECT_FALSE(serverExited(std::chrono::milliseconds(300)));
    ASSERT_TRUE(client.unregister(static_cast<int32_t>(id)));
    EXPECT_TRUE(serverExited());
}

TEST_F(IpcRegistrationTest, ServerKeepsRunningWithAnEmptyListWhenAutoShutdownIsOff) {
    startServer({.autoShutdown = 0});
    TestClient& client = newClient();
    ASSERT_TRUE(client.unregister(static_cast<int32_t>(client.registerWin32())));
    EXPECT_FALSE(serverExited(std::chrono::milliseconds(500)));
    // Still serving: the next client gets the next ID.
    EXPECT_EQ(client.registerWin32(), 2);
}

TEST_F(IpcRegistrationTest, UnregisteringAnUnknownIdDoesNotEndTheServer) {
    startServer({.autoShutdown = 1});
    TestClient& client = newClient();
    ASSERT_TRUE(client.unregister(77));
    EXPECT_FALSE(serverExited(std::chrono::milliseconds(500)));
    EXPECT_EQ(client.registerWin32(), 1);
}

TEST_F(IpcRegistrationTest, UnregisteringRemovesTheClientsNetworkRegistrations) {
    startServer();
    int32_t id = 0;
    TestClient& client = registeredClient(id);
    int64_t netID = client.subscribe(id, wire::kNetMonitor);
    ASSERT_GT(netID, 0);
    ASSERT_TRUE(client.unregister(id));
    // The unregistration is posted; a request after it is handled after it.
    EXPECT_EQ(client.request(wire::kReqVersion, static_cast<uint64_t>(id), 0), 0);
    EXPECT_EQ(client.unsubscribe(static_cast<uint32_t>(netID)), 1);
}

TEST_F(IpcRegistrationTest, RegistrationWithoutWindowIsRefused) {
    startServer();
    TestClient& client = newClient();
    EXPECT_EQ(client.request(wire::kReqRegisterWin32, plat::kNoWindow, ::getpid()),
              wire::kResultBadRequest);
    EXPECT_EQ(client.request(wire::kReqRegisterWin16, plat::kNoWindow, 0), wire::kResultBadRequest);
    EXPECT_EQ(client.registerWin32(), 1);
}

}  // namespace
