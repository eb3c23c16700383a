#include "server_launch.h"

#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <vector>

#include "library_thread.h"
#include "platform/dirs.h"
#include "server_link.h"
#include "static_instance.h"
#include "wire/ipc.h"

namespace hubclient {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kServerProgram = "hubserver";
constexpr const char* kServerOverride = "VEK_HUBSERVER";
constexpr std::chrono::milliseconds kStartLimit{5000};
constexpr std::chrono::milliseconds kPollPause{20};

// A server this process started is a child to reap once it ends. Its
// pidfd is watched on the hidden window, so a waiting client makes no
// wake-ups. Without pidfds (an old kernel) a housekeeping timer looks every
// 500 ms while some child runs. Its ID lies above every timer ID of the
// timer exports (those are positive 32-bit values).
constexpr uint64_t kReaperTimerId = uint64_t{1} << 40;
constexpr uint32_t kReaperPeriodMs = 500;

struct Child {
    pid_t pid = -1;
    int pidfd = -1;  // -1: looked after by the timer
};

struct Children {
    std::mutex mutex;
    std::vector<Child> list;
};

// One launch at a time in this process.
struct LaunchLock {
    std::mutex mutex;
};

Children& children() {
    return staticInstance<Children>();
}

int openPidfd(pid_t pid) {
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

void closeChild(Child& child) {
    if (child.pidfd >= 0) {
        plat::unwatch(child.pidfd);
        ::close(child.pidfd);
        child.pidfd = -1;
    }
}

// Reaps the children that ended; true while some looked after by the timer
// still run.
bool reapChildren() {
    Children& c = children();
    std::lock_guard<std::mutex> lock(c.mutex);
    std::erase_if(c.list, [](Child& child) {
        if (::waitpid(child.pid, nullptr, WNOHANG) == 0) {
            return false;
        }
        closeChild(child);
        return true;
    });
    return std::any_of(c.list.begin(), c.list.end(), [](const Child& x) { return x.pidfd < 0; });
}

void watchChild(pid_t pid) {
    Child child{pid, openPidfd(pid)};
    {
        std::lock_guard<std::mutex> lock(children().mutex);
        children().list.push_back(child);
    }
    // Watches and timers belong to the hidden window's thread; install there.
    plat::Hwnd hidden = hiddenWindow();
    if (hidden == plat::kNoWindow) {
        return;
    }
    if (child.pidfd >= 0) {
        plat::postMessage(hidden, kMsgWatchChild, static_cast<uint64_t>(child.pidfd), 0);
    } else {
        plat::postMessage(hidden, kMsgStartTimer, kReaperTimerId, kReaperPeriodMs);
    }
}

void dispatchPendingMessages() {
    plat::Message m;
    while (plat::peekMessage(m)) {
        plat::dispatchMessage(m);
    }
}

// Looks for the server's title until `found` accepts the holder (or there
// is none and `found` accepts that) or the deadline passes, handling the
// calling thread's own messages meanwhile and sleeping on its queue between
// looks. The last holder seen, or kNoWindow at the deadline.
template <typename Accept>
plat::Hwnd lookForServer(Clock::time_point deadline, Accept found) {
    for (;;) {
        dispatchPendingMessages();
        plat::Hwnd server = plat::findWindow(wire::kServerWindowTitle);
        if (found(server)) {
            return server;
        }
        auto now = Clock::now();
        if (now >= deadline) {
            return plat::kNoWindow;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
        plat::waitForMessage(std::min(left + std::chrono::milliseconds(1), kPollPause));
    }
}

// A killed server's title (and its UDP ports) outlive its process until its
// last thread has closed its descriptors: such a holder is no server.
bool isLiveServer(plat::Hwnd server) {
    return server != plat::kNoWindow && !plat::processEnded(plat::windowProcess(server));
}

// Waits for the started server's window.
plat::Hwnd awaitServerWindow() {
    return lookForServer(Clock::now() + kStartLimit, isLiveServer);
}

// The server holding the title, kNoWindow for none. The title of a server
// that has ended is waited out, within the start limit: a new server started
// meanwhile could take neither the title nor the ports.
plat::Hwnd runningServer() {
    return lookForServer(Clock::now() + kStartLimit, [](plat::Hwnd server) {
        return server == plat::kNoWindow || isLiveServer(server);
    });
}

// The override, then next to the library (the build tree), then the programs
// folder of the installation the library belongs to, then PATH.
std::string serverProgramPath() {
    std::string libraryDir = plat::moduleDir(reinterpret_cast<const void*>(&findOrStartServer));
    std::vector<std::string> dirs{libraryDir};
    if (!libraryDir.empty()) {
        dirs.push_back(libraryDir + "/" + VEK_PROGRAMS_FROM_LIBRARY);
    }
    return plat::locateProgram(kServerProgram, kServerOverride, dirs);
}

}  // namespace

bool findOrStartServer() {
    std::lock_guard<std::mutex> lock(staticInstance<LaunchLock>().mutex);
    if (serverWindow() != plat::kNoWindow) {
        return true;
    }
    plat::Hwnd server = runningServer();
    if (server == plat::kNoWindow) {
        std::string path = serverProgramPath();
        pid_t pid = path.empty() ? -1 : plat::spawnProgram(path, {});
        if (pid <= 0) {
            return false;
        }
        watchChild(pid);
        server = awaitServerWindow();
    }
    if (server == plat::kNoWindow) {
        return false;
    }
    rememberServer(server);
    return true;
}

void forgetChildren() {
    std::lock_guard<std::mutex> lock(children().mutex);
    for (Child& child : children().list) {
        if (child.pidfd >= 0) {
            ::close(child.pidfd);  // the hidden window's loop has ended
        }
    }
    std::vector<Child>().swap(children().list);
}

bool handleServiceTimer(plat::Hwnd hidden, uint64_t timerId) {
    if (timerId != kReaperTimerId) {
        return false;
    }
    if (!reapChildren()) {
        plat::killTimer(hidden, kReaperTimerId);
    }
    return true;
}

bool isChildPidfd(int pidfd) {
    std::lock_guard<std::mutex> lock(children().mutex);
    return pidfd >= 0 && std::any_of(children().list.begin(), children().list.end(),
                                     [&](const Child& x) { return x.pidfd == pidfd; });
}

void watchChildOnWindow(plat::Hwnd hidden, int pidfd) {
    // Any process of the user may post to the hidden window: only a pidfd
    // this library opened is watched.
    if (!isChildPidfd(pidfd)) {
        return;
    }
    if (plat::watchReadable(pidfd, hidden, kMsgChildEnded)) {
        return;
    }
    // Not watchable: the timer looks after the child instead.
    {
        std::lock_guard<std::mutex> lock(children().mutex);
        for (Child& child : children().list) {
            if (child.pidfd == pidfd) {
                ::close(child.pidfd);
                child.pidfd = -1;
            }
        }
    }
    plat::setTimer(hidden, kReaperTimerId, kReaperPeriodMs);
}

void childEnded() {
    reapChildren();
}

}  // namespace hubclient
