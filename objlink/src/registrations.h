// The library's registrations: one per VEKNetStartup, each with the
// hubclient registration and receive subscription made for it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace objlink {

struct Registration {
    int32_t registrationId = 0;      // returned to the application
    int32_t baseRegistrationId = 0;  // the hubclient registration
    int32_t baseCallbackId = 0;      // its hubclient receive subscription
};

void addRegistration(const Registration& registration);

// The registration with this ID, or nullopt.
std::optional<Registration> findRegistration(int32_t registrationId);

bool isRegistered(int32_t registrationId);

// Removes the registration from the list and returns it (nullopt when it was
// not registered). Every export refuses the ID from then on.
std::optional<Registration> removeRegistration(int32_t registrationId);

std::vector<int32_t> registrationIds();

// Runs `action` while holding the registration lock, when the ID is
// registered, so that a record it appends cannot outlive a cleanup running at
// the same time. Returns false (without running it) for an unknown ID.
// `action` may take the other list locks, never the registration lock.
bool whileRegistered(int32_t registrationId, const std::function<void()>& action);

}  // namespace objlink
