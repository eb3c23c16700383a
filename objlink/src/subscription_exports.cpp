// The object subscription exports.
#include <new>

#include "object_subscriptions.h"
#include "objlink.h"
#include "registrations.h"

using namespace objlink;

namespace {

int32_t subscribe(int32_t registrationId, uint16_t objectId, const ReportTarget& target) {
    try {
        return addObjectSubscription(registrationId, objectId, target);
    } catch (const std::bad_alloc&) {
        return VEKNET_ERR_NO_MEMORY;
    }
}

}  // namespace

extern "C" {

OBJLINK_API int32_t RegisterVEKObjectMessages_CB(int32_t RegistrationID, uint16_t ObjectID,
                                                 VEKMessageCallback_t Callback,
                                                 uint32_t Parameter) {
    if (!isRegistered(RegistrationID)) {
        return VEKNET_ERR_NOT_REGISTERED;
    }
    if (Callback == nullptr) {
        return VEKNET_ERR_BAD_RECORD;
    }
    return subscribe(RegistrationID, ObjectID, ReportTarget{plat::kNoWindow, Parameter, Callback});
}

OBJLINK_API int32_t RegisterVEKObjectMessages_Window(int32_t RegistrationID, uint16_t ObjectID,
                                                     HUBWND Window, uint32_t MessageID) {
    if (!isRegistered(RegistrationID)) {
        return VEKNET_ERR_NOT_REGISTERED;
    }
    if (Window == plat::kNoWindow || MessageID == 0) {
        return VEKNET_ERR_NO_WINDOW;
    }
    return subscribe(RegistrationID, ObjectID, ReportTarget{Window, MessageID, nullptr});
}

OBJLINK_API int32_t UnRegisterVEKObjectMessages(int32_t RegistrationID,
                                                int32_t ObjectRegistrationID) {
    if (!isRegistered(RegistrationID)) {
        return VEKNET_ERR_NOT_REGISTERED;
    }
    removeObjectSubscription(ObjectRegistrationID);
    return 1;
}

}  // extern "C"
