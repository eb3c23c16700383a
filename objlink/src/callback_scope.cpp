#include "callback_scope.h"

#include <condition_variable>
#include <map>
#include <mutex>

namespace objlink {
namespace {

struct RunningCallbacks {
    std::mutex mutex;
    std::condition_variable finished;
    std::map<int32_t, int> count;  // by registration
};

RunningCallbacks& running() {
    static RunningCallbacks* r = new RunningCallbacks;
    return *r;
}

thread_local int tCallbackDepth = 0;

}  // namespace

CallbackScope::CallbackScope(int32_t registrationId) : registrationId_(registrationId) {
    RunningCallbacks& r = running();
    std::lock_guard<std::mutex> lock(r.mutex);
    ++r.count[registrationId_];
    ++tCallbackDepth;
}

CallbackScope::~CallbackScope() {
    RunningCallbacks& r = running();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (--r.count[registrationId_] == 0) {
        r.count.erase(registrationId_);
    }
    --tCallbackDepth;
    r.finished.notify_all();
}

void waitForCallbacks(int32_t registrationId) {
    if (tCallbackDepth > 0) {
        return;
    }
    RunningCallbacks& r = running();
    std::unique_lock<std::mutex> lock(r.mutex);
    r.finished.wait(lock, [&] { return r.count.find(registrationId) == r.count.end(); });
}

}  // namespace objlink
