// Building and reading datagrams and envelopes. Every field is written and
// read byte by byte in little-endian order, whatever the host order, and
// every read is bounds-checked against the bytes actually present.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "wire/netmsg.h"

namespace wire {

struct DatagramHeader {
    uint16_t objectId = 0;
    uint16_t messageId = 0;  // all 16 bits, response flag included
    uint16_t messageNumber = 0;
};

// "VEK", the three fields at offsets 3, 5 and 7, then the data at offset 9.
std::vector<uint8_t> buildDatagram(const DatagramHeader& header, std::span<const uint8_t> data);

// At least 9 bytes, beginning with exactly "VEK".
bool isValidDatagram(std::span<const uint8_t> datagram);

// The header fields of a valid datagram; nullopt for an invalid one.
std::optional<DatagramHeader> readHeader(std::span<const uint8_t> datagram);

// The data bytes after the header of a valid datagram (empty when invalid).
std::span<const uint8_t> datagramData(std::span<const uint8_t> datagram);

// An envelope: Address, Length, Parameter, then the datagram; exactly
// Length + 12 bytes.
std::vector<uint8_t> buildEnvelope(uint32_t address, uint32_t parameter,
                                   std::span<const uint8_t> datagram);

struct EnvelopeView {
    uint32_t address = 0;
    uint32_t parameter = 0;
    std::span<const uint8_t> datagram;  // exactly Length bytes
};

// Reads an envelope; nullopt when fewer than 12 bytes are present or Length
// claims more bytes than follow the fixed part.
std::optional<EnvelopeView> readEnvelope(std::span<const uint8_t> bytes);

// True when a receive subscriber is handed this envelope: a message received
// from the network (Parameter 1) for an application object (ObjectID not 0).
// Network monitors get every sent and received message.
bool receiveSubscribersWant(const EnvelopeView& envelope);

// Little-endian helpers shared by the readers and writers of this folder.
uint16_t readLe16(const uint8_t* p);
uint32_t readLe32(const uint8_t* p);
void writeLe16(uint8_t* p, uint16_t value);
void writeLe32(uint8_t* p, uint32_t value);

}  // namespace wire
