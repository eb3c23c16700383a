// Who may bind the server's UDP ports while it runs: simulated devices of the
// same user on loopback addresses, yes; a second wildcard socket (another
// server, any program) or any socket of another user, no.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>

#include "ipc_test_support.h"
#include "network_fixture.h"

namespace {

using namespace testing_support;
using std::chrono::milliseconds;

const std::string kFailed = "   ** HUBSERVER (EXE) Startup Error (Network Failed to Initialize).\n";

std::string bindErrorLines(const char* socketName, uint16_t port) {
    return std::string("   ** HUBSERVER (EXE) Startup Error (Unable to bind ") + socketName +
           " to Port " + std::to_string(port) + ", Error = " + std::to_string(EADDRINUSE) + ").\n" +
           kFailed;
}

using NetworkPortsTest = NetworkFixture;

// A wildcard socket of this user that shares the port (SO_REUSEPORT, as a
// second server would open it) makes the start fail instead of splitting
// the devices' replies between the two.
TEST_F(NetworkPortsTest, AnotherWildcardSocketOnAPortFailsTheStart) {
    struct Case {
        bool sendPort;
        const char* socketName;
    };
    for (const Case& c : {Case{true, "Sending Socket"}, Case{false, "Recieve Socket"}}) {
        uint16_t port = c.sendPort ? static_cast<uint16_t>(config_.sendSocketPort) : recvPort();
        UdpPeer sharer(0, port);
        ASSERT_TRUE(sharer.bound());
        newLog();
        EXPECT_FALSE(startNetwork()) << c.socketName;
        EXPECT_FALSE(hub::NetworkInstalled());
        EXPECT_EQ(newLog(), bindErrorLines(c.socketName, port));
        hub::RemoveNetworkInterface();
    }
}

// Devices on 127.0.0.x bind the receive port before and after the server
// starts; each gets what is sent to its own address, the server what the
// devices send to it.
TEST_F(NetworkPortsTest, LoopbackDevicesShareTheReceivePort) {
    UdpPeer before(loopback(2), recvPort());
    ASSERT_TRUE(before.bound());
    ASSERT_TRUE(startNetwork()) << newLog();
    UdpPeer after(loopback(3), recvPort());
    ASSERT_TRUE(after.bound());
    ASSERT_GT(hub::RegisterNetworkClient(clientID_, hub::NetworkRegistration), 0);

    std::vector<uint8_t> toFirst = datagram(0x10, 1, 0x8001);
    std::vector<uint8_t> toSecond = datagram(0x10, 2, 0x8002);
    EXPECT_GT(sendFromServer(loopback(2), toFirst), 0);
    EXPECT_GT(sendFromServer(loopback(3), toSecond), 0);
    auto first = before.receive(milliseconds(5000));
    auto second = after.receive(milliseconds(5000));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->bytes, toFirst);
    EXPECT_EQ(second->bytes, toSecond);

    std::vector<uint8_t> reply = datagram(0x10, 0x8001, 0x8001);
    ASSERT_TRUE(before.sendTo(loopback(1), recvPort(), reply));
    ASSERT_TRUE(waitForDeliveries(1));
    EXPECT_EQ(deliveries_.back().datagram(), reply);
    EXPECT_EQ(deliveries_.back().address(), loopback(2));
}

// Runs a Python program as user nobody that tries to bind the port in every
// way a local program could (wildcard or a loopback address, SO_REUSEADDR or
// SO_REUSEPORT) and prints how many binds succeeded.
int bindsOfUserNobody(uint16_t port) {
    std::ostringstream command;
    command
        << "cd / && setpriv --reuid=nobody --regid=nogroup --clear-groups /usr/bin/python3 -c '\n"
           "import socket\n"
           "ok = 0\n"
           "for address in (\"0.0.0.0\", \"127.0.0.1\", \"127.0.0.2\"):\n"
           "    for option in (socket.SO_REUSEADDR, socket.SO_REUSEPORT):\n"
           "        s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)\n"
           "        s.setsockopt(socket.SOL_SOCKET, option, 1)\n"
           "        try:\n"
           "            s.bind((address, "
        << port
        << "))\n"
           "            ok += 1\n"
           "        except OSError:\n"
           "            pass\n"
           "        s.close()\n"
           "print(ok)\n' 2>&1";
    FILE* p = ::popen(command.str().c_str(), "r");
    if (p == nullptr) {
        return -1;
    }
    char line[128] = {};
    bool read = std::fgets(line, sizeof line, p) != nullptr;
    int status = ::pclose(p);
    if (!read || status != 0) {
        return -1;
    }
    return std::atoi(line);
}

TEST_F(NetworkPortsTest, ProgramsOfOtherUsersCannotBindTheServerPorts) {
    if (::geteuid() != 0 || ::access("/usr/bin/setpriv", X_OK) != 0 ||
        ::access("/usr/bin/python3", X_OK) != 0) {
        GTEST_SKIP() << "needs root and setpriv to run a program as user nobody";
    }
    ASSERT_TRUE(startNetwork()) << newLog();
    EXPECT_EQ(bindsOfUserNobody(recvPort()), 0);
    EXPECT_EQ(bindsOfUserNobody(static_cast<uint16_t>(config_.sendSocketPort)), 0);
    hub::RemoveNetworkInterface();
    // The check itself works: with the server gone, nobody binds every way.
    EXPECT_EQ(bindsOfUserNobody(recvPort()), 6);
}

// Kills the server at the end of the test, however the test ends.
struct ServerGuard {
    pid_t pid = -1;
    ~ServerGuard() { killIfRunning(pid); }
};

// A second hubserver with other folders (so its single-instance check does
// not see the first) but the same ports ends with the bind error lines.
TEST(NetworkPortsProcess, SecondServerOnTheSamePortsFailsItsStart) {
    uint16_t sendPort = freeUdpPort();
    uint16_t recvPort = freeUdpPort();
    std::ostringstream ini;
    ini << "[VEK BASE 32]\nSendSocketPort=" << sendPort << "\nRecvSocketPort=" << recvPort
        << "\nVEKBaseAddress=127.0.0.1\nAutoShutdown=0\n";

    PrivateDirs first;
    first.writeMainIni(ini.str());
    ServerGuard running{startHubserver({})};
    ASSERT_GT(running.pid, 0);
    ASSERT_TRUE(waitForText(first.log(), kRunningLine)) << readFile(first.log());
    {
        PrivateDirs second;  // names its folders in the environment from here on
        second.writeMainIni(ini.str());
        ServerGuard refused{startHubserver({})};
        ASSERT_GT(refused.pid, 0);
        EXPECT_TRUE(waitForExit(refused.pid, std::chrono::seconds(5)).has_value())
            << "the second server kept running";
        std::string log = readFile(second.log());
        EXPECT_NE(log.find(bindErrorLines("Sending Socket", sendPort)), std::string::npos) << log;
        EXPECT_EQ(log.find(kRunningLine), std::string::npos) << log;
    }
    EXPECT_TRUE(stillRunning(running.pid));
}

}  // namespace
