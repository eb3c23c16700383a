// The example programs together: netmon shows the message sendmsg sent.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "session_fixture.h"

extern char** environ;

namespace client_testing {
namespace {

pid_t spawnWithOutput(const std::vector<std::string>& args, const std::string& output) {
    std::vector<char*> argv;
    std::vector<std::string> text = args;
    for (std::string& a : text) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int exitCode(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

TEST(Examples, NetmonShowsWhatSendmsgSent) {
    writeServerSettings();
    ::mkdir(stateDir().c_str(), 0700);
    std::string netmonOut = stateDir() + "/netmon.txt";
    std::string sendmsgOut = stateDir() + "/sendmsg.txt";
    pid_t netmon = spawnWithOutput({binDir() + "/netmon"}, netmonOut);
    ASSERT_GT(netmon, 0);
    ASSERT_TRUE(
        waitUntil([&] { return readFile(netmonOut).find("monitoring") != std::string::npos; }));

    pid_t sendmsg = spawnWithOutput(
        {binDir() + "/sendmsg", "127.0.0.2", "0x10", "0x20", "41 42 43"}, sendmsgOut);
    ASSERT_GT(sendmsg, 0);
    EXPECT_EQ(exitCode(sendmsg), 0);
    EXPECT_EQ(readFile(sendmsgOut).rfind("result 1 number 0x", 0), 0u);

    std::string sent = "MessageSent to 127.0.0.2 length 12 object 0x0010 message 0x0020 number 0x";
    ASSERT_TRUE(waitUntil([&] { return readFile(netmonOut).find(sent) != std::string::npos; }));
    ::kill(netmon, SIGINT);
    EXPECT_EQ(exitCode(netmon), 0);
    std::string shown = readFile(netmonOut);
    EXPECT_NE(shown.find("    56 45 4B 10 00 20 00"), std::string::npos);  // the dump's row
    EXPECT_NE(shown.find("        VEK\x10. ."), std::string::npos);        // and its characters
    EXPECT_NE(shown.find("stopped\n"), std::string::npos);
    EXPECT_TRUE(waitUntil([] { return !serverTitleExists(); }));
}

TEST(Examples, SendmsgRefusesBadArguments) {
    ::mkdir(stateDir().c_str(), 0700);
    for (auto args : std::vector<std::vector<std::string>>{{"127.0.0.2", "1"},
                                                           {"300.0.0.1", "1", "2"},
                                                           {"127.0.0.2", "0x10000", "2"},
                                                           {"127.0.0.2", "1", "2", "4"}}) {
        args.insert(args.begin(), binDir() + "/sendmsg");
        pid_t pid = spawnWithOutput(args, stateDir() + "/out.txt");
        EXPECT_EQ(exitCode(pid), 2) << args[1];
    }
}

}  // namespace
}  // namespace client_testing
