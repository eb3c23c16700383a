// The WIN16 client interface: a thread of its own with a hidden window
// "HUBSERVER WIN16 Client Interface" that delivers network messages to the
// (single) WIN16 client.
//
// The network dispatch hands each envelope for a WIN16 registration to
// PostToWin16Interface, which copies it into a block of Length + 16 bytes
// (the envelope, then the 4-byte NetID) and posts message 5120 to the
// interface window (wParam = the client's window). The interface thread then
// sends the copy-data message to the client's window: wParam = the server's
// main window, lParam = the NetID (the record's value field), payload = the
// envelope (Length + 12 bytes). When that send finds the client's window
// gone, the interface asks the main window to delete the registration, so a
// vanished WIN16 client does not keep receiving copies for ever.
#pragma once

#include <cstdint>
#include <span>

#include "platform/window.h"

namespace hub {

constexpr const char* kWin16WindowTitle = "HUBSERVER WIN16 Client Interface";
constexpr const char* kWin16WindowClass = "HUBSERVER WIN16 Client Interface Class";
constexpr uint32_t kMsgWin16Deliver = 5120;  // wParam client window, payload the block
// Private to the server: the WIN16 client's window is gone; wParam = NetID.
constexpr uint32_t kMsgWin16ClientGone = 0x8002;

// Starts the interface thread and waits until its window exists. Writes
// the start line, or the startup error line on failure. Returns 1 or 0.
int32_t InitWin16Interface(plat::Hwnd mainWindow);

// Closes the interface window and waits for its thread to end (no log line).
void RemoveWin16Interface();

// Hands one envelope (Length + 12 bytes, already validated by the caller) for
// the registration `netID` of the WIN16 client `clientWindow` to the
// interface thread. Never blocks. False when the interface is not running or
// its queue is full.
bool PostToWin16Interface(plat::Hwnd clientWindow, uint32_t netID,
                          std::span<const uint8_t> envelope);

}  // namespace hub
