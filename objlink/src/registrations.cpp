#include "registrations.h"

#include <algorithm>
#include <mutex>

namespace objlink {
namespace {

struct Registrations {
    std::mutex mutex;  // RegListSemaphore
    std::vector<Registration> list;
};

Registrations& registrations() {
    static Registrations* r = new Registrations;
    return *r;
}

std::vector<Registration>::iterator findIn(std::vector<Registration>& list, int32_t id) {
    return std::find_if(list.begin(), list.end(),
                        [id](const Registration& r) { return r.registrationId == id; });
}

}  // namespace

void addRegistration(const Registration& registration) {
    Registrations& r = registrations();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.list.push_back(registration);
}

std::optional<Registration> findRegistration(int32_t registrationId) {
    Registrations& r = registrations();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = findIn(r.list, registrationId);
    return it == r.list.end() ? std::nullopt : std::optional<Registration>(*it);
}

bool isRegistered(int32_t registrationId) {
    return findRegistration(registrationId).has_value();
}

std::optional<Registration> removeRegistration(int32_t registrationId) {
    Registrations& r = registrations();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = findIn(r.list, registrationId);
    if (it == r.list.end()) {
        return std::nullopt;
    }
    Registration removed = *it;
    r.list.erase(it);
    return removed;
}

std::vector<int32_t> registrationIds() {
    Registrations& r = registrations();
    std::lock_guard<std::mutex> lock(r.mutex);
    std::vector<int32_t> ids;
    for (const Registration& x : r.list) {
        ids.push_back(x.registrationId);
    }
    return ids;
}

bool whileRegistered(int32_t registrationId, const std::function<void()>& action) {
    Registrations& r = registrations();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (findIn(r.list, registrationId) == r.list.end()) {
        return false;
    }
    action();
    return true;
}

}  // namespace objlink
