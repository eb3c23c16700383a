// `NetList`: the network registrations of the client applications, newest
// first, guarded by their own non-recursive lock. The lock exists only while
// the network is installed; without it every operation here is refused or
// does nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "network.h"

namespace hub {

struct _net_info {
    uint32_t NetID = 0;
    int32_t NetRegistrationType = 0;  // stored, not used by the server
    int32_t RegistrationID = 0;       // client ID of the owning application
    NetOptions options;
};

// NetIDs run from 1 to this value, then start again at 1.
constexpr uint32_t kLastNetID = 0x7FFFFFFF;

// Creates the lock over an empty list; the next NetID is 1.
void openNetList();

// Deletes every registration and removes the lock.
void closeNetList();

// The new entry's NetID at the head of the list; 0 when there is no lock.
uint32_t addNetRegistration(int32_t clientID, int32_t type, NetOptions options = {});

// True when an entry with this NetID was removed.
bool removeNetRegistration(uint32_t netID);

void removeClientNetRegistrations(int32_t clientID);

// True when `netID` is a receive registration of this client.
bool isReceiveRegistrationOf(uint32_t netID, int32_t clientID);

size_t netRegistrationCount();

// Posts the envelope to every registration, newest first (see network.h).
// A response a thread waits for (network_awaited.h) is posted to that
// thread instead of to the receive registration its request named.
void dispatchToRegistrations(std::span<const uint8_t> envelope);

uint64_t netDispatchDrops();

// See NetDispatchBatch in network.h.
void openDispatchBatch();
void closeDispatchBatch();

}  // namespace hub
