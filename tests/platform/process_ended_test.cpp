// A process counts as ended once it has exited, also while it is a zombie
// its parent has not collected yet: it holds no descriptors any more, so
// what it left in the runtime folder can go.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

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

}  // namespace
