// The hubclient receive callback of every library registration.
#pragma once

#include <cstdint>

#include "hubclient.h"

namespace objlink {

// A received message, with the library registration number as parameter:
// responses complete outstanding requests, other messages go to the object
// subscribers of that registration.
void receiveMessage(_Message* message, uint32_t registrationNumber);

}  // namespace objlink
