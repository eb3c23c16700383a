#include "server_settings.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "udp_peer.h"

namespace testing_support {
namespace {

std::string envOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : fallback;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

}  // namespace

pid_t serverChildPid() {
    DIR* proc = ::opendir("/proc");
    pid_t found = -1;
    while (dirent* e = proc != nullptr ? ::readdir(proc) : nullptr) {
        std::string stat = readFile(std::string("/proc/") + e->d_name + "/stat");
        size_t close = stat.rfind(')');
        if (stat.empty() || close == std::string::npos ||
            stat.find("(hubserver)") == std::string::npos) {
            continue;
        }
        char state = 0;
        int ppid = 0;
        if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &ppid) == 2 &&
            ppid == ::getpid() && state != 'Z') {
            found = std::atoi(e->d_name);
        }
    }
    if (proc != nullptr) {
        ::closedir(proc);
    }
    return found;
}

ServerPorts writeServerSettings(const std::string& extra) {
    ServerPorts p{freeUdpPort(), freeUdpPort()};
    std::string dir = envOr("VEK_CONFIG_DIR", "");
    ::mkdir(dir.c_str(), 0700);
    std::ofstream(dir + "/VEKMAIN.INI", std::ios::binary)
        << "[VEK BASE 32]\nRecvSocketPort=" << p.receive << "\nSendSocketPort=" << p.send
        << "\nVEKBaseAddress=127.0.0.1\nMessageDelayTime=0\n"
        << extra;
    return p;
}

bool serverWindowGone() {
    std::string path = envOr("VEK_RUNTIME_DIR", "") + "/VEKBASE Application (32 Bit)";
    struct stat st {};
    return ::stat(path.c_str(), &st) != 0;
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout,
               std::chrono::milliseconds pause) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(pause);
    }
    return true;
}

}  // namespace testing_support
