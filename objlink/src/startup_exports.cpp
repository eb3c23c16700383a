// VEKNetStartup, VEKNetCleanup, GetVEKNetVersion and the cleanup at unload.
#include <new>

#include "callback_scope.h"
#include "hubclient.h"
#include "id_counters.h"
#include "inbound.h"
#include "object_subscriptions.h"
#include "objlink.h"
#include "outstanding_requests.h"
#include "registrations.h"
#include "sync_responses.h"
#include "version_texts.h"

using namespace objlink;

namespace {

constexpr int32_t kTimeStamped = 1;

int32_t startup() {
    int32_t base = VEKBaseStartup();
    if (base < 1) {
        _Debug_Internal(kTimeStamped, "VEKBaseStartup Failed = %d\n", base);
        return VEKNET_ERR_STARTUP;
    }
    int32_t id = nextRegistrationNumber();
    int32_t callback = RegisterReceiveCallback_CB(base, &receiveMessage, static_cast<uint32_t>(id));
    if (callback < 1) {
        _Debug_Internal(kTimeStamped, "Callback ID Failed = %d\n", callback);
        VEKBaseCleanup(base);
        return VEKNET_ERR_STARTUP;
    }
    try {
        addRegistration(Registration{id, base, callback});
    } catch (const std::bad_alloc&) {
        UnRegisterReceiveCallback(base, callback);
        VEKBaseCleanup(base);
        return VEKNET_ERR_NO_MEMORY;
    }
    buildVersionTexts(base);
    return id;
}

// Cleans every registration up when the library is unloaded (dlclose or the
// end of the process), so the server learns that they are gone.
__attribute__((destructor)) void cleanupAtUnload() {
    for (int32_t id : registrationIds()) {
        VEKNetCleanup(id);
    }
}

}  // namespace

extern "C" {

OBJLINK_API int32_t VEKNetStartup(void) {
    try {
        return startup();
    } catch (const std::bad_alloc&) {
        return VEKNET_ERR_NO_MEMORY;
    }
}

OBJLINK_API void VEKNetCleanup(int32_t RegistrationID) {
    // Taken out of the list first: every export refuses the ID from now on,
    // so nothing new can be added while the rest is removed.
    std::optional<Registration> r = removeRegistration(RegistrationID);
    if (!r) {
        return;
    }
    removeObjectSubscriptions(RegistrationID);
    dropOutstandingRequests(RegistrationID);
    dropSyncResponses(RegistrationID);
    waitForCallbacks(RegistrationID);
    UnRegisterReceiveCallback(r->baseRegistrationId, r->baseCallbackId);
    VEKBaseCleanup(r->baseRegistrationId);
}

OBJLINK_API const char* GetVEKNetVersion(int32_t RegistrationID, uint32_t Flag) {
    if (!isRegistered(RegistrationID)) {
        return nullptr;
    }
    return versionText(Flag != 0);
}

}  // extern "C"
