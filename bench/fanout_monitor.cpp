// One network monitor process for network_receive_bench: registers a
// network-monitor callback through libhubclient, counts the received
// messages in its slot of a shared counter file, and writes one byte to the
// notify descriptor when its count reaches the target the benchmark set
// (and one byte once it is registered). Ends when its standard input closes.
//
//   fanout_monitor <slot> <counter file> <notify fd>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>

#include "fanout_shared.h"
#include "hubclient.h"

namespace {

FanoutCounters* gShared = nullptr;
int gSlot = 0;
int gNotify = -1;
uint64_t gNotified = 0;

void signal() {
    [[maybe_unused]] ssize_t w = ::write(gNotify, "x", 1);
}

void onMonitor(_Message* /*message*/, NetMonCBReason_t reason) {
    if (reason != MessageReceived) {
        return;
    }
    uint64_t count = gShared->counts[gSlot].fetch_add(1) + 1;
    uint64_t target = gShared->target.load();
    if (count >= target && gNotified < target) {
        gNotified = target;
        signal();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        return 2;
    }
    gSlot = std::atoi(argv[1]);
    gNotify = std::atoi(argv[3]);
    int fd = ::open(argv[2], O_RDWR | O_CLOEXEC);
    if (fd < 0 || gSlot < 0 || gSlot >= kFanoutMaxMonitors) {
        return 2;
    }
    void* map = ::mmap(nullptr, sizeof(FanoutCounters), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED) {
        return 2;
    }
    gShared = static_cast<FanoutCounters*>(map);
    int32_t registration = VEKBaseStartup();
    if (registration < 1 || RegisterNetMonCallback_CB(registration, onMonitor) < 1) {
        return 1;
    }
    signal();  // registered
    char ignored;
    while (::read(STDIN_FILENO, &ignored, 1) > 0) {
    }
    VEKBaseCleanup(registration);
    return 0;
}
