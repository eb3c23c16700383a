#include "registrations.h"

#include <algorithm>
#include <mutex>

#include "server_link.h"
#include "static_instance.h"
#include "wire/ipc.h"

namespace hubclient {
namespace {

// A registration and the server window that handed it out.
struct Registration {
    int32_t id = 0;
    plat::Hwnd server = plat::kNoWindow;
};

struct Registrations {
    std::mutex mutex;
    std::vector<Registration> entries;  // in order of registration
};

Registrations& registrations() {
    return staticInstance<Registrations>();
}

auto findEntry(Registrations& r, int32_t registrationId) {
    return std::find_if(r.entries.begin(), r.entries.end(),
                        [registrationId](const Registration& e) { return e.id == registrationId; });
}

// Only the server that handed the ID out hears of its end: a server started
// after that one's loss may have given the same number to another client.
void postUnregistration(const Registration& entry) {
    if (entry.server == serverWindow()) {
        postToServer(wire::kReqUnregister, static_cast<uint32_t>(entry.id), 0);
    }
}

}  // namespace

bool isRegistered(int32_t registrationId) {
    if (registrationId == kSelfRegistration) {
        return true;
    }
    Registrations& r = registrations();
    std::lock_guard<std::mutex> lock(r.mutex);
    return findEntry(r, registrationId) != r.entries.end();
}

void addRegistration(int32_t registrationId) {
    Registrations& r = registrations();
    std::lock_guard<std::mutex> lock(r.mutex);
    // A new server may hand out an ID a server that has gone gave before:
    // the entry then belongs to the new one.
    auto it = findEntry(r, registrationId);
    if (it != r.entries.end()) {
        it->server = serverWindow();
    } else {
        r.entries.push_back({registrationId, serverWindow()});
    }
}

bool removeRegistration(int32_t registrationId) {
    Registrations& r = registrations();
    Registration entry;
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        auto it = findEntry(r, registrationId);
        if (it == r.entries.end()) {
            return false;
        }
        entry = *it;
        r.entries.erase(it);
    }
    postUnregistration(entry);
    return true;
}

void removeAllRegistrations() {
    std::vector<Registration> entries;
    {
        std::lock_guard<std::mutex> lock(registrations().mutex);
        entries.swap(registrations().entries);
    }
    for (const Registration& entry : entries) {
        postUnregistration(entry);
    }
}

bool anyRegistration() {
    std::lock_guard<std::mutex> lock(registrations().mutex);
    return !registrations().entries.empty();
}

}  // namespace hubclient
