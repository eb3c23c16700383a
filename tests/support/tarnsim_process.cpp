#include "tarnsim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

extern char** environ;

namespace testing_support {

std::string tarnsimPath() {
    const char* dir = std::getenv("VEK_BIN_DIR");
#ifdef VEK_BIN_DIR
    if (!dir)
        dir = VEK_BIN_DIR;
#endif
    return std::string(dir ? dir : ".") + "/tarnsim";
}

TarnsimProcess::TarnsimProcess(const std::string& program, const std::vector<std::string>& args,
                               std::chrono::milliseconds startTimeout) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    outputFd_ = pipeFds[0];
    if (rc != 0) {
        pid_ = -1;
        return;
    }
    readOutput(startTimeout, true);
}

TarnsimProcess::~TarnsimProcess() {
    stop();
    if (outputFd_ >= 0)
        close(outputFd_);
}

void TarnsimProcess::readOutput(std::chrono::milliseconds timeout, bool untilReady) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    char buffer[4096];
    while (outputFd_ >= 0) {
        if (untilReady && output_.find("tarnsim: ready\n") != std::string::npos) {
            ready_ = true;
            return;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return;
        pollfd fd{outputFd_, POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(left.count())) <= 0)
            continue;
        ssize_t got = read(outputFd_, buffer, sizeof buffer);
        if (got <= 0)
            return;  // the program ended
        output_.append(buffer, static_cast<size_t>(got));
    }
}

int TarnsimProcess::stop() {
    if (pid_ <= 0)
        return -1;
    kill(pid_, SIGTERM);
    int status = 0;
    pid_t done;
    do {
        done = waitpid(pid_, &status, 0);
    } while (done < 0 && errno == EINTR);
    pid_ = -1;
    readOutput(std::chrono::milliseconds(500), false);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace testing_support
