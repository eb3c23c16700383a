// Finding and starting helper programs (the client library starts hubserver).
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "platform/dirs.h"

extern char** environ;

namespace plat {
namespace {

bool isExecutableFile(const std::string& path) {
    return !path.empty() && access(path.c_str(), X_OK) == 0;
}

std::string searchPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) {
        return {};
    }
    std::istringstream dirs{std::string(path)};
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + name;
        if (isExecutableFile(candidate)) {
            return candidate;
        }
    }
    return {};
}

// stdin and stdout go to /dev/null, stderr stays, every other descriptor is
// closed, so the child holds none of the caller's sockets or files.
bool prepareFileActions(posix_spawn_file_actions_t& actions) {
    return posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0) == 0 &&
           posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0) == 0 &&
           posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0;
}

// A new session, so a signal from the caller's terminal (Ctrl-C, hang-up)
// does not reach the child; default signal handling and an empty mask.
bool prepareAttributes(posix_spawnattr_t& attr) {
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    short flags = POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    return posix_spawnattr_setflags(&attr, flags) == 0 &&
           posix_spawnattr_setsigmask(&attr, &none) == 0 &&
           posix_spawnattr_setsigdefault(&attr, &all) == 0;
}

}  // namespace

std::string locateProgram(const std::string& name, const std::string& envOverride,
                          const std::string& nextToDir) {
    return locateProgram(name, envOverride, std::vector<std::string>{nextToDir});
}

std::string locateProgram(const std::string& name, const std::string& envOverride,
                          const std::vector<std::string>& searchDirs) {
    if (!envOverride.empty()) {
        const char* override = std::getenv(envOverride.c_str());
        if (override != nullptr && *override != '\0') {
            return override;
        }
    }
    for (const std::string& dir : searchDirs) {
        if (!dir.empty() && isExecutableFile(dir + "/" + name)) {
            return dir + "/" + name;
        }
    }
    return searchPath(name);
}

pid_t spawnProgram(const std::string& path, const std::vector<std::string>& args) {
    std::vector<std::string> argvText;
    argvText.push_back(path);
    argvText.insert(argvText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : argvText) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    pid_t pid = -1;
    if (!prepareFileActions(actions) || !prepareAttributes(attr) ||
        posix_spawn(&pid, path.c_str(), &actions, &attr, argv.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

}  // namespace plat
