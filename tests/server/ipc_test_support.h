// Integration test support for the client IPC: a real hubserver in private
// folders on free UDP ports of loopback, test clients on the test thread,
// and client processes (ipc_client_peer) that can be killed or left lagging.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "network_test_support.h"
#include "private_dirs.h"
#include "server_process.h"
#include "test_client.h"

namespace testing_support {

const std::string kRunningLine = "** HUBSERVER (EXE) Running...\n\n";
const std::string kExitingLine = "** HUBSERVER (EXE) Exiting...\n";

// Time-stamp lines become "[TS]"; everything else stays byte for byte.
inline std::string stampsMasked(const std::string& log) {
    static const std::regex stamp(R"(\[\d\d/\d\d/\d{4} - \d\d:\d\d:\d\d\.\d{2,3}\]\n)");
    return std::regex_replace(log, stamp, "[TS]\n");
}

struct ServerSettings {
    int autoShutdown = 0;
    bool noNetwork = false;
    int messageDelayTime = 0;
};

class IpcServerTest : public ::testing::Test {
  protected:
    void TearDown() override {
        clients_.clear();
        plat::shutdownThreadLoop();
        killIfRunning(server_);
    }

    // Starts hubserver and waits until it is running.
    void startServer(const ServerSettings& settings = {}) {
        launchServer(settings);
        ASSERT_TRUE(waitForText(dirs_.log(), kRunningLine)) << readFile(dirs_.log());
    }

    // Writes the settings and starts hubserver without waiting for it.
    void launchServer(const ServerSettings& settings) {
        recvPort_ = freeUdpPort();
        std::ostringstream ini;
        ini << "[VEK BASE 32]\n"
            << "SendSocketPort=" << freeUdpPort() << "\n"
            << "RecvSocketPort=" << recvPort_ << "\n"
            << "VEKBaseAddress=127.0.0.1\n"
            << "MessageDelayTime=" << settings.messageDelayTime << "\n"
            << "AutoShutdown=" << settings.autoShutdown << "\n"
            << "NoNetworkSupport=" << (settings.noNetwork ? 1 : 0) << "\n"
            << extraIni_;
        dirs_.writeMainIni(ini.str());
        server_ = startHubserver({}, dirs_.root() + "/server.err");
        ASSERT_GT(server_, 0);
    }

    // A new client on the test thread.
    TestClient& newClient() {
        clients_.push_back(std::make_unique<TestClient>());
        EXPECT_NE(clients_.back()->server(), plat::kNoWindow);
        return *clients_.back();
    }

    // A registered client; its ID in `clientID`.
    TestClient& registeredClient(int32_t& clientID) {
        TestClient& client = newClient();
        int64_t id = client.registerWin32();
        EXPECT_GT(id, 0);
        clientID = static_cast<int32_t>(id);
        return client;
    }

    std::string maskedLog() const { return stampsMasked(readFile(dirs_.log())); }

    bool serverExited(std::chrono::milliseconds timeout = kLiveness) {
        std::optional<int> status = waitForExit(server_, timeout);
        if (status) {
            server_ = -1;
        }
        return status.has_value();
    }

    PrivateDirs dirs_;
    std::string extraIni_;  // further sections of VEKMAIN.INI, set before startServer
    pid_t server_ = -1;
    uint16_t recvPort_ = 0;
    std::vector<std::unique_ptr<TestClient>> clients_;
};

// A client process (ipc_client_peer) with pipes to its stdin and stdout.
class PeerProcess {
  public:
    PeerProcess() {
        int in[2];
        int out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
            return;
        }
        std::string path = std::string(VEK_BIN_DIR) + "/ipc_client_peer";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        char* argv[] = {path.data(), nullptr};
        if (posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv, environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        toPeer_ = in[1];
        fromPeer_ = out[0];
    }
    ~PeerProcess() {
        ::close(toPeer_);
        ::close(fromPeer_);
        killIfRunning(pid_);
    }
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    pid_t pid() const { return pid_; }

    // The next line the peer printed, without its line end; empty when it
    // printed none within the liveness time-out or ended.
    std::string readLine() {
        auto deadline = std::chrono::steady_clock::now() + kLiveness;
        std::string line;
        for (;;) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{fromPeer_, POLLIN, 0};
            char c = 0;
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0 ||
                ::read(fromPeer_, &c, 1) != 1) {
                return {};
            }
            if (c == '\n') {
                return line;
            }
            line += c;
        }
    }

    void writeLine(const std::string& line) {
        std::string text = line + "\n";
        [[maybe_unused]] ssize_t n = ::write(toPeer_, text.data(), text.size());
    }

    void killNow() {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  private:
    pid_t pid_ = -1;
    int toPeer_ = -1;
    int fromPeer_ = -1;
};

}  // namespace testing_support
