// Helpers for the message-loop tests: a private runtime folder per test, a
// loop pump with a deadline, the byte pattern shared with the peer program,
// and a peer process started from the build's bin folder.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/window.h"
#include "window_peer_protocol.h"

namespace plat::test {

// Every test gets its own runtime folder; the thread's loop is torn down
// afterwards so the next test starts clean.
class RuntimeDirTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/vek-window-test-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        runtime_ = dir_ + "/run";
        ::setenv("VEK_RUNTIME_DIR", runtime_.c_str(), 1);
    }
    void TearDown() override {
        shutdownThreadLoop();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    std::string dir_;
    std::string runtime_;
};

// Dispatches the calling thread's messages until `done` or the time-out.
inline bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        // Short slices: `done` may turn true without a message (another thread).
        waitForMessage(std::min(left, std::chrono::milliseconds(20)));
        Message m;
        while (peekMessage(m)) {
            dispatchMessage(m);
        }
    }
    return true;
}

inline std::vector<uint8_t> patternBytes(size_t size) {
    std::vector<uint8_t> out(size);
    for (size_t i = 0; i < size; ++i) {
        out[i] = peer::patternByte(i);
    }
    return out;
}

inline int openFdCount() {
    int n = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
        ++n;
    }
    return n;
}

// CPU time the calling thread has used, in microseconds.
inline long threadCpuMicros() {
    rusage u{};
    ::getrusage(RUSAGE_THREAD, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000000L + u.ru_utime.tv_usec +
           u.ru_stime.tv_usec;
}

// A running peer program; killed and reaped when the object goes.
class PeerProcess {
  public:
    explicit PeerProcess(const std::vector<std::string>& args) {
        int out[2];
        int in[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(in, O_CLOEXEC) != 0) {
            return;
        }
        std::string path = std::string(VEK_BIN_DIR) + "/platform_window_peer";
        std::vector<std::string> all{path};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::dup2(in[0], 0);
            ::execv(path.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        ::close(in[0]);
        stdout_ = out[0];
        stdin_ = in[1];
    }
    ~PeerProcess() {
        kill(SIGKILL);
        if (stdout_ >= 0) {
            ::close(stdout_);
        }
        closeStdin();
    }
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    pid_t pid() const { return pid_; }

    // One line of the peer's output, without the newline; empty on time-out.
    std::string readLine(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            auto nl = buffered_.find('\n');
            if (nl != std::string::npos) {
                std::string line = buffered_.substr(0, nl);
                buffered_.erase(0, nl + 1);
                return line;
            }
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{stdout_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                return {};
            }
            char chunk[256];
            ssize_t n = ::read(stdout_, chunk, sizeof(chunk));
            if (n <= 0) {
                return {};
            }
            buffered_.append(chunk, static_cast<size_t>(n));
        }
    }

    // The handle the peer printed as "<word> <hex>", or kNoWindow.
    Hwnd readHandle(const std::string& word) {
        std::string line = readLine();
        if (line.rfind(word + " ", 0) != 0) {
            return kNoWindow;
        }
        return std::stoull(line.substr(word.size() + 1), nullptr, 16);
    }

    void write(const std::string& text) {
        [[maybe_unused]] ssize_t n = ::write(stdin_, text.data(), text.size());
    }
    void closeStdin() {
        if (stdin_ >= 0) {
            ::close(stdin_);
            stdin_ = -1;
        }
    }
    void kill(int sig) {
        if (pid_ > 0) {
            ::kill(pid_, sig);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    // Waits for the peer to end by itself; its exit status or -1.
    int wait() {
        int status = 0;
        if (pid_ <= 0 || ::waitpid(pid_, &status, 0) != pid_) {
            return -1;
        }
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    pid_t pid_ = -1;
    int stdout_ = -1;
    int stdin_ = -1;
    std::string buffered_;
};

}  // namespace plat::test
