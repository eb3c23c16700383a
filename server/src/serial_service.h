// The COM interface as one of the server's services.
#pragma once

#include "server_context.h"

namespace hub {

bool startCommService(ServerContext& context);
void stopCommService(ServerContext& context);

}  // namespace hub
