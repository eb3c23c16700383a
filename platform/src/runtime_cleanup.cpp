// What a process that ended without tearing its loops down (SIGKILL) leaves
// in the runtime folder: the listening sockets of its loops and the titles
// of its windows.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
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
    std::string prefix = "p";
    prefix += std::to_string(pid);
    prefix += '.';
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

// The text of /proc/<pid>/stat, empty when it cannot be read. A process
// being released makes the read itself fail (ESRCH), so this reads with the
// plain calls: a stream would throw from inside its buffer and end the
// server.
std::string procStatOf(uint32_t pid) {
    std::string path = "/proc/";
    path += std::to_string(pid);
    path += "/stat";
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    std::string text;
    char buffer[512];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n < 0) {
                text.clear();
            }
            break;
        }
        text.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return text;
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
    std::string text = procStatOf(pid);
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
