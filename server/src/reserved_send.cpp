#include "reserved_send.h"

#include <vector>

#include "network.h"
#include "reserved_records.h"

namespace hub {
namespace {

constexpr uint16_t kReservedObject = 0;

void sendDatagram(uint32_t address, const wire::DatagramHeader& header,
                  std::span<const uint8_t> data) {
    std::vector<uint8_t> datagram = wire::buildDatagram(header, data);
    SendVEKNetworkMessage(0, wire::buildEnvelope(address, wire::kDirectionSent, datagram));
}

}  // namespace

std::optional<ReservedMessage> readReservedMessage(std::span<const uint8_t> envelope) {
    std::optional<wire::EnvelopeView> view = wire::readEnvelope(envelope);
    if (!view) {
        return std::nullopt;
    }
    std::optional<wire::DatagramHeader> header = wire::readHeader(view->datagram);
    if (!header) {
        return std::nullopt;
    }
    return ReservedMessage{view->address, *header, wire::datagramData(view->datagram)};
}

uint16_t sendReservedRequest(uint32_t address, uint16_t messageId, std::span<const uint8_t> data) {
    uint16_t number = GetNextMessageNumber();
    sendDatagram(address, {kReservedObject, messageId, number}, data);
    return number;
}

void sendReservedReply(const ReservedMessage& request, std::span<const uint8_t> data) {
    uint16_t messageId = static_cast<uint16_t>(request.header.messageId | wire::kResponseFlag);
    sendDatagram(request.address, {kReservedObject, messageId, request.header.messageNumber}, data);
}

void sendRefusal(const ReservedMessage& request) {
    sendReservedReply(request, statusOnly(kStatusRefused));
}

}  // namespace hub
