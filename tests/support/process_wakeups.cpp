#include "process_wakeups.h"

#include <dirent.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace testing_support {

uint64_t voluntarySwitchesOf(pid_t pid, pid_t exceptThread) {
    uint64_t total = 0;
    std::string dir = "/proc/" + std::to_string(pid) + "/task";
    DIR* tasks = ::opendir(dir.c_str());
    while (dirent* e = tasks != nullptr ? ::readdir(tasks) : nullptr) {
        if (e->d_name[0] == '.' || std::atoi(e->d_name) == exceptThread) {
            continue;
        }
        std::ifstream status(dir + "/" + e->d_name + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0) {
                total += std::stoull(line.substr(line.find(':') + 1));
            }
        }
    }
    if (tasks != nullptr) {
        ::closedir(tasks);
    }
    return total;
}

}  // namespace testing_support
