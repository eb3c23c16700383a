// What a process that ended without tearing its loops down (SIGKILL) leaves
// in the runtime folder: the listening sockets of its loops and the titles
// of its windows.
#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "endpoint.h"
#include "platform/dirs.h"
#include "platform/window.h"
#include "window_title.h"

namespace plat {
namespace {

// "<runtime>/p<pid>.<slot>" of every loop the process had.
std::vector<std::string> loopSocketsOf(const std::string& dir, uint32_t pid) {
    std::vector<std::string> paths;
    DIR* folder = ::opendir(dir.c_str());
    if (folder == nullptr) {
        return paths;
    }
    std::string prefix = "p" + std::to_string(pid) + ".";
    while (dirent* entry = ::readdir(folder)) {
        std::string name = entry->d_name;
        if (name.rfind(prefix, 0) == 0 &&
            name.find_first_not_of("0123456789", prefix.size()) == std::string::npos) {
            paths.push_back(dir + "/" + name);
        }
    }
    ::closedir(folder);
    return paths;
}

}  // namespace

bool processEnded(uint32_t pid) {
    if (pid == 0) {
        return false;
    }
    if (::kill(static_cast<pid_t>(pid), 0) != 0) {
        return errno == ESRCH;
    }
    // A zombie has closed its descriptors already; only its parent's wait is missing.
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    if (text.empty()) {
        return true;  // being released: signals still reach it, its /proc entry is gone
    }
    size_t close = text.rfind(')');  // the program name may hold blanks and parentheses
    return close != std::string::npos && close + 2 < text.size() &&
           (text[close + 2] == 'Z' || text[close + 2] == 'X');
}

void removeRuntimeFilesOf(uint32_t pid) {
    std::string dir = runtimeDir();
    if (dir.empty() || !processEnded(pid)) {
        return;
    }
    // No probe of the sockets: the process has ended, so no live process
    // owns its pid, and a connect to a socket the kernel has not released
    // yet could wait on its full backlog.
    for (const std::string& path : loopSocketsOf(dir, pid)) {
        ::unlink(path.c_str());
    }
    detail::removeTitlesOf(pid);
}

}  // namespace plat
