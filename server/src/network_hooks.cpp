#include "network_hooks.h"

#include "large_transfer.h"
#include "reserved_messages.h"

namespace hub {

bool HandOffLargeMessage(std::span<const uint8_t> envelope) {
    return StartDataTransfer(envelope);
}

void HandleReservedMessage(std::span<const uint8_t> envelope) {
    ProcessReservedMessages(envelope);
}

}  // namespace hub
