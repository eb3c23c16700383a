// Window titles: lookup, a second holder refused, release on destroy, a
// title left by a killed process replaced, two processes racing for one.
#include <signal.h>

#include <filesystem>
#include <memory>
#include <thread>

#include "window_test_support.h"

namespace plat::test {
namespace {

using namespace std::chrono_literals;

class WindowTitleTest : public RuntimeDirTest {};

int64_t ignore(Message&) {
    return 0;
}

TEST_F(WindowTitleTest, TitleIsFoundUntilItsWindowIsDestroyed) {
    EXPECT_EQ(findWindow("Server Window"), kNoWindow);
    Hwnd h = createWindow(ignore, "Server Window");
    ASSERT_NE(h, kNoWindow);
    EXPECT_EQ(findWindow("Server Window"), h);
    EXPECT_EQ(findWindow("server window"), kNoWindow);
    EXPECT_EQ(createWindow(ignore, "Server Window"), kNoWindow);
    ASSERT_TRUE(destroyWindow(h));
    EXPECT_EQ(findWindow("Server Window"), kNoWindow);
    Hwnd again = createWindow(ignore, "Server Window");
    EXPECT_NE(again, kNoWindow);
    EXPECT_EQ(findWindow("Server Window"), again);
}

TEST_F(WindowTitleTest, UnusualTitlesWork) {
    for (const char* title : {"VEKBASE Application (32 Bit)", "a/b", "..x", "ü"}) {
        Hwnd h = createWindow(ignore, title);
        ASSERT_NE(h, kNoWindow) << title;
        EXPECT_EQ(findWindow(title), h) << title;
    }
    EXPECT_EQ(createWindow(ignore, ".."), kNoWindow);
    EXPECT_EQ(createWindow(ignore, std::string(200, 'x')), kNoWindow);  // too long a path
}

TEST_F(WindowTitleTest, TitleOfAnotherProcessIsFoundAndRefusedHere) {
    PeerProcess peer({"serve", "Shared Title"});
    Hwnd h = peer.readHandle("HWND");
    ASSERT_NE(h, kNoWindow);
    EXPECT_EQ(findWindow("Shared Title"), h);
    EXPECT_EQ(createWindow(ignore, "Shared Title"), kNoWindow);
    EXPECT_EQ(sendMessageTimeout(findWindow("Shared Title"), peer::kEcho, 1, 0, {}, 2s), 2);
}

TEST_F(WindowTitleTest, TitleOfKilledProcessIsStaleAndReplaced) {
    PeerProcess peer({"serve", "Stale Title"});
    Hwnd old = peer.readHandle("HWND");
    ASSERT_NE(old, kNoWindow);
    peer.kill(SIGKILL);
    EXPECT_EQ(findWindow("Stale Title"), kNoWindow);
    Hwnd h = createWindow(ignore, "Stale Title");
    ASSERT_NE(h, kNoWindow);
    EXPECT_EQ(findWindow("Stale Title"), h);
}

// Nothing of a title stays in the runtime folder once it is released, and
// what a killed process left is removed once it has ended.
TEST_F(WindowTitleTest, ReleasedAndDeadTitlesLeaveNoFiles) {
    auto exists = [&](const std::string& name) {
        return std::filesystem::exists(std::filesystem::symlink_status(runtime_ + "/" + name));
    };
    Hwnd h = createWindow(ignore, "Released Title");
    ASSERT_NE(h, kNoWindow);
    EXPECT_TRUE(exists("Released Title.lock"));
    ASSERT_TRUE(destroyWindow(h));
    EXPECT_FALSE(exists("Released Title"));
    EXPECT_FALSE(exists("Released Title.lock"));

    PeerProcess peer({"serve", "Killed Title"});
    Hwnd held = peer.readHandle("HWND");
    ASSERT_NE(held, kNoWindow);
    auto pid = static_cast<uint32_t>(held >> 32);
    removeRuntimeFilesOf(pid);  // still running: nothing is touched
    EXPECT_TRUE(exists("Killed Title.lock"));
    peer.kill(SIGKILL);
    removeRuntimeFilesOf(pid);
    EXPECT_FALSE(exists("Killed Title"));
    EXPECT_FALSE(exists("Killed Title.lock"));
    for (const auto& entry : std::filesystem::directory_iterator(runtime_)) {
        std::string name = entry.path().filename();
        EXPECT_NE(name.rfind("p" + std::to_string(pid) + ".", 0), 0u) << name;
    }
}

TEST_F(WindowTitleTest, ProcessesRacingForAStaleTitleEndWithOneOwner) {
    for (int round = 0; round < 5; ++round) {
        std::string title = "Race " + std::to_string(round);
        {  // every racer finds a stale title to replace
            PeerProcess first({"claim", title});
            ASSERT_EQ(first.readLine().rfind("OWNER ", 0), 0u);
            first.kill(SIGKILL);
        }
        std::vector<std::unique_ptr<PeerProcess>> peers;
        for (int i = 0; i < 6; ++i) {
            peers.push_back(
                std::make_unique<PeerProcess>(std::vector<std::string>{"claim", title, "wait"}));
        }
        std::this_thread::sleep_for(200ms);  // all started and waiting
        for (auto& p : peers) {
            p->write("g");
        }
        std::vector<Hwnd> owners;
        for (auto& p : peers) {
            std::string line = p->readLine();
            ASSERT_FALSE(line.empty());
            if (line != "NONE") {
                owners.push_back(std::stoull(line.substr(6), nullptr, 16));
            }
        }
        ASSERT_EQ(owners.size(), 1u) << title;
        EXPECT_EQ(findWindow(title), owners[0]);
    }
}

}  // namespace
}  // namespace plat::test
