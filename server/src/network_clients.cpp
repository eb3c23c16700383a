// The network registrations as the client requests see them.
#include "network.h"
#include "network_registrations.h"
#include "network_state.h"

namespace hub {

int32_t RegisterNetworkClient(int32_t clientID, int32_t type, NetOptions options) {
    if (type != NetworkRegistration && type != NetMonRegistration) {
        return kNetBadRequest;
    }
    if (!networkState().NetworkInstalled) {
        return kNetFailed;
    }
    uint32_t netID = addNetRegistration(clientID, type, options);
    return netID != 0 ? static_cast<int32_t>(netID) : kNetFailed;
}

int32_t DeRegisterNetworkClient(uint32_t netID) {
    if (!networkState().NetworkInstalled) {
        return 1;
    }
    return removeNetRegistration(netID) ? 0 : 1;
}

void DeleteNetRegistrationEntry(uint32_t netID) {
    removeNetRegistration(netID);
}

void DeleteNetRegistrationEntryID(int32_t clientID) {
    removeClientNetRegistrations(clientID);
}

size_t NetRegistrationCount() {
    return netRegistrationCount();
}

uint64_t NetDispatchDropCount() {
    return netDispatchDrops();
}

}  // namespace hub
