#include "incoming_message.h"

#include <algorithm>

namespace objlink {

std::optional<IncomingMessage> readIncoming(const _Message* message) {
    if (message == nullptr || message->Dataptr == nullptr) {
        return std::nullopt;
    }
    std::span<const uint8_t> bytes(message->Dataptr, message->Length);
    std::optional<wire::DatagramHeader> header = wire::readHeader(bytes);
    if (!header) {
        return std::nullopt;
    }
    return IncomingMessage{*header, wire::datagramData(bytes), message->Address};
}

uint16_t recordedLength(const IncomingMessage& message) {
    return static_cast<uint16_t>(std::min<size_t>(message.data.size(), UINT16_MAX));
}

}  // namespace objlink
