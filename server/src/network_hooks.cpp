#include "network_hooks.h"

namespace hub {

void HandOffLargeMessage(std::span<const uint8_t>) {}

void HandleReservedMessage(std::span<const uint8_t>) {}

}  // namespace hub
