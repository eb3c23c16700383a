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
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "hubclient.h"
#include "process_wakeups.h"
#include "server_settings.h"

namespace {

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
    // This thread only sleeps for the measurement; the client's other
    // threads are the library's.
    using testing_support::voluntarySwitchesOf;
    uint64_t clientBefore = voluntarySwitchesOf(::getpid(), ::gettid());
    uint64_t serverBefore = voluntarySwitchesOf(server);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    uint64_t client = voluntarySwitchesOf(::getpid(), ::gettid()) - clientBefore;
    uint64_t served = voluntarySwitchesOf(server) - serverBefore;
    std::printf("idle for %d s: client wake-ups %llu (library threads), server wake-ups %llu\n",
                seconds, static_cast<unsigned long long>(client),
                static_cast<unsigned long long>(served));
    VEKBaseCleanup(registration);
    return client == 0 && served == 0 ? 0 : 1;
}
