// Starting the real hubserver program for integration tests and waiting on
// it and on its debug log with generous liveness time-outs.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "private_dirs.h"

extern char** environ;

namespace testing_support {

constexpr std::chrono::seconds kLiveness{20};

inline std::string hubserverPath() {
    const char* dir = std::getenv("VEK_BIN_DIR");
    return std::string(dir != nullptr && *dir != '\0' ? dir : VEK_BIN_DIR) + "/hubserver";
}

// Starts hubserver with these arguments; its stderr goes to `stderrPath`
// (appended) or /dev/null. Returns the pid.
inline pid_t startHubserver(const std::vector<std::string>& args,
                            const std::string& stderrPath = "/dev/null") {
    std::string path = hubserverPath();
    std::vector<std::string> text{path};
    text.insert(text.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : text) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, stderrPath.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The peak resident memory (VmHWM) of a process in KiB, or -1.
inline long peakResidentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return -1;
}

// The exit status of `pid` once it ended, or nullopt when it still runs
// after the time-out. A process that ends is reaped.
inline std::optional<int> waitForExit(pid_t pid, std::chrono::milliseconds timeout = kLiveness) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return status;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

// Runs hubserver with arguments to completion; its exit code (or -1).
inline int runHubserver(const std::vector<std::string>& args,
                        const std::string& stderrPath = "/dev/null") {
    pid_t pid = startHubserver(args, stderrPath);
    std::optional<int> status = pid > 0 ? waitForExit(pid) : std::nullopt;
    return status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
}

inline bool stillRunning(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == 0;
}

// Waits until the file holds `text` `count` times or more.
inline bool waitForText(const std::string& path, const std::string& text, int count = 1,
                        std::chrono::milliseconds timeout = kLiveness) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        std::string content = readFile(path);
        int found = 0;
        for (size_t at = content.find(text); at != std::string::npos;
             at = content.find(text, at + text.size())) {
            ++found;
        }
        if (found >= count) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

// Kills a server a test left behind.
inline void killIfRunning(pid_t pid) {
    if (pid > 0 && stillRunning(pid)) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

}  // namespace testing_support
