// The registrations this process made with the server (one per successful
// VEKBaseStartup).
#pragma once

#include <cstdint>
#include <vector>

namespace hubclient {

// The library's internal registration: accepted everywhere as registered.
constexpr int32_t kSelfRegistration = -223;

bool isRegistered(int32_t registrationId);
// Records an ID the current server (serverWindow()) just handed out.
void addRegistration(int32_t registrationId);

// Removes it and posts the unregistration to the server, only when that is
// still the server that handed the ID out; false when it was not registered.
bool removeRegistration(int32_t registrationId);

// Removes every registration, posting each unregistration (at unload).
void removeAllRegistrations();

bool anyRegistration();

}  // namespace hubclient
