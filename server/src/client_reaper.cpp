#include "client_reaper.h"

#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <map>
#include <set>

#include "client_registry.h"
#include "debuglog.h"
#include "platform/window.h"

namespace hub {
namespace {

constexpr uint64_t kReapTimer = 1;
constexpr uint32_t kReapIntervalMs = 1000;
constexpr uint32_t kMsgProcessEnded = 0x8001;  // wParam: a watched pidfd, now readable

plat::Hwnd gReaperWindow = plat::kNoWindow;

// Watched client processes by process ID (main thread only); a pidfd of -1
// marks a process the fallback timer looks after.
std::map<uint32_t, int> gWatched;
bool gTimerRunning = false;

// The window's handle names its process (a client registers only its own
// windows).
uint32_t processOf(const _Client& client) {
    return plat::windowProcess(client.ClientHandle);
}

std::set<uint32_t> clientProcesses() {
    std::set<uint32_t> pids;
    for (const _Client& client : ClientList()) {
        if (uint32_t pid = processOf(client); pid != 0) {
            pids.insert(pid);
        }
    }
    return pids;
}

void removeClientsOf(uint32_t pid) {
    for (const _Client& client : ClientList()) {
        if (processOf(client) != pid) {
            continue;
        }
        _Debug_Internal(0, "   ** HUBSERVER (EXE) Client %d removed: its process %u has ended.\n",
                        client.ClientID, pid);
        UnRegisterClient(client.ClientID);
    }
    plat::removeRuntimeFilesOf(pid);
}

void stopWatching(int pidfd) {
    if (pidfd >= 0) {
        plat::unwatch(pidfd);
        ::close(pidfd);
    }
}

// A pidfd watched on the reaper window, or -1 when none could be set up.
int watchProcess(uint32_t pid) {
    int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0));
    if (pidfd >= 0 && !plat::watchReadable(pidfd, gReaperWindow, kMsgProcessEnded)) {
        ::close(pidfd);
        pidfd = -1;
    }
    return pidfd;
}

bool timerNeeded() {
    for (const auto& [pid, pidfd] : gWatched) {
        if (pidfd < 0) {
            return true;
        }
    }
    return false;
}

void updateTimer() {
    bool needed = timerNeeded();
    if (needed == gTimerRunning) {
        return;
    }
    gTimerRunning = needed ? plat::setTimer(gReaperWindow, kReapTimer, kReapIntervalMs)
                           : !plat::killTimer(gReaperWindow, kReapTimer);
}

bool isReadable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN) != 0;
}

// Any process of the user may post to the window: only a readable pidfd of
// ours, announced by our own loop, counts.
void onProcessEnded(const plat::Message& m) {
    if (m.senderPid != static_cast<uint32_t>(::getpid()) || m.wParam > INT32_MAX) {
        return;
    }
    int pidfd = static_cast<int>(m.wParam);
    for (auto it = gWatched.begin(); it != gWatched.end(); ++it) {
        if (it->second == pidfd && isReadable(pidfd)) {
            uint32_t pid = it->first;
            stopWatching(pidfd);
            gWatched.erase(it);
            removeClientsOf(pid);
            WatchClientProcesses();
            return;
        }
    }
}

int64_t reaperProcedure(plat::Message& m) {
    if (m.msg == kMsgProcessEnded) {
        onProcessEnded(m);
    } else if (m.msg == plat::kMsgTimer && m.wParam == kReapTimer) {
        ReapEndedClients();
    }
    return 0;
}

}  // namespace

void WatchClientProcesses() {
    if (gReaperWindow == plat::kNoWindow) {
        return;
    }
    std::set<uint32_t> pids = clientProcesses();
    std::erase_if(gWatched, [&](const auto& entry) {
        if (pids.count(entry.first) != 0) {
            return false;
        }
        stopWatching(entry.second);
        // Its clients went another way (an unregistration, a window found
        // gone); a process that has ended still leaves its files to remove.
        if (plat::processEnded(entry.first)) {
            plat::removeRuntimeFilesOf(entry.first);
        }
        return true;
    });
    for (uint32_t pid : pids) {
        if (gWatched.count(pid) == 0) {
            gWatched[pid] = watchProcess(pid);
        }
    }
    updateTimer();
}

void ReapEndedClients() {
    for (uint32_t pid : clientProcesses()) {
        if (plat::processEnded(pid)) {
            removeClientsOf(pid);
        }
    }
    WatchClientProcesses();
}

bool startClientReaper() {
    gReaperWindow = plat::createWindow(reaperProcedure);
    return gReaperWindow != plat::kNoWindow;
}

void stopClientReaper() {
    for (const auto& [pid, pidfd] : gWatched) {
        stopWatching(pidfd);
    }
    gWatched.clear();
    gTimerRunning = false;
    if (gReaperWindow != plat::kNoWindow) {
        plat::destroyWindow(gReaperWindow);
        gReaperWindow = plat::kNoWindow;
    }
}

}  // namespace hub
