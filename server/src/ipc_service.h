// The client interface and the WIN16 interface as services of the server
// (see services.h): the registry with the handlers of every client request,
// and the WIN16 interface thread.
#pragma once

#include "server_context.h"

namespace hub {

// Starts the registry with the main window and "AutoShutdown", then installs
// the request handlers into the main window's table.
bool startClientInterface(ServerContext& context);
// Removes the handlers, then every client record.
void stopClientInterface(ServerContext& context);

// Starts the WIN16 interface thread and handles its notices of vanished
// WIN16 clients on the main window.
bool startWin16Interface(ServerContext& context);
// Ends the thread; writes nothing (the interface has no shutdown line).
void stopWin16Interface(ServerContext& context);

}  // namespace hub
