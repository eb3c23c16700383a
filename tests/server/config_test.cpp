#include "config.h"

#include <gtest/gtest.h>

#include "private_dirs.h"

namespace {

using testing_support::PrivateDirs;

void expectDefaults(const hub::ServerConfig& c, const PrivateDirs& dirs) {
    EXPECT_EQ(c.debugFile, dirs.log());
    EXPECT_EQ(c.noNetworkSupport, 0);
    EXPECT_EQ(c.sendSocketPort, 3049);
    EXPECT_EQ(c.recvSocketPort, 3048);
    EXPECT_EQ(c.vekBaseAddress, "0.0.0.0");
    EXPECT_EQ(c.messageDelayTime, 100);
    EXPECT_EQ(c.doubleUpBroadcasts, 0);
    EXPECT_EQ(c.doubleUpDelayTime, 100);
    EXPECT_EQ(c.messagesOut, 0);
    EXPECT_EQ(c.autoShutdown, 1);
    EXPECT_EQ(c.packetTimeout, 5000);
}

TEST(ServerConfig, MissingOrMalformedFileGivesDefaults) {
    PrivateDirs dirs;
    expectDefaults(hub::readServerConfig(), dirs);
    EXPECT_TRUE(std::filesystem::is_directory(dirs.state()));  // made for the default log

    dirs.writeMainIni("\x01\xff garbage [[[\n=oops\n[VEK BASE 32\nno equals\nAutoShutdown\n");
    expectDefaults(hub::readServerConfig(), dirs);
}

TEST(ServerConfig, ReadsEveryKey) {
    PrivateDirs dirs;
    dirs.writeMainIni(
        "[vek base 32]\n"
        "DebugFile=/tmp/x/LOG.TXT\nNoNetworkSupport=1\nSendSocketPort=4049\n"
        "RecvSocketPort=4048\nVEKBaseAddress=127.0.0.1\nMessageDelayTime=5\n"
        "DoubleUpBroadcasts=1\nDoubleUpDelayTime=7\nMessagesOut=1\nAutoShutdown=0\n"
        "[VEK BASE]\nPacketTimeout=250\n");
    hub::ServerConfig c = hub::readServerConfig();
    EXPECT_EQ(c.debugFile, "/tmp/x/LOG.TXT");
    EXPECT_EQ(c.noNetworkSupport, 1);
    EXPECT_EQ(c.sendSocketPort, 4049);
    EXPECT_EQ(c.recvSocketPort, 4048);
    EXPECT_EQ(c.vekBaseAddress, "127.0.0.1");
    EXPECT_EQ(c.messageDelayTime, 5);
    EXPECT_EQ(c.doubleUpBroadcasts, 1);
    EXPECT_EQ(c.doubleUpDelayTime, 7);
    EXPECT_EQ(c.messagesOut, 1);
    EXPECT_EQ(c.autoShutdown, 0);
    EXPECT_EQ(c.packetTimeout, 250);
}

TEST(ServerConfig, PacketTimeoutRule) {
    PrivateDirs dirs;
    struct Case {
        const char* ini;
        int32_t expected;
    };
    const Case cases[] = {
        {"[VEK BASE]\nPacketTimeout=70000\n", 5000},
        {"[VEK BASE]\nPacketTimeout=60000\n", 60000},
        {"[VEK BASE]\nPacketTimeout=-1\n", 5000},
        {"[VEK BASE 32]\nPacketTimeout=1000\n", 5000},  // wrong section: ignored
    };
    for (const Case& c : cases) {
        dirs.writeMainIni(c.ini);
        EXPECT_EQ(hub::readServerConfig().packetTimeout, c.expected) << c.ini;
    }
}

TEST(ServerConfig, RelativeDebugFileLivesInStateFolder) {
    PrivateDirs dirs;
    dirs.writeMainIni("[VEK BASE 32]\nDebugFile=mylog.txt\n");
    EXPECT_EQ(hub::readServerConfig().debugFile, dirs.state() + "/mylog.txt");
    dirs.writeMainIni("[VEK BASE 32]\nDebugFile=" + std::string(5000, 'a') + "\n");
    EXPECT_EQ(hub::readServerConfig().debugFile, dirs.log());
}

}  // namespace
