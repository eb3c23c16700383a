// Programs that load libhubclient.so or libobjlink.so at run time (a C host
// with dlopen, a Python host with ctypes) start up, send, receive, end in one
// of four ways and must then exit promptly. Each run gets its own private
// folders and its own hubserver, which must end with it.
#include <fcntl.h>
#include <ftw.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kRuns = 20;
// How long the main code may take, and how long the process may take to end
// after it: a second is expected, a run counts as hung only past this limit
// (the machine is shared).
constexpr milliseconds kMainLimit{15000};
constexpr milliseconds kHangLimit{4000};
constexpr milliseconds kServerEndLimit{10000};
const char* const kModes[] = {"cleanup", "keep", "dlclose", "bare"};

std::string binDir() {
    const char* dir = std::getenv("VEK_BIN_DIR");
    return dir != nullptr ? dir : VEK_BIN_DIR;
}

struct Host {
    const char* name;
    std::vector<std::string> command;  // followed by folder, library, mode
};

Host cHost() {
    return {"dlopen", {binDir() + "/dlopen_host"}};
}

Host pythonHost() {
    return {"ctypes", {"python3", std::string(VEK_SOURCE_DIR) + "/tests/hosts/ctypes_host.py"}};
}

int removeEntry(const char* path, const struct stat*, int, FTW*) {
    return ::remove(path);
}

// Private config, state and runtime folders for one run.
class PrivateFolders {
  public:
    PrivateFolders() {
        char pattern[] = "/tmp/vekhost.XXXXXX";
        root_ = ::mkdtemp(pattern) != nullptr ? pattern : "";
    }
    ~PrivateFolders() {
        if (!root_.empty()) {
            ::nftw(root_.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
        }
    }
    bool valid() const { return !root_.empty(); }
    std::string runtime() const { return root_ + "/run"; }
    std::vector<std::string> environment() const {
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e) {
            if (std::string(*e).rfind("VEK_", 0) != 0) {
                env.emplace_back(*e);
            }
        }
        env.push_back("VEK_CONFIG_DIR=" + root_ + "/config");
        env.push_back("VEK_STATE_DIR=" + root_ + "/state");
        env.push_back("VEK_RUNTIME_DIR=" + runtime());
        env.push_back("VEK_HUBSERVER=" + binDir() + "/hubserver");
        return env;
    }

  private:
    std::string root_;
};

bool serverWindowIn(const std::string& runtime) {
    struct stat st {};
    return ::stat((runtime + "/VEKBASE Application (32 Bit)").c_str(), &st) == 0;
}

enum class RunEnd { Exited, Failed, MainTooSlow, Hung };

const char* endName(RunEnd end) {
    switch (end) {
        case RunEnd::Exited:
            return "exited";
        case RunEnd::Failed:
            return "failed";
        case RunEnd::MainTooSlow:
            return "main code did not finish";
        case RunEnd::Hung:
            return "hung after its main code";
    }
    return "?";
}

struct RunResult {
    RunEnd end = RunEnd::Failed;
    std::string output;
    bool serverEnded = false;
    milliseconds exitTime{0};  // from "main returned" to the end of the process
};

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> out;
    for (std::string& t : texts) {
        out.push_back(t.data());
    }
    out.push_back(nullptr);
    return out;
}

// Reads the child's output until "main returned" or the deadline.
bool awaitMainReturned(int fd, RunResult& result, Clock::time_point deadline) {
    char buffer[512];
    while (result.output.find("main returned") == std::string::npos) {
        auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
        pollfd p{fd, POLLIN, 0};
        if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) != 1) {
            return false;
        }
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            return false;
        }
        result.output.append(buffer, static_cast<size_t>(n));
    }
    return true;
}

// Waits for the child to end; false when it did not within the time-out.
bool awaitExit(pid_t pid, milliseconds timeout, int& status) {
    Clock::time_point deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            return true;
        }
        ::usleep(5000);
    }
    return false;
}

RunResult runHost(const Host& host, const char* library, const char* mode) {
    RunResult result;
    PrivateFolders folders;
    if (!folders.valid()) {
        return result;
    }
    std::vector<std::string> args = host.command;
    args.insert(args.end(), {binDir(), library, mode});
    std::vector<std::string> env = folders.environment();
#if defined(__SANITIZE_ADDRESS__)
    // Under the sanitizer a host also fails when it leaves memory behind,
    // most telling after dlclose, when nothing of the library points to it.
    env.insert(env.begin(), "ASAN_OPTIONS=detect_leaks=1");
#endif
    std::vector<char*> argv = pointers(args);
    std::vector<char*> envp = pointers(env);

    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    pid_t pid = -1;
    int spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        return result;
    }
    int status = 0;
    if (!awaitMainReturned(out[0], result, Clock::now() + kMainLimit)) {
        result.end = RunEnd::MainTooSlow;
    } else {
        Clock::time_point returned = Clock::now();
        if (!awaitExit(pid, kHangLimit, status)) {
            result.end = RunEnd::Hung;
        }
        result.exitTime = std::chrono::duration_cast<milliseconds>(Clock::now() - returned);
    }
    if (result.end == RunEnd::MainTooSlow || result.end == RunEnd::Hung) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    } else {
        result.end =
            WIFEXITED(status) && WEXITSTATUS(status) == 0 ? RunEnd::Exited : RunEnd::Failed;
    }
    ::close(out[0]);
    // The host's registrations are gone, so its server shuts down by itself.
    Clock::time_point serverDeadline = Clock::now() + kServerEndLimit;
    while (serverWindowIn(folders.runtime()) && Clock::now() < serverDeadline) {
        ::usleep(10000);
    }
    result.serverEnded = !serverWindowIn(folders.runtime());
    return result;
}

struct HostCase {
    Host (*host)();
    const char* library;
};

class HostExit : public ::testing::TestWithParam<HostCase> {};

TEST_P(HostExit, EndsPromptlyAfterItsMainCodeEveryTime) {
    Host host = GetParam().host();
#if defined(__SANITIZE_ADDRESS__)
    if (host.command.front() == "python3") {
        GTEST_SKIP() << "the Python interpreter does not load the sanitizer runtime first";
    }
#endif
    int hung = 0;
    int failed = 0;
    int serversLeft = 0;
    milliseconds slowestExit{0};
    for (int run = 0; run < kRuns; ++run) {
        const char* mode = kModes[run % std::size(kModes)];
        RunResult r = runHost(host, GetParam().library, mode);
        hung += r.end == RunEnd::Hung ? 1 : 0;
        failed += r.end == RunEnd::Failed || r.end == RunEnd::MainTooSlow ? 1 : 0;
        serversLeft += r.serverEnded ? 0 : 1;
        slowestExit = std::max(slowestExit, r.exitTime);
        EXPECT_STREQ(endName(r.end), "exited") << host.name << " " << GetParam().library << " run "
                                               << run << " (" << mode << "): " << r.output;
    }
    RecordProperty("slowest_exit_ms", static_cast<int>(slowestExit.count()));
    std::printf("%s %s: slowest exit after main %lld ms\n", host.name, GetParam().library,
                static_cast<long long>(slowestExit.count()));
    EXPECT_EQ(hung, 0);
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(serversLeft, 0);
}

INSTANTIATE_TEST_SUITE_P(Hosts, HostExit,
                         ::testing::Values(HostCase{cHost, "hubclient"}, HostCase{cHost, "objlink"},
                                           HostCase{pythonHost, "hubclient"},
                                           HostCase{pythonHost, "objlink"}),
                         [](const ::testing::TestParamInfo<HostCase>& info) {
                             return std::string(info.param.host().name) + "_" + info.param.library;
                         });

}  // namespace
