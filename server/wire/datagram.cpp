#include "wire/datagram.h"

#include <cstring>

namespace wire {

uint16_t readLe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t readLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void writeLe16(uint8_t* p, uint16_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

void writeLe32(uint8_t* p, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

std::vector<uint8_t> buildDatagram(const DatagramHeader& header, std::span<const uint8_t> data) {
    std::vector<uint8_t> datagram(kNetMsgHeaderSize + data.size());
    std::memcpy(datagram.data(), kMagic, sizeof kMagic);
    writeLe16(&datagram[offsetof(NetMsgHeader, ObjectID)], header.objectId);
    writeLe16(&datagram[offsetof(NetMsgHeader, MessageID)], header.messageId);
    writeLe16(&datagram[offsetof(NetMsgHeader, MessageNumber)], header.messageNumber);
    if (!data.empty()) {
        std::memcpy(datagram.data() + kNetMsgHeaderSize, data.data(), data.size());
    }
    return datagram;
}

bool isValidDatagram(std::span<const uint8_t> datagram) {
    return datagram.size() >= kNetMsgHeaderSize &&
           std::memcmp(datagram.data(), kMagic, sizeof kMagic) == 0;
}

std::optional<DatagramHeader> readHeader(std::span<const uint8_t> datagram) {
    if (!isValidDatagram(datagram)) {
        return std::nullopt;
    }
    DatagramHeader header;
    header.objectId = readLe16(&datagram[offsetof(NetMsgHeader, ObjectID)]);
    header.messageId = readLe16(&datagram[offsetof(NetMsgHeader, MessageID)]);
    header.messageNumber = readLe16(&datagram[offsetof(NetMsgHeader, MessageNumber)]);
    return header;
}

std::span<const uint8_t> datagramData(std::span<const uint8_t> datagram) {
    if (!isValidDatagram(datagram)) {
        return {};
    }
    return datagram.subspan(kNetMsgHeaderSize);
}

std::vector<uint8_t> buildEnvelope(uint32_t address, uint32_t parameter,
                                   std::span<const uint8_t> datagram) {
    std::vector<uint8_t> envelope(sizeof(_NetMessageInternal_t) + datagram.size());
    writeLe32(&envelope[offsetof(_NetMessageInternal_t, Address)], address);
    writeLe32(&envelope[offsetof(_NetMessageInternal_t, Length)],
              static_cast<uint32_t>(datagram.size()));
    writeLe32(&envelope[offsetof(_NetMessageInternal_t, Parameter)], parameter);
    if (!datagram.empty()) {
        std::memcpy(&envelope[offsetof(_NetMessageInternal_t, Data)], datagram.data(),
                    datagram.size());
    }
    return envelope;
}

std::optional<EnvelopeView> readEnvelope(std::span<const uint8_t> bytes) {
    constexpr size_t fixed = sizeof(_NetMessageInternal_t);
    if (bytes.size() < fixed) {
        return std::nullopt;
    }
    uint32_t length = readLe32(&bytes[offsetof(_NetMessageInternal_t, Length)]);
    if (length > bytes.size() - fixed) {
        return std::nullopt;
    }
    EnvelopeView view;
    view.address = readLe32(&bytes[offsetof(_NetMessageInternal_t, Address)]);
    view.parameter = readLe32(&bytes[offsetof(_NetMessageInternal_t, Parameter)]);
    view.datagram = bytes.subspan(fixed, length);
    return view;
}

bool receiveSubscribersWant(const EnvelopeView& envelope) {
    if (envelope.parameter != kDirectionReceived) {
        return false;
    }
    std::optional<DatagramHeader> header = readHeader(envelope.datagram);
    return header && header->objectId != 0;
}

}  // namespace wire
