// The "Reserved Message Interface": everything the server answers on object
// 0. Requests: 1, 2 and 3 of the large-message transfer (large_transfer.h),
// 256 (network debugging on), 257 (network debugging off, answered with the
// path of the debug log); any other identifier is refused with status 1. A
// message with bit 15 set is a reply and is never answered; replies feed the
// sending role of a transfer.
#pragma once

#include <cstdint>
#include <span>

#include "platform/window.h"

namespace hub {

// Empty transfer list, counters to 1, the packet time-out in ms (timers on
// `mainWindow`); writes the start line. Always succeeds.
int32_t InitReservedInterface(plat::Hwnd mainWindow, int32_t packetTimeoutMs);

// Frees every transfer without a message and writes the shutdown line, also
// when the interface never started.
void RemoveReservedInterface();

// An accepted received message of object 0, after the clients saw it.
void ProcessReservedMessages(std::span<const uint8_t> envelope);

// A window timer of the main window expired: deletes the transfer whose
// timer it is. False when it is no timer of a transfer.
bool TimerFunction(uint64_t timerID);

// Transfers in progress, both roles.
size_t DataTransferCount();

}  // namespace hub
