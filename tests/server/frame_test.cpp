// Integration tests of the hubserver process frame: the real program in
// private folders, observed through its debug log, its stderr and its exit.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <regex>

#include "message_codes.h"
#include "network_test_support.h"
#include "platform/window.h"
#include "private_dirs.h"
#include "private_network.h"
#include "server_process.h"
#include "udp_peer.h"

namespace {

using namespace testing_support;

// The services that exist, by the names in their log lines: in start order,
// and in stop order (the WIN16 interface thread is not stopped explicitly).
const std::vector<std::string> kStartedServices = {
    "Debug", "Network", "Client Interface", "COM Interface", "Reserved Message Interface",
    "WIN16 Interface"};
const std::vector<std::string> kStoppedServices = {"Reserved Message Interface", "COM Interface",
                                                   "Client Interface", "Network", "Debug"};

std::string serviceLines(const char* verb, const std::vector<std::string>& names,
                         bool withNetwork) {
    std::string lines;
    for (const std::string& name : names) {
        if (withNetwork || name != "Network") {
            lines += std::string("   ** HUBSERVER (EXE) ") + verb + "... (" + name + ").\n";
        }
    }
    return lines;
}

// The log of a complete start and of a complete shutdown, time stamps masked.
std::string startSequence(bool withNetwork = true) {
    return "[TS]\n** HUBSERVER (EXE) Starting....\n" +
           serviceLines("Started", kStartedServices, withNetwork) +
           "** HUBSERVER (EXE) Running...\n\n";
}
std::string shutdownSequence(bool withNetwork = true) {
    return "[TS]\n** HUBSERVER (EXE) Shutting Down....\n" +
           serviceLines("Shutting Down", kStoppedServices, withNetwork) +
           "** HUBSERVER (EXE) Exiting...\n";
}

const std::string kStart = startSequence();
const std::string kShutdown = shutdownSequence();
const std::string kRunning = "** HUBSERVER (EXE) Running...\n\n";
const std::string kWarning =
    "HUBSERVER ERROR: VEK Networking Subsystem (32 bit) Is Already Running !\n";

// Time-stamp lines become "[TS]"; everything else stays byte for byte.
std::string withStampsMasked(const std::string& log) {
    static const std::regex stamp(R"(\[\d\d/\d\d/\d{4} - \d\d:\d\d:\d\d\.\d{2,3}\]\n)");
    return std::regex_replace(log, stamp, "[TS]\n");
}

class FrameTest : public ::testing::Test {
  protected:
    // The server's network stays on loopback, on ports of its own.
    void SetUp() override { dirs_.writeMainIni(networkSettings()); }

    static std::string networkSettings() {
        return "[VEK BASE 32]\nVEKBaseAddress=127.0.0.1\nSendSocketPort=" +
               std::to_string(freeUdpPort()) + "\nRecvSocketPort=" + std::to_string(freeUdpPort()) +
               "\n";
    }

    // Starts a server and waits until it is running.
    pid_t startServer(const std::vector<std::string>& args = {}, int runningCount = 1) {
        pid_t pid = startHubserver(args, stderrPath());
        EXPECT_GT(pid, 0);
        EXPECT_TRUE(waitForText(dirs_.log(), kRunning, runningCount)) << readFile(dirs_.log());
        servers_.push_back(pid);
        return pid;
    }

    // REMOVE, and the server's exit code.
    int removeServer(pid_t pid) {
        EXPECT_EQ(runHubserver({"REMOVE"}), 0);
        std::optional<int> status = waitForExit(pid);
        return status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
    }

    std::string stderrPath() const { return dirs_.root() + "/server.err"; }
    std::string maskedLog() const { return withStampsMasked(readFile(dirs_.log())); }

    void TearDown() override {
        for (pid_t pid : servers_) {
            killIfRunning(pid);
        }
    }

    PrivateDirs dirs_;
    std::vector<pid_t> servers_;
};

TEST_F(FrameTest, StartAndRemoveWriteTheCompleteSequences) {
    pid_t server = startServer();
    EXPECT_EQ(maskedLog(), kStart);
    EXPECT_EQ(removeServer(server), 0);
    EXPECT_EQ(maskedLog(), kStart + kShutdown);

    // A second run separates itself from the first with an empty line.
    server = startServer({}, 2);
    EXPECT_EQ(removeServer(server), 0);
    EXPECT_EQ(maskedLog(), kStart + kShutdown + "\n" + kStart + kShutdown);
}

TEST_F(FrameTest, SecondStartWarnsAndLeavesTheFirstUntouched) {
    pid_t server = startServer();
    std::string before = readFile(dirs_.log());
    std::string err = dirs_.root() + "/second.err";
    for (const auto& args : std::vector<std::vector<std::string>>{{}, {"bogus"}, {"SHOW", "X"}}) {
        EXPECT_EQ(runHubserver(args, err), 1);
    }
    EXPECT_EQ(readFile(err), kWarning + kWarning + kWarning);
    EXPECT_TRUE(stillRunning(server));
    EXPECT_EQ(readFile(dirs_.log()), before);
    EXPECT_EQ(removeServer(server), 0);
}

TEST_F(FrameTest, ShowAndHideReachTheRunningInstanceIgnoringCase) {
    pid_t server = startServer();
    EXPECT_EQ(runHubserver({"show"}), 0);
    EXPECT_TRUE(waitForText(stderrPath(), "VEKBASE Application (32 Bit) [shown minimized]\n"));
    EXPECT_EQ(runHubserver({"Hide"}), 0);
    EXPECT_TRUE(waitForText(stderrPath(), "VEKBASE Application (32 Bit) [hidden]\n"));
    EXPECT_EQ(runHubserver({"debug_on"}), 0);
    EXPECT_EQ(runHubserver({"DEBUG_OFF"}), 0);
    EXPECT_TRUE(stillRunning(server));
    EXPECT_EQ(removeServer(server), 0);
    EXPECT_EQ(maskedLog(), kStart + kShutdown);
}

TEST_F(FrameTest, ShowAtFirstStartShowsTheWindow) {
    pid_t server = startServer({"SHOW"});
    EXPECT_TRUE(waitForText(stderrPath(), "[shown minimized]\n  File: &Hide (272)"));
    EXPECT_EQ(removeServer(server), 0);
}

TEST_F(FrameTest, MenuCommandsPostedToTheWindow) {
    pid_t server = startServer();
    plat::Hwnd window = plat::findWindow(hub::kWindowTitle);
    ASSERT_NE(window, plat::kNoWindow);
    EXPECT_EQ(plat::postMessage(window, plat::kMsgCommand, hub::kMenuHide, 0),
              plat::PostResult::Ok);
    EXPECT_TRUE(waitForText(stderrPath(), "[hidden]\n"));
    EXPECT_EQ(plat::postMessage(window, plat::kMsgCommand, hub::kMenuExit, 0),
              plat::PostResult::Ok);
    std::optional<int> status = waitForExit(server);
    ASSERT_TRUE(status);
    EXPECT_EQ(WEXITSTATUS(*status), 0);
    EXPECT_EQ(maskedLog(), kStart + kShutdown);
}

TEST_F(FrameTest, TerminationSignalsShutDownInOrder) {
    for (int signal : {SIGTERM, SIGINT}) {
        pid_t server = startServer({}, signal == SIGTERM ? 1 : 2);
        kill(server, signal);
        std::optional<int> status = waitForExit(server);
        ASSERT_TRUE(status);
        EXPECT_TRUE(WIFEXITED(*status));
        EXPECT_EQ(WEXITSTATUS(*status), 0);
    }
    EXPECT_EQ(maskedLog(), kStart + kShutdown + "\n" + kStart + kShutdown);
}

TEST_F(FrameTest, RemoveWithoutServerStartsNothing) {
    EXPECT_EQ(runHubserver({"REMOVE"}), 0);
    EXPECT_FALSE(std::filesystem::exists(dirs_.log()));
}

TEST_F(FrameTest, RuntimeFolderOpenToOthersIsRefused) {
    std::filesystem::create_directories(dirs_.runtime());
    chmod(dirs_.runtime().c_str(), 0755);
    std::string err = dirs_.root() + "/refused.err";
    EXPECT_EQ(runHubserver({}, err), 1);
    EXPECT_NE(readFile(err).find("HUBSERVER ERROR"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dirs_.log()));
}

TEST_F(FrameTest, OversizedLogIsTruncatedAtTheFirstEntry) {
    std::filesystem::create_directories(dirs_.state());
    writeFile(dirs_.log(), std::string(600000, 'x'));
    pid_t server = startServer();
    EXPECT_EQ(maskedLog(),
              "Maximum Debug File Length of 512 KB Exceded, Truncating to 0 KB\n\n\n" + kStart);
    EXPECT_EQ(removeServer(server), 0);
}

TEST_F(FrameTest, StaleTitleOfAKilledServerDoesNotBlock) {
    pid_t first = startServer();
    kill(first, SIGKILL);
    ASSERT_TRUE(waitForExit(first));
    pid_t second = startServer({}, 2);
    EXPECT_TRUE(stillRunning(second));
    EXPECT_EQ(removeServer(second), 0);
}

TEST_F(FrameTest, SimultaneousStartsLeaveExactlyOneServer) {
    std::string err = dirs_.root() + "/race.err";
    std::vector<pid_t> pids;
    for (int i = 0; i < 3; ++i) {
        pids.push_back(startHubserver({}, err));
        servers_.push_back(pids.back());
    }
    ASSERT_TRUE(waitForText(dirs_.log(), kRunning));
    ASSERT_TRUE(waitForText(err, kWarning, 2));
    int running = 0;
    pid_t winner = -1;
    for (pid_t pid : pids) {
        std::optional<int> status = waitForExit(pid, std::chrono::milliseconds(300));
        if (!status) {
            ++running;
            winner = pid;
        } else {
            EXPECT_EQ(WEXITSTATUS(*status), 1);
        }
    }
    ASSERT_EQ(running, 1);
    EXPECT_EQ(removeServer(winner), 0);
    EXPECT_EQ(maskedLog(), kStart + kShutdown);
}

// Without settings the server takes the default ports, which another server
// on this machine (a developer's own, a monitor session) may hold: this runs
// in a network of its own.
TEST_F(FrameTest, MissingOrMalformedIniGivesDefaults) {
    runInsidePrivateNetwork("FrameTestInPrivateNetwork.*", 1);
}

class FrameTestInPrivateNetwork : public FrameTest {};

TEST_F(FrameTestInPrivateNetwork, MissingOrMalformedIniGivesDefaults) {
    if (!insidePrivateNetwork()) {
        GTEST_SKIP() << "runs only inside the namespace made by FrameTest";
    }
    // No file: every default, the network included, and the own address from
    // the host name (an interface's when the host name gives only loopback).
    std::filesystem::remove(dirs_.config() + "/VEKMAIN.INI");
    pid_t server = startServer();
    EXPECT_EQ(removeServer(server), 0);
    std::string defaultStart = kStart;
    std::string debugLine = "   ** HUBSERVER (EXE) Started... (Debug).\n";
    defaultStart.insert(defaultStart.find(debugLine) + debugLine.size(), hostNameLogLine());
    // Lines that are no settings are ignored; the network stays on loopback.
    dirs_.writeMainIni("\x01\x02[[[\n=\n" + networkSettings() +
                       "DebugFile\n[VEK BASE\nPacketTimeout=x\n");
    server = startServer({}, 2);
    EXPECT_EQ(removeServer(server), 0);
    EXPECT_EQ(maskedLog(), defaultStart + kShutdown + "\n" + kStart + kShutdown);
}

TEST_F(FrameTest, NoNetworkSupportLeavesOutTheNetworkLines) {
    dirs_.writeMainIni("[VEK BASE 32]\nNoNetworkSupport=1\n");
    pid_t server = startServer();
    EXPECT_EQ(removeServer(server), 0);
    EXPECT_EQ(maskedLog(), startSequence(false) + shutdownSequence(false));
}

TEST_F(FrameTest, UnwritableLogFolderDoesNotStopTheServer) {
    writeFile(dirs_.root() + "/plainfile", "x");
    dirs_.writeMainIni(networkSettings() + "DebugFile=" + dirs_.root() + "/plainfile/LOG.TXT\n");
    pid_t server = startHubserver({}, stderrPath());
    servers_.push_back(server);
    ASSERT_GT(server, 0);
    // Without a log, the running server is seen through its window.
    auto deadline = std::chrono::steady_clock::now() + kLiveness;
    while (plat::findWindow(hub::kWindowTitle) == plat::kNoWindow &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_NE(plat::findWindow(hub::kWindowTitle), plat::kNoWindow);
    EXPECT_EQ(removeServer(server), 0);
}

}  // namespace
