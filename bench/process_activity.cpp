#include "process_activity.h"

#include <dirent.h>
#include <linux/perf_event.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace bench_support {
namespace {

std::vector<pid_t> threadsOf(pid_t pid) {
    std::vector<pid_t> tids;
    std::string dir = "/proc/" + std::to_string(pid) + "/task";
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) {
        return tids;
    }
    while (dirent* e = ::readdir(d)) {
        if (e->d_name[0] != '.') {
            tids.push_back(static_cast<pid_t>(std::atoi(e->d_name)));
        }
    }
    ::closedir(d);
    return tids;
}

// The id of the system-call entry tracepoint, or 0 without tracefs.
uint64_t syscallTracepoint() {
    for (const char* path : {"/sys/kernel/tracing/events/raw_syscalls/sys_enter/id",
                             "/sys/kernel/debug/tracing/events/raw_syscalls/sys_enter/id"}) {
        std::ifstream in(path);
        uint64_t id = 0;
        if (in >> id) {
            return id;
        }
    }
    return 0;
}

int openCounter(uint32_t type, uint64_t config, pid_t tid) {
    perf_event_attr attr{};
    attr.size = sizeof attr;
    attr.type = type;
    attr.config = config;
    attr.inherit = 1;  // threads the thread starts later count too
    return static_cast<int>(
        ::syscall(SYS_perf_event_open, &attr, tid, -1, -1, PERF_FLAG_FD_CLOEXEC));
}

uint64_t sum(const std::vector<int>& fds) {
    uint64_t total = 0;
    for (int fd : fds) {
        uint64_t value = 0;
        if (::read(fd, &value, sizeof value) == sizeof value) {
            total += value;
        }
    }
    return total;
}

}  // namespace

double cpuSecondsOf(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line)) {
        return 0;
    }
    // Fields after the command (which may hold blanks) start after ")".
    size_t close = line.rfind(')');
    if (close == std::string::npos) {
        return 0;
    }
    unsigned long utime = 0;
    unsigned long stime = 0;
    if (std::sscanf(line.c_str() + close + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu",
                    &utime, &stime) != 2) {
        return 0;
    }
    return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

uint64_t cpuNanosecondsOf(pid_t pid) {
    uint64_t total = 0;
    std::string task = "/proc/" + std::to_string(pid) + "/task/";
    for (pid_t tid : threadsOf(pid)) {
        std::ifstream in(task + std::to_string(tid) + "/schedstat");
        uint64_t onCpu = 0;
        if (in >> onCpu) {
            total += onCpu;
        }
    }
    return total;
}

ProcessActivity::ProcessActivity(pid_t pid) {
    uint64_t tracepoint = syscallTracepoint();
    if (tracepoint == 0) {
        return;
    }
    for (pid_t tid : threadsOf(pid)) {
        int calls = openCounter(PERF_TYPE_TRACEPOINT, tracepoint, tid);
        int switches = openCounter(PERF_TYPE_SOFTWARE, PERF_COUNT_SW_CONTEXT_SWITCHES, tid);
        int cpu = openCounter(PERF_TYPE_SOFTWARE, PERF_COUNT_SW_TASK_CLOCK, tid);
        if (calls < 0 || switches < 0 || cpu < 0) {
            for (int fd : {calls, switches, cpu}) {
                if (fd >= 0) {
                    ::close(fd);
                }
            }
            continue;
        }
        syscalls_.push_back(calls);
        switches_.push_back(switches);
        cpu_.push_back(cpu);
    }
}

ProcessActivity::~ProcessActivity() {
    for (int fd : syscalls_) {
        ::close(fd);
    }
    for (int fd : switches_) {
        ::close(fd);
    }
    for (int fd : cpu_) {
        ::close(fd);
    }
}

ProcessActivity::Totals ProcessActivity::read() const {
    return Totals{sum(syscalls_), sum(switches_), sum(cpu_)};
}

pid_t findChild(const char* name) {
    DIR* d = ::opendir("/proc");
    if (d == nullptr) {
        return -1;
    }
    pid_t found = -1;
    pid_t self = ::getpid();
    while (dirent* e = ::readdir(d)) {
        pid_t pid = static_cast<pid_t>(std::atoi(e->d_name));
        if (pid <= 0) {
            continue;
        }
        std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        if (!std::getline(in, line)) {
            continue;
        }
        size_t open = line.find('(');
        size_t close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos) {
            continue;
        }
        std::string command = line.substr(open + 1, close - open - 1);
        int parent = 0;
        std::sscanf(line.c_str() + close + 2, "%*c %d", &parent);
        if (parent == self && command == name) {
            found = pid;
            break;
        }
    }
    ::closedir(d);
    return found;
}

}  // namespace bench_support
