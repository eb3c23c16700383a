// Two PCs, each with its own hubserver in its own network namespace, joined
// by a veth pair: a client application on the first sends a 100000-byte
// message to the second, where a client application receives it whole.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "private_dirs.h"
#include "server_process.h"
#include "two_pc_network.h"

namespace {

using namespace testing_support;

constexpr const char* kLength = "100000";

// Private folders and settings of one PC; the environment that selects them.
std::string preparePc(const std::string& root, const char* ownAddress) {
    for (const char* folder : {"config", "state", "run"}) {
        std::filesystem::create_directories(root + "/" + folder);
        // The runtime folder must be private, or nobody starts there.
        std::filesystem::permissions(root + "/" + folder, std::filesystem::perms::owner_all);
    }
    writeFile(root + "/config/VEKMAIN.INI", std::string("[VEK BASE 32]\nVEKBaseAddress=") +
                                                ownAddress +
                                                "\nMessageDelayTime=0\nAutoShutdown=1\n");
    return "env VEK_CONFIG_DIR=" + root + "/config VEK_STATE_DIR=" + root +
           "/state VEK_RUNTIME_DIR=" + root + "/run VEK_HUBSERVER=" + hubserverPath() + " ";
}

std::string peerProgram() {
    return std::filesystem::path(hubserverPath()).parent_path().string() + "/large_message_peer";
}

std::string readLine(FILE* from) {
    char line[256] = {};
    return std::fgets(line, sizeof line, from) != nullptr ? line : "";
}

TEST(LargeTwoPc, HundredThousandBytesCrossFromOneServerToTheOther) {
    std::string why;
    std::unique_ptr<TwoPcNetwork> net = TwoPcNetwork::make(why);
    if (!net) {
        GTEST_SKIP() << "two network namespaces joined by a veth pair cannot be made here (" << why
                     << "): neither 'ip netns' as root nor 'unshare -rn' works";
    }
    PrivateDirs dirs;
    std::string sender = preparePc(dirs.root() + "/pc1", TwoPcNetwork::kFirstAddress);
    std::string receiver = preparePc(dirs.root() + "/pc2", TwoPcNetwork::kSecondAddress);

    FILE* receiving = ::popen(
        net->commandIn(1, receiver + peerProgram() + " receive " + kLength + " 2>&1").c_str(), "r");
    ASSERT_NE(receiving, nullptr);
    ASSERT_EQ(readLine(receiving), "ready\n");

    FILE* sending =
        ::popen(net->commandIn(0, sender + peerProgram() + " send " + TwoPcNetwork::kSecondAddress +
                                      " " + kLength + " 2>&1")
                    .c_str(),
                "r");
    ASSERT_NE(sending, nullptr);
    EXPECT_EQ(readLine(sending), "sent 1\n");
    EXPECT_EQ(readLine(sending), "done\n");
    EXPECT_EQ(::pclose(sending), 0);

    EXPECT_EQ(readLine(receiving), std::string("received ") + kLength + " intact\n");
    EXPECT_EQ(::pclose(receiving), 0);
}

}  // namespace
