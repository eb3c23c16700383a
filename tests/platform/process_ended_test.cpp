// A process counts as ended once it has exited, also while it is a zombie
// its parent has not collected yet: it holds no descriptors any more, so
// what it left in the runtime folder can go.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <atomic>
#include <thread>

#include "platform/window.h"

extern char** environ;

namespace {

TEST(ProcessEnded, RunningIsNotEndedZombieAndCollectedAre) {
    pid_t pid = -1;
    char sleepName[] = "sleep";
    char seconds[] = "30";
    char* argv[] = {sleepName, seconds, nullptr};
    ASSERT_EQ(::posix_spawnp(&pid, "sleep", nullptr, nullptr, argv, environ), 0);
    auto id = static_cast<uint32_t>(pid);
    EXPECT_FALSE(plat::processEnded(id));

    ASSERT_EQ(::kill(pid, SIGKILL), 0);
    siginfo_t info{};
    ASSERT_EQ(::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT), 0);
    EXPECT_TRUE(plat::processEnded(id));  // a zombie now

    ASSERT_EQ(::waitpid(pid, nullptr, 0), pid);
    EXPECT_TRUE(plat::processEnded(id));
    EXPECT_FALSE(plat::processEnded(0));
}

// A process in the middle of being released still takes signals while
// reading its /proc entry already fails; asking then must answer "ended",
// never throw out of the server's thread. Many short-lived children are
// asked about while another thread collects them, to hit that moment.
TEST(ProcessEnded, AskingWhileTheProcessIsReleasedNeverThrows) {
    char trueName[] = "true";
    char* argv[] = {trueName, nullptr};
    for (int i = 0; i < 300; ++i) {
        pid_t pid = -1;
        ASSERT_EQ(::posix_spawnp(&pid, "true", nullptr, nullptr, argv, environ), 0);
        std::atomic<bool> collected{false};
        std::thread collector([&] {
            ::waitpid(pid, nullptr, 0);
            collected = true;
        });
        while (!collected) {
            bool ended = false;
            EXPECT_NO_THROW(ended = plat::processEnded(static_cast<uint32_t>(pid)));
            (void)ended;
        }
        collector.join();
        EXPECT_TRUE(plat::processEnded(static_cast<uint32_t>(pid)));
    }
}

}  // namespace
