// VEKBaseStartup, VEKBaseCleanup and GetVEKBaseVersion.
#include <unistd.h>

#include "hubclient.h"
#include "library_thread.h"
#include "net_subscribers.h"
#include "registrations.h"
#include "serial_ports.h"
#include "server_launch.h"
#include "server_link.h"
#include "timers.h"
#include "version_texts.h"
#include "wire/ipc.h"

namespace hubclient {
namespace {

// Asks the recorded server to register this process; the registration ID,
// or 0 when the server did not answer or refused.
int32_t registerWithServer(plat::Hwnd hidden) {
    auto result = request(wire::kReqRegisterWin32, hidden, static_cast<int64_t>(::getpid()));
    return result && *result >= 1 ? static_cast<int32_t>(*result) : 0;
}

void fetchVersionTexts(int32_t registrationId) {
    if (versionTextsBuilt()) {
        return;
    }
    auto reply = requestWithReply(wire::kReqVersion, static_cast<uint32_t>(registrationId), 0);
    if (reply && !reply->payload.empty()) {
        buildVersionTexts(reply->payload.bytes());
    }
}

int32_t startup() {
    plat::Hwnd hidden = awaitHiddenWindow();
    if (hidden == plat::kNoWindow) {
        return VEK_ERR_NO_SERVER;
    }
    int32_t id = 0;
    // A recorded server may have gone since; the failed request forgets it
    // and the second round finds or starts a new one.
    for (int round = 0; round < 2 && id == 0; ++round) {
        if (!findOrStartServer()) {
            return VEK_ERR_NO_SERVER;
        }
        id = registerWithServer(hidden);
        if (id == 0 && serverWindow() != plat::kNoWindow) {
            break;  // the server is there but refused
        }
    }
    if (id == 0) {
        return VEK_ERR_NO_SERVER;
    }
    addRegistration(id);
    fetchVersionTexts(id);
    return id;
}

}  // namespace
}  // namespace hubclient

using namespace hubclient;

extern "C" int32_t VEKBaseStartup(void) {
    return startup();
}

extern "C" void VEKBaseCleanup(int32_t RegistrationID) {
    if (RegistrationID == kSelfRegistration || !isRegistered(RegistrationID)) {
        return;
    }
    removeTimersOf(RegistrationID);
    removeSubscribersOf(RegistrationID);
    closeCommPortsOf(RegistrationID);
    removeRegistration(RegistrationID);
    if (!anyRegistration()) {
        forgetServer(serverWindow());
    }
}

extern "C" const char* GetVEKBaseVersion(int32_t RegistrationID, uint32_t Flags) {
    if (RegistrationID == kSelfRegistration || !isRegistered(RegistrationID)) {
        return nullptr;
    }
    return versionText(Flags);
}
