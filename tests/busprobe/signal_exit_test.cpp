// busprobe ended by a signal (logout, a service stop, a closed terminal)
// ends its logs as Exit does.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QString>

#include "gui_fixture.h"
#include "platform/ini.h"
#include "temp_folder.h"

extern char** environ;

namespace busprobe::testing {
namespace {

TEST(SignalExit, TermAndIntEndEveryOpenLogWithItsClosingBlock) {
    serverPorts();
    for (int signal : {SIGTERM, SIGINT}) {
        TempFolder dir;
        std::string log = dir.path("SIGNAL.LOG");
        plat::ini::eraseSection("Schedule", "BUSPROBE.INI");
        plat::ini::writeString("Schedule", "Item1", "1,,,,,,\"" + log + "\"", "BUSPROBE.INI");
        std::string program = std::string(VEK_BIN_DIR) + "/busprobe";
        const char* argv[] = {program.c_str(), "-platform", "offscreen", nullptr};
        pid_t pid = -1;
        ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr,
                              const_cast<char* const*>(argv), environ),
                  0);
        // The first schedule tick opens the log.
        bool opened = waitFor(
            [&] {
                return readFile(log).find(" - Start of Scheduled Capture") != std::string::npos;
            },
            10000);
        ASSERT_TRUE(opened) << "signal " << signal;
        ASSERT_EQ(::kill(pid, signal), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status)) << "signal " << signal;
        EXPECT_EQ(countOf(readFile(log), " - Log Capture Terminated\r\n"), 1u)
            << "signal " << signal;
    }
    plat::ini::eraseSection("Schedule", "BUSPROBE.INI");
}

}  // namespace
}  // namespace busprobe::testing
