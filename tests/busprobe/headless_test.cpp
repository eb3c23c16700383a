// busprobe without a window: --capture of a tarnsim session, read back with
// tshark and the dissector, and --send of a message file.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTest>
#include <algorithm>
#include <chrono>

#include "gui_fixture.h"
#include "message_file.h"
#include "tarnsim_process.h"
#include "temp_folder.h"
#include "tshark_run.h"

extern char** environ;

namespace busprobe::testing {
namespace {

// busprobe with `args`, its output going to `output`.
pid_t spawnBusprobe(const std::vector<std::string>& args, const std::string& output) {
    std::string program = std::string(VEK_BIN_DIR) + "/busprobe";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    int result = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return result == 0 ? pid : -1;
}

int waitExit(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

size_t lines(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(Headless, CaptureOfATarnsimSessionFiltersOnTarnFields) {
    serverPorts();
    testing_support::TarnsimProcess simulator(
        testing_support::tarnsimPath(),
        {"--listen", "127.0.0.2:" + std::to_string(serverPorts().receive)});
    ASSERT_TRUE(simulator.ready()) << simulator.output();
    TempFolder dir;
    std::string capture = dir.path("tarn.pcapng");
    std::string output = dir.path("capture.out");
    pid_t pid = spawnBusprobe({"--capture", capture, "--duration", "20"}, output);
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(waitFor([&] { return readFile(output).find("capturing") != std::string::npos; }))
        << readFile(output);
    std::string list =
        std::string(VEK_BIN_DIR) + "/tarnlist 127.0.0.2 > '" + dir.path("tarnlist.out") + "' 2>&1";
    ASSERT_EQ(std::system(list.c_str()), 0) << readFile(dir.path("tarnlist.out"));
    QTest::qWait(300);
    ASSERT_EQ(::kill(pid, SIGINT), 0);
    EXPECT_EQ(waitExit(pid), 0) << readFile(output);
    std::string printed = readFile(output);
    EXPECT_NE(printed.find("busprobe: Received "), std::string::npos) << printed;
    EXPECT_NE(printed.find(", dropped 0, discarded 0\n"), std::string::npos) << printed;
    if (!tsharkInstalled()) {
        GTEST_SKIP() << "tshark is not installed (Debian package tshark): capture not decoded";
    }
    std::string errors = dir.path("tshark.err");
    std::string all = tsharkFields(capture, " -e vek.message_number", errors);
    // tarnlist lists with TarnGetAllObjsPlus (1035), page by page: a request
    // and a response each, the last page OK, the others partial.
    std::string listings = tsharkFields(capture, " -Y 'tarn.kind == 1035' -e vek.response", errors);
    std::string ok = tsharkFields(
        capture, " -Y 'tarn.kind == 1035 && tarn.status_text == \"OK\"' -e vek.response", errors);
    std::string partial = tsharkFields(
        capture, " -Y 'tarn.kind == 1035 && tarn.status_value == 32768' -e vek.response", errors);
    ASSERT_GT(lines(all), 0u) << readFile(errors);
    EXPECT_GE(lines(listings), 2u) << readFile(errors);
    EXPECT_EQ(lines(listings) % 2, 0u) << listings;
    EXPECT_EQ(lines(ok), 1u) << ok;
    EXPECT_EQ(lines(ok) + lines(partial), lines(listings) / 2) << partial;
}

TEST(Headless, SendRepeatsAMessageFilesMessagePacedByTheInterval) {
    serverPorts();
    TempFolder dir;
    std::string file = dir.path("PING.MSG");
    ASSERT_TRUE(writeMessageFile(file, {0x0102, 0x0361, {{FieldType::Word, "1FF"}}}));
    testing_support::UdpPeer peer(testing_support::loopback(3), serverPorts().receive);
    ASSERT_TRUE(peer.bound());
    std::string output = dir.path("send.out");
    pid_t pid = spawnBusprobe(
        {"--send", file, "--to", "127.0.0.3", "--repeat", "3", "--interval", "50"}, output);
    ASSERT_GT(pid, 0);
    std::vector<std::vector<uint8_t>> got;
    auto start = std::chrono::steady_clock::now();
    while (got.size() < 3 && std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
        if (auto d = peer.receive(std::chrono::milliseconds(100))) {
            got.push_back(d->bytes);
        }
    }
    EXPECT_EQ(waitExit(pid), 0) << readFile(output);
    ASSERT_EQ(got.size(), 3u);
    for (const auto& bytes : got) {
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 9, bytes.end()),
                  (std::vector<uint8_t>{0xFF, 0x01}));
    }
    EXPECT_NE(got[0][7] | got[0][8] << 8, got[1][7] | got[1][8] << 8);  // a number each
    EXPECT_NE(readFile(output).find("busprobe: sent 3 messages to 127.0.0.3"), std::string::npos);

    struct Case {
        std::vector<std::string> args;
        const char* error;
    };
    const Case mistakes[] = {
        {{"--send", file}, "--send needs --to ADDRESS"},
        {{"--send", file, "--to", "127.0.0.300"}, "--send needs --to ADDRESS"},
        {{"--capture", "x.pcapng", "--filter-object", "ZZ"}, "--filter-object and"},
        {{"--capture", "x.pcapng", "--duration", "soon"}, "--duration needs seconds"},
    };
    for (const auto& c : mistakes) {
        pid_t bad = spawnBusprobe(c.args, output);
        EXPECT_EQ(waitExit(bad), 2) << c.error;
        EXPECT_NE(readFile(output).find(c.error), std::string::npos) << readFile(output);
    }
}

}  // namespace
}  // namespace busprobe::testing
