// Messages of object 0 as the server reads and sends them. Everything sent
// here takes the ordinary send path as a message from inside the server
// (client ID 0): paced, traced and handed to the network monitors like any
// message a client sends.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "wire/datagram.h"

namespace hub {

// A received message of object 0: its peer, header and data.
struct ReservedMessage {
    uint32_t address = 0;  // the peer, host order
    wire::DatagramHeader header;
    std::span<const uint8_t> data;  // after the 9-byte header

    uint16_t identifier() const { return header.messageId & ~wire::kResponseFlag; }
    bool isReply() const { return (header.messageId & wire::kResponseFlag) != 0; }
};

// The message in an envelope; nullopt for an envelope that does not hold a
// whole datagram.
std::optional<ReservedMessage> readReservedMessage(std::span<const uint8_t> envelope);

// Sends a request of object 0 with a new message number and returns that
// number (the one its reply will carry).
uint16_t sendReservedRequest(uint32_t address, uint16_t messageId, std::span<const uint8_t> data);

// Answers `request`: its MessageID with bit 15 set, its MessageNumber.
void sendReservedReply(const ReservedMessage& request, std::span<const uint8_t> data);

// Answers `request` with the 10-byte refusal (status 1).
void sendRefusal(const ReservedMessage& request);

}  // namespace hub
