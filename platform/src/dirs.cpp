// Config, state and runtime folders. Every call reads the environment again,
// so a test (or a user) can move the folders at any time.
#include "platform/dirs.h"

#include <dlfcn.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace plat {
namespace {

std::string envOrEmpty(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

std::string homeDir() {
    std::string home = envOrEmpty("HOME");
    if (!home.empty()) {
        return home;
    }
    const passwd* pw = getpwuid(getuid());
    return pw != nullptr && pw->pw_dir != nullptr ? std::string(pw->pw_dir) : std::string();
}

// $override, else $xdgVar/vek, else ~/fallback (empty when there is no home).
std::string userDir(const char* override, const char* xdgVar, const char* fallback) {
    std::string dir = envOrEmpty(override);
    if (!dir.empty()) {
        return dir;
    }
    std::string xdg = envOrEmpty(xdgVar);
    if (!xdg.empty()) {
        return xdg + "/vek";
    }
    std::string home = homeDir();
    return home.empty() ? std::string() : home + "/" + fallback;
}

std::string parentOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// A runtime folder is private when it is a real folder (not a link) of the
// calling user that nobody else may enter or list.
bool isPrivateDir(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        return false;
    }
    return S_ISDIR(st.st_mode) && st.st_uid == getuid() && (st.st_mode & 077) == 0;
}

}  // namespace

std::string configDir() {
    return userDir("VEK_CONFIG_DIR", "XDG_CONFIG_HOME", ".config/vek");
}

std::string stateDir() {
    return userDir("VEK_STATE_DIR", "XDG_STATE_HOME", ".local/state/vek");
}

namespace {

// A folder under /tmp can be made by anyone first. When the default one is
// not ours (a link, another user's, open to others), the same numbered
// alternatives are tried in every process of the user, so the server and its
// clients still meet; the first process to move says so once.
constexpr int kDefaultRuntimeAlternatives = 16;

std::string defaultRuntimeDir() {
    std::string base = "/tmp/vek-" + std::to_string(getuid());
    for (int i = 0; i <= kDefaultRuntimeAlternatives; ++i) {
        std::string dir = i == 0 ? base : base + "." + std::to_string(i);
        if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
            continue;
        }
        if (!isPrivateDir(dir)) {
            continue;
        }
        static std::atomic<bool> told{false};
        if (i > 0 && !told.exchange(true)) {
            std::fprintf(stderr,
                         "vek: runtime folder %s is not private to this user; using %s "
                         "instead\n",
                         base.c_str(), dir.c_str());
        }
        return dir;
    }
    return {};
}

}  // namespace

std::string runtimeDir() {
    std::string dir = envOrEmpty("VEK_RUNTIME_DIR");
    if (dir.empty()) {
        std::string xdg = envOrEmpty("XDG_RUNTIME_DIR");
        if (xdg.empty()) {
            return defaultRuntimeDir();
        }
        dir = xdg + "/vek";
    }
    if (!makeDirs(parentOf(dir))) {
        return {};
    }
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        return {};
    }
    return isPrivateDir(dir) ? dir : std::string();
}

bool makeDirs(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode);
    }
    std::string parent = parentOf(path);
    if (parent != path && !makeDirs(parent)) {
        return false;
    }
    if (mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) {
        return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    return false;
}

std::string programDir() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) {
        return {};
    }
    return parentOf(std::string(buf, static_cast<size_t>(n)));
}

std::string moduleDir(const void* addressInside) {
    Dl_info info{};
    if (dladdr(addressInside, &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    char resolved[PATH_MAX];
    if (realpath(info.dli_fname, resolved) == nullptr) {
        return {};
    }
    return parentOf(resolved);
}

}  // namespace plat
