// The server's list of registered client applications (`_Client` records in
// registration order) with its own non-recursive lock.
//
// Lock order: a thread holding the network list lock or the serial-port list
// lock may call the lookups here (they take the registry lock briefly); code
// holding the registry lock never waits for another list lock. That is why
// UnRegisterClient removes the client's network registrations and serial
// ports before it takes the registry lock.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/window.h"

namespace hub {

enum ClientType_t : int32_t {
    win32_client = 0,
    win16_client = 1,
};

struct _Client {
    plat::Hwnd ClientHandle = plat::kNoWindow;  // receives the server's messages
    int32_t ClientID = 0;
    uint32_t ProcessID = 0;  // 0 for a WIN16 client
    ClientType_t ClientType = win32_client;
};

// Client IDs run from 1 to this value, then start again at 1.
constexpr int32_t kLastClientNumber = 0x7FFFFFF;

// The client ID handed out after `id`.
int32_t ClientNumberAfter(int32_t id);

// Starts the registry: empty list, first client ID where the previous server
// run in the same runtime folder stopped (1 in a fresh folder), so IDs of a
// server that died are not handed out again. The main window is the
// target of the automatic shutdown; with `autoShutdown` non-zero the server
// closes when its last client unregisters. Writes the start line; returns 1.
int32_t InitClientInterface(plat::Hwnd mainWindow, int32_t autoShutdown);

// Deletes every record without telling the clients and writes the shutdown
// line (only when the registry had started).
void RemoveClientInterface();

// A new client ID (1 or more); -9 for no window; -5 out of memory; 0 when
// the registry is not running.
int32_t RegisterWin32Client(plat::Hwnd window, uint32_t processID);

// As above for a WIN16 client; every earlier WIN16 record is removed first
// (their network registrations stay until their window is found gone).
int32_t RegisterWin16Client(plat::Hwnd window);

// Removes the client's network registrations, its serial ports and then its
// record. When that empties the list and automatic shutdown is on,
// kMsgAutoShutdown is posted to the main window. An unknown ID changes
// nothing. Returns 0.
int32_t UnRegisterClient(int32_t clientID);

// True while the interface runs with automatic shutdown on and no client is
// registered: the main window checks this when kMsgAutoShutdown arrives, so
// a client that registered after the last one left (a quick cleanup and
// startup) keeps the server running instead of getting a registration from
// a server about to end.
bool AutomaticShutdownDue();

// Lookups by client ID: 0, win32_client and kNoWindow for an unknown ID.
uint32_t GetClientProcessID(int32_t clientID);
ClientType_t GetClientType(int32_t clientID);
plat::Hwnd GetClientWindowHandle(int32_t clientID);

// The whole record in one lookup (one lock round), or nullopt.
std::optional<_Client> FindClient(int32_t clientID);

// The client registered with this window (the first in registration order).
std::optional<_Client> FindClientByWindow(plat::Hwnd window);

// Number of registered clients.
size_t ClientCount();

// Closes every serial port of a client; installed by the COM interface while
// it runs (nullptr otherwise). Called by UnRegisterClient without the
// registry lock held.
using ClientPortsCloser = void (*)(int32_t clientID);
void SetClientPortsCloser(ClientPortsCloser closer);

}  // namespace hub
