// The network as one of the server's services: starts the sockets and
// installs the main window's handlers for socket readiness (1124) and the
// network debugging switch (5376).
#pragma once

#include "server_context.h"

namespace hub {

bool startNetworkService(ServerContext& context);
void stopNetworkService(ServerContext& context);

}  // namespace hub
