// The reserved-message interface as one of the server's services: starts
// the transfer list with "PacketTimeout" and takes the main window's timer
// messages for the transfers' packet timers.
#pragma once

#include "server_context.h"

namespace hub {

bool startReservedService(ServerContext& context);
void stopReservedService(ServerContext& context);

}  // namespace hub
