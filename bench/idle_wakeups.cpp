// An idle server with one client that started it: counts the wake-ups of
// every thread of both processes over a stretch of idle time (each
// voluntary context switch is a sleep that a wake-up ended). The client
// registers through libhubclient (which starts the server), with a receive
// and a monitor subscription, then does nothing.
//
//   idle_wakeups [seconds]   (default 30)
//
// Runs in private folders with its own hubserver (private_env_preinit.cpp).
// Exit status 0 when neither process woke up.
#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "hubclient.h"
#include "server_settings.h"

namespace {

// Voluntary context switches of every thread of the process.
uint64_t wakeUpsOf(pid_t pid) {
    uint64_t total = 0;
    std::string dir = "/proc/" + std::to_string(pid) + "/task";
    DIR* tasks = ::opendir(dir.c_str());
    while (dirent* e = tasks != nullptr ? ::readdir(tasks) : nullptr) {
        if (e->d_name[0] == '.') {
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

void onReceive(_Message*, uint32_t) {}
void onMonitor(_Message*, NetMonCBReason_t) {}

}  // namespace

int main(int argc, char** argv) {
    int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
    testing_support::writeServerSettings();
    int32_t registration = VEKBaseStartup();
    pid_t server = testing_support::serverChildPid();
    if (registration < 1 || server <= 0 ||
        RegisterReceiveCallback_CB(registration, &onReceive, 0) < 1 ||
        RegisterNetMonCallback_CB(registration, &onMonitor) < 1) {
        std::fprintf(stderr, "no server started or registration refused\n");
        return 2;
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));  // start-up work settles
    uint64_t clientBefore = wakeUpsOf(::getpid());
    uint64_t serverBefore = wakeUpsOf(server);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    // This thread's own sleep ended once; the other threads of the client
    // are the library's.
    uint64_t client = wakeUpsOf(::getpid()) - clientBefore - 1;
    uint64_t served = wakeUpsOf(server) - serverBefore;
    std::printf(
        "idle for %d s: client wake-ups %llu (besides its main thread), server wake-ups %llu\n",
        seconds, static_cast<unsigned long long>(client), static_cast<unsigned long long>(served));
    VEKBaseCleanup(registration);
    return client == 0 && served == 0 ? 0 : 1;
}
