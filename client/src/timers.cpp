#include "timers.h"

#include <algorithm>
#include <climits>
#include <mutex>
#include <optional>
#include <vector>

#include "hubclient.h"
#include "library_thread.h"
#include "registrations.h"
#include "static_instance.h"

namespace hubclient {
namespace {

// Shorter periods are raised to this, as window timers are.
constexpr uint32_t kMinimumPeriodMs = 10;

struct Timer {
    int32_t registrationId = 0;
    int32_t timerId = 0;
    plat::Hwnd window = plat::kNoWindow;  // none for a callback timer
    uint32_t callParameter = 0;           // window message ID, or callback parameter
    VEKTimerCallback_t callback = nullptr;
};

struct Timers {
    std::mutex mutex;
    std::vector<Timer> list;  // in order of installation
    int32_t nextId = 1;
};

Timers& timers() {
    return staticInstance<Timers>();
}

bool isTimerId(uint64_t id) {
    return id >= 1 && id <= static_cast<uint64_t>(INT32_MAX);
}

int32_t takeTimerId(Timers& t) {
    int32_t id = t.nextId;
    t.nextId = id == INT32_MAX ? 1 : id + 1;
    return id;
}

std::optional<Timer> findTimer(int32_t timerId) {
    Timers& t = timers();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = std::find_if(t.list.begin(), t.list.end(),
                           [&](const Timer& x) { return x.timerId == timerId; });
    return it == t.list.end() ? std::nullopt : std::optional<Timer>(*it);
}

void stopPlatformTimer(int32_t timerId) {
    plat::Hwnd hidden = hiddenWindow();
    if (hidden != plat::kNoWindow) {
        plat::postMessage(hidden, kMsgStopTimer, static_cast<uint64_t>(timerId), 0);
    }
}

// Installs the record and asks the library thread to start its platform
// timer. Posting (instead of waiting) keeps a window thread that installs a
// timer while the library thread waits on that window from stalling both.
int32_t install(Timer timer, uint32_t periodMs) {
    if (!isRegistered(timer.registrationId)) {
        return VEK_ERR_NOT_REGISTERED;
    }
    plat::Hwnd hidden = hiddenWindow();
    if (hidden == plat::kNoWindow) {
        return VEK_ERR_SERVER;
    }
    Timers& t = timers();
    {
        std::lock_guard<std::mutex> lock(t.mutex);
        timer.timerId = takeTimerId(t);
        t.list.push_back(timer);
    }
    uint32_t period = std::max(periodMs, kMinimumPeriodMs);
    if (plat::postMessage(hidden, kMsgStartTimer, static_cast<uint64_t>(timer.timerId), period) !=
        plat::PostResult::Ok) {
        std::lock_guard<std::mutex> lock(t.mutex);
        std::erase_if(t.list, [&](const Timer& x) { return x.timerId == timer.timerId; });
        return VEK_ERR_SERVER;
    }
    return timer.timerId;
}

// Takes the matching timers out of the list and stops their platform timers.
template <typename Match>
size_t removeMatching(Match match) {
    std::vector<int32_t> removed;
    {
        Timers& t = timers();
        std::lock_guard<std::mutex> lock(t.mutex);
        for (const Timer& x : t.list) {
            if (match(x)) {
                removed.push_back(x.timerId);
            }
        }
        std::erase_if(t.list, match);
    }
    for (int32_t id : removed) {
        stopPlatformTimer(id);
    }
    return removed.size();
}

}  // namespace

void startTimerOnWindow(plat::Hwnd hidden, uint64_t timerId, uint32_t periodMs) {
    if (isTimerId(timerId) && !findTimer(static_cast<int32_t>(timerId))) {
        return;  // removed before its start arrived
    }
    plat::setTimer(hidden, timerId, periodMs);
}

void reportTimer(plat::Hwnd hidden, uint64_t timerId) {
    std::optional<Timer> timer =
        isTimerId(timerId) ? findTimer(static_cast<int32_t>(timerId)) : std::nullopt;
    if (!timer) {
        plat::killTimer(hidden, timerId);
        return;
    }
    if (timer->callback != nullptr) {
        timer->callback(timer->callParameter, timer->timerId);
    } else {
        plat::postMessage(timer->window, timer->callParameter,
                          static_cast<uint64_t>(timer->timerId), 0);
    }
}

void removeTimersOf(int32_t registrationId) {
    removeMatching([&](const Timer& x) { return x.registrationId == registrationId; });
}

void removeAllTimers() {
    removeMatching([](const Timer&) { return true; });
    std::lock_guard<std::mutex> lock(timers().mutex);
    std::vector<Timer>().swap(timers().list);
}

}  // namespace hubclient

using namespace hubclient;

extern "C" int32_t InstallTimer_Window(int32_t RegistrationID, uint32_t PeriodMs, HUBWND Window,
                                       uint32_t MessageID) {
    if (isRegistered(RegistrationID) && (Window == 0 || MessageID == 0)) {
        return VEK_ERR_BAD_ARG;
    }
    Timer timer;
    timer.registrationId = RegistrationID;
    timer.window = Window;
    timer.callParameter = MessageID;
    return install(timer, PeriodMs);
}

extern "C" int32_t InstallTimer_CB(int32_t RegistrationID, uint32_t PeriodMs,
                                   VEKTimerCallback_t Callback, uint32_t Parameter) {
    if (isRegistered(RegistrationID) && Callback == nullptr) {
        return VEK_ERR_BAD_ARG;
    }
    Timer timer;
    timer.registrationId = RegistrationID;
    timer.callParameter = Parameter;
    timer.callback = Callback;
    return install(timer, PeriodMs);
}

extern "C" int32_t RemoveTimer(int32_t RegistrationID, int32_t TimerID) {
    if (!isRegistered(RegistrationID)) {
        return VEK_ERR_NOT_REGISTERED;
    }
    if (hiddenWindow() == plat::kNoWindow) {
        return VEK_ERR_SERVER;
    }
    size_t removed = removeMatching([&](const Timer& x) { return x.timerId == TimerID; });
    return removed > 0 ? 0 : VEK_ERR_BAD_ARG;
}
