#include "server_launch.h"

#include <sys/wait.h>

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

// Timer IDs of the library's own housekeeping lie above every timer ID of
// the timer exports (those are positive 32-bit values).
constexpr uint64_t kReaperTimerId = uint64_t{1} << 40;
constexpr uint32_t kReaperPeriodMs = 500;

// Servers this process started: a server that ends is a child to reap.
struct Children {
    std::mutex mutex;
    std::vector<pid_t> pids;
};

// One launch at a time in this process.
struct LaunchLock {
    std::mutex mutex;
};

Children& children() {
    return staticInstance<Children>();
}

// Reaps the children that ended; true while some still run.
bool reapChildren() {
    Children& c = children();
    std::lock_guard<std::mutex> lock(c.mutex);
    std::erase_if(c.pids, [](pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) != 0; });
    return !c.pids.empty();
}

void watchChild(pid_t pid) {
    {
        std::lock_guard<std::mutex> lock(children().mutex);
        children().pids.push_back(pid);
    }
    // The reaper timer runs on the hidden window; install it there.
    plat::Hwnd hidden = hiddenWindow();
    if (hidden != plat::kNoWindow) {
        plat::postMessage(hidden, kMsgStartTimer, kReaperTimerId, kReaperPeriodMs);
    }
}

void dispatchPendingMessages() {
    plat::Message m;
    while (plat::peekMessage(m)) {
        plat::dispatchMessage(m);
    }
}

// Waits for the started server's window, handling the calling thread's own
// messages meanwhile and sleeping on its queue between looks.
plat::Hwnd awaitServerWindow() {
    auto deadline = Clock::now() + kStartLimit;
    for (;;) {
        dispatchPendingMessages();
        plat::Hwnd server = plat::findWindow(wire::kServerWindowTitle);
        if (server != plat::kNoWindow) {
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
    plat::Hwnd server = plat::findWindow(wire::kServerWindowTitle);
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
    std::vector<pid_t>().swap(children().pids);
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

}  // namespace hubclient
