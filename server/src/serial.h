// The "COM Interface": the serial ports the server opens for its clients.
// A client opens a port with its line settings (1724), writes to it (1924)
// and receives every block the device delivers as message 2024 (wParam the
// client ID, payload a _CommDataInternal_t). Several clients may share one
// device when all of them allow sharing with the same speed. One reader
// thread per open device delivers the data.
//
// Lock order: the port list lock may be held while the client registry is
// asked, never the reverse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/window.h"
#include "wire/ipc.h"

namespace hub {

// A write waits at most this long for the device to take its bytes, so the
// answer reaches the client within its 2000 ms request time-out.
constexpr int kSerialWriteBoundMs = 1500;

// Starts the service; port names are looked up in `iniName`. 1; 0 when it
// already runs.
int32_t InitCommInterface(plat::Hwnd mainWindow, const std::string& iniName);

// Closes every device and writes the shutdown line (only when it started).
void RemoveCommInterface();

// 1724: a new port ID; -9 refused; -5 out of memory.
int32_t RegisterCommPortClient(int32_t clientID, const _CommRegInfo& request);

// 1824: 0 closed; 1 not found or the service is not running.
int32_t DeRegisterCommPortClient(uint32_t portID);

// 1924: the bytes written to the port's device; 0 on any failure.
int32_t SendActualCommData(int32_t clientID, uint32_t commID, std::span<const uint8_t> data);

// Closes every port of a client (when it unregisters).
void DeleteCommEntryID(int32_t clientID);

// Open port entries.
size_t CommEntryCount();

}  // namespace hub
