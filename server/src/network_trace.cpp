#include "network_trace.h"

#include <cstdio>

#include "debuglog.h"
#include "network_settings.h"

namespace hub {
namespace {

// The lines after the headline: address, length and the dump.
void traceBody(uint32_t address, std::span<const uint8_t> datagram) {
    _Debug_Internal(0, "Address: %u.%u.%u.%u\n", (address >> 24) & 0xFF, (address >> 16) & 0xFF,
                    (address >> 8) & 0xFF, address & 0xFF);
    _Debug_Internal(0, "Length: %u\nData:\n", static_cast<uint32_t>(datagram.size()));
    _DumpData_Internal(static_cast<uint32_t>(datagram.size()), datagram.data());
}

}  // namespace

void traceSentMessage(bool sent, int error, uint32_t address, std::span<const uint8_t> datagram) {
    if (!networkSettings().networkDebug()) {
        return;
    }
    char outcome[64];
    if (sent) {
        std::snprintf(outcome, sizeof outcome, "Successfully");
    } else {
        std::snprintf(outcome, sizeof outcome, "Unsuccessfully (Error : %u)",
                      static_cast<unsigned>(error));
    }
    _Debug_Internal(1, "Message Sent %s :\n", outcome);
    traceBody(address, datagram);
}

void traceReceivedMessage(bool accepted, uint32_t address, std::span<const uint8_t> datagram) {
    if (!networkSettings().networkDebug()) {
        return;
    }
    _Debug_Internal(1, "Message %s :\n", accepted ? "Received" : "Discarded");
    traceBody(address, datagram);
}

}  // namespace hub
