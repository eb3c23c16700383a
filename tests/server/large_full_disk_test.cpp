// A full disk under the debug log and the receive folder. The outer test
// runs this program again in a mount namespace whose /tmp is a small tmpfs
// (where the test's private folders live); the inner test fills it up.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "large_transfer_support.h"

namespace {

using namespace testing_support;

constexpr const char* kInsideVariable = "VEK_TEST_INSIDE_SMALL_TMP";

TEST(FullDisk, LogAndReceiveFolderOnAFullDisk) {
    if (std::getenv(kInsideVariable) != nullptr) {
        GTEST_SKIP() << "already inside the namespace";
    }
    if (std::system("unshare -rm sh -c 'mount -t tmpfs -o size=2m none /tmp' >/dev/null 2>&1") !=
        0) {
        GTEST_SKIP() << "'unshare -rm' does not work here: no small /tmp for this test";
    }
    char self[4096] = {};
    ASSERT_GT(::readlink("/proc/self/exe", self, sizeof self - 1), 0);
    std::string command = std::string(kInsideVariable) +
                          "=1 unshare -rm sh -c 'mount -t tmpfs -o size=2m none /tmp && exec "
                          "\"$0\" \"$@\"' " +
                          self + " --gtest_filter=FullDiskInside.* 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, n);
    }
    EXPECT_EQ(::pclose(pipe), 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << output;
}

class FullDiskInside : public LargeTransferTest {};

// Fills the file system of `folder` with one file; true when it is full.
bool fillUp(const std::string& path) {
    std::ofstream filler(path, std::ios::binary);
    std::vector<char> block(64 * 1024, 'f');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {
        filler.flush();
    }
    return true;
}

TEST_F(FullDiskInside, ServerKeepsServingAndLeavesNoPartialFile) {
    if (std::getenv(kInsideVariable) == nullptr) {
        GTEST_SKIP() << "runs only inside the namespace made by FullDisk";
    }
    startAll();
    std::string filler = dirs_.root() + "/filler";
    fillUp(filler);

    // A file the peer sends cannot be written: refused, nothing left behind.
    std::optional<Reserved> start = peer_->ask(1, 0x6501, startOfFile(3000, "big.bin"));
    ASSERT_TRUE(start && start->data.size() == 5 && start->data[0] == 0);
    uint16_t id = start->u16(1);
    std::optional<Reserved> reply = peer_->ask(2, 0x6502, packet(id, 1, 1, pattern(3000)));
    EXPECT_TRUE(isRefusal(reply, 2, 0x6502));
    EXPECT_FALSE(std::filesystem::exists(dirs_.state() + "/received/big.bin"));

    // Log text that cannot be written is lost, the server goes on.
    EXPECT_EQ(client_->writeDebugText("lost on a full disk\n"), 1);
    EXPECT_TRUE(client_->versionText(clientID_));

    // With room again, the log is written again.
    std::filesystem::remove(filler);
    EXPECT_EQ(client_->writeDebugText("written again\n"), 1);
    EXPECT_NE(readFile(dirs_.log()).find("written again\n"), std::string::npos);
}

}  // namespace
