// The state of the network service, shared by its start, send, receive and
// registration code. Used on the server's main thread only; the registration
// list has its own lock (network_registrations.cpp).
#pragma once

#include <cstdint>

#include "network_duplicates.h"
#include "network_send_queue.h"
#include "platform/window.h"
#include "wire/msgnumber.h"

namespace hub {

struct NetworkState {
    int SendSocket = -1;
    int ReceiveSocket = -1;
    uint16_t RecvSocketPort = 0;  // destination port of every datagram sent
    uint32_t MyIPAddress = 0;     // host order; 0 when unknown
    int32_t MsgDelayTime = 0;
    int32_t DoubleUpBroadcasts = 0;
    int32_t DoubleUpDelayTime = 0;
    bool NetworkInstalled = false;
    plat::Hwnd WindowHandle = plat::kNoWindow;
    DuplicateRing duplicates;
    wire::MessageNumberCounter messageNumbers;
    OutgoingQueue outgoing;                     // datagrams waiting for their departure
    int PacingTimer = -1;                       // timerfd of the next departure
    plat::Hwnd PacingWindow = plat::kNoWindow;  // receives the timer's readiness
};

NetworkState& networkState();

}  // namespace hub
