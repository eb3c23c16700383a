// The serial ports this process opened through the server: one list, one
// lock, each port known to the server by its port ID. Received data arrives
// on the library thread as message 2024 and goes to the port's receiver.
#pragma once

#include <cstdint>
#include <optional>

#include "hubclient.h"
#include "platform/payload.h"
#include "platform/window.h"

namespace hubclient {

struct CommPort {
    int32_t registrationId = 0;
    int32_t commId = 0;
    plat::Hwnd window = plat::kNoWindow;  // none for a callback receiver
    uint32_t parameter = 0;               // window message ID, or the callback's parameter
    VEKCommCallback_t callback = nullptr;
};

// The exports: results as documented in hubclient.h.
int32_t openCommPort(uint32_t portNumber, const COMM_INFORMATION* info, CommPort receiver);
int32_t closeCommPort(int32_t registrationId, int32_t commId);
int32_t sendCommData(int32_t registrationId, const COMM_DATA* data);

// A copy of the port record with this ID.
std::optional<CommPort> findCommPort(int32_t commId);

// Closes the registration's ports at the server (VEKBaseCleanup).
void closeCommPortsOf(int32_t registrationId);

// Closes every port at the server (at unload).
void closeAllCommPorts();

// On the library thread: message 2024 with its payload.
void deliverCommData(const plat::Payload& payload);

}  // namespace hubclient
