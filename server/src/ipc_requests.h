// The handlers of the client requests (codes 1224 ... 1924 and the WIN16
// copy-data message), installed into the main window's message table while
// the client interface runs. Every handler runs on the main thread and
// checks the request's payload before it reads any of it.
#pragma once

#include <cstdint>

#include "message_table.h"
#include "server_context.h"

namespace hub {

// All of them; removing them makes later requests answer 0.
void installClientRequests(ServerContext& context);
void removeClientRequests(MessageTable& table);

// The groups, by the service they reach.
void installRegistrationRequests(ServerContext& context);  // 1224 1234 1324 1334 1424
void installDebugTextRequest(MessageTable& table);         // 1524
void installNetworkRequests(MessageTable& table);          // 1634 1644 1654 1664 1674 copy-data
void installCommRequests(MessageTable& table);             // 1724 1824 1924

// True when `window` belongs to the process that sent the request, and that
// process is not the server: a client may name only its own windows, so
// nothing the server sends can come back to it as a request.
bool isSendersOwnWindow(const plat::Message& m, plat::Hwnd window);

// A client ID carried in wParam; -1 (never registered) when the value does
// not fit.
int32_t clientIdFrom(uint64_t wParam);

}  // namespace hub
