#include "client_reaper.h"

#include <signal.h>

#include <cerrno>
#include <fstream>
#include <set>
#include <string>

#include "client_registry.h"
#include "debuglog.h"
#include "platform/window.h"

namespace hub {
namespace {

constexpr uint64_t kReapTimer = 1;
constexpr uint32_t kReapIntervalMs = 1000;

plat::Hwnd gReaperWindow = plat::kNoWindow;

// Gone, or a zombie its parent has not reaped yet.
bool processEnded(uint32_t pid) {
    if (::kill(static_cast<pid_t>(pid), 0) != 0) {
        return errno == ESRCH;
    }
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    size_t close = text.rfind(')');  // the program name may hold blanks and parentheses
    return close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z';
}

}  // namespace

void ReapEndedClients() {
    std::set<uint32_t> ended;
    for (const _Client& client : ClientList()) {
        // The window's handle names its process (a client registers only
        // its own windows).
        auto pid = static_cast<uint32_t>(client.ClientHandle >> 32);
        if (pid == 0 || !processEnded(pid)) {
            continue;
        }
        _Debug_Internal(0, "   ** HUBSERVER (EXE) Client %d removed: its process %u has ended.\n",
                        client.ClientID, pid);
        UnRegisterClient(client.ClientID);
        ended.insert(pid);
    }
    for (uint32_t pid : ended) {
        plat::removeRuntimeFilesOf(pid);
    }
}

bool startClientReaper() {
    gReaperWindow = plat::createWindow([](plat::Message& m) -> int64_t {
        if (m.msg == plat::kMsgTimer && m.wParam == kReapTimer) {
            ReapEndedClients();
        }
        return 0;
    });
    return gReaperWindow != plat::kNoWindow &&
           plat::setTimer(gReaperWindow, kReapTimer, kReapIntervalMs);
}

void stopClientReaper() {
    if (gReaperWindow != plat::kNoWindow) {
        plat::destroyWindow(gReaperWindow);
        gReaperWindow = plat::kNoWindow;
    }
}

}  // namespace hub
