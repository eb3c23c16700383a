#include "registrations.h"

#include <algorithm>
#include <mutex>

#include "server_link.h"
#include "static_instance.h"
#include "wire/ipc.h"

namespace hubclient {
namespace {

struct Registrations {
    std::mutex mutex;
    std::vector<int32_t> ids;  // in order of registration
};

Registrations& registrations() {
    return staticInstance<Registrations>();
}

void postUnregistration(int32_t registrationId) {
    postToServer(wire::kReqUnregister, static_cast<uint32_t>(registrationId), 0);
}

}  // namespace

bool isRegistered(int32_t registrationId) {
    if (registrationId == kSelfRegistration) {
        return true;
    }
    Registrations& r = registrations();
    std::lock_guard<std::mutex> lock(r.mutex);
    return std::find(r.ids.begin(), r.ids.end(), registrationId) != r.ids.end();
}

void addRegistration(int32_t registrationId) {
    Registrations& r = registrations();
    std::lock_guard<std::mutex> lock(r.mutex);
    // A new server may hand out an ID a server that has gone gave before.
    if (std::find(r.ids.begin(), r.ids.end(), registrationId) == r.ids.end()) {
        r.ids.push_back(registrationId);
    }
}

bool removeRegistration(int32_t registrationId) {
    Registrations& r = registrations();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        auto it = std::find(r.ids.begin(), r.ids.end(), registrationId);
        if (it == r.ids.end()) {
            return false;
        }
        r.ids.erase(it);
    }
    postUnregistration(registrationId);
    return true;
}

void removeAllRegistrations() {
    std::vector<int32_t> ids;
    {
        std::lock_guard<std::mutex> lock(registrations().mutex);
        ids.swap(registrations().ids);
    }
    for (int32_t id : ids) {
        postUnregistration(id);
    }
}

bool anyRegistration() {
    std::lock_guard<std::mutex> lock(registrations().mutex);
    return !registrations().ids.empty();
}

}  // namespace hubclient
