// The process's receive and network-monitor subscribers: one list, one lock,
// each subscriber known to the server by its NetID.
#pragma once

#include <cstdint>
#include <optional>

#include "hubclient.h"
#include "platform/window.h"

namespace hubclient {

enum class NetRegistrationType : int64_t { Receive = 0, Monitor = 1 };

struct NetSubscriber {
    int32_t id = 0;  // the NetID the server gave
    int32_t registrationId = 0;
    plat::Hwnd window = plat::kNoWindow;  // none for a callback subscriber
    uint32_t parameter = 0;               // window message ID, or the receive callback's parameter
    VEKReceiveCallback_t receiveCallback = nullptr;
    VEKNetMonCallback_t monitorCallback = nullptr;
    NetRegistrationType type = NetRegistrationType::Receive;
};

// Registers at the server and records the subscriber; the subscriber ID or
// an export result code.
int32_t addSubscriber(NetSubscriber subscriber);

// The unregister exports.
int32_t removeSubscriber(int32_t registrationId, int32_t subscriberId);

// A copy of the subscriber with this NetID.
std::optional<NetSubscriber> findSubscriber(int32_t netId);

// Drops a subscriber locally when it is still `window`'s (a window that did
// not take its message in time).
void dropWindowSubscriber(int32_t netId, plat::Hwnd window);

// Removes the registration's subscribers, each deregistered at the server.
void removeSubscribersOf(int32_t registrationId);

// Drops every subscriber locally (at unload; the server forgets them with
// the registrations).
void dropAllSubscribers();

}  // namespace hubclient
