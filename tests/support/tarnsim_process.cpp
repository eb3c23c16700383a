#include "tarnsim_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "server_settings.h"

extern char** environ;

namespace testing_support {
namespace {

// $VEK_BIN_DIR, else the folder of the running program (every program of
// the build lands in one folder).
std::string binDir() {
    const char* dir = std::getenv("VEK_BIN_DIR");
    if (dir != nullptr && *dir != '\0')
        return dir;
    char self[4096] = {};
    ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path(self, n > 0 ? static_cast<size_t>(n) : 0);
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string outputFolder() {
    const char* dir = std::getenv("VEK_STATE_DIR");
    return dir != nullptr && *dir != '\0' ? dir : "/tmp";
}

}  // namespace

TarnsimProcess::TarnsimProcess(uint8_t node, uint16_t port,
                               const std::vector<std::string>& extraArguments) {
    static int serial = 0;
    outputPath_ = outputFolder() + "/tarnsim." + std::to_string(::getpid()) + "." +
                  std::to_string(++serial) + ".out";
    std::string program = binDir() + "/tarnsim";
    std::vector<std::string> arguments = {
        program, "--listen", "127.0.0." + std::to_string(node) + ":" + std::to_string(port)};
    arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
    std::vector<char*> argv;
    for (auto& a : arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int spawned = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        pid_ = -1;
        return;
    }
    ready_ = waitUntil(
        [this] {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return true;  // ended: not ready
            }
            return output().find("tarnsim: ready") != std::string::npos;
        },
        std::chrono::seconds(10));
    ready_ = ready_ && pid_ > 0;
}

TarnsimProcess::~TarnsimProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    ::unlink(outputPath_.c_str());
}

std::string TarnsimProcess::output() const {
    std::ifstream in(outputPath_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace testing_support
