// The data of the reserved messages of object 0: the large-message transfer
// (start, packet, end and their replies) and the two remote-debugging
// commands. Offsets count from the start of the data (datagram offset 9);
// every field is little-endian. A reply begins with a status byte; a
// refusal is the status byte alone.
//
// Readers take a message's data as it arrived and return nullopt when it is
// shorter than the record: no field is read past the bytes present.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace hub {

// Message identifiers of object 0 (bit 15 clear; a reply sets it).
constexpr uint16_t kReservedTransferStart = 1;
constexpr uint16_t kReservedTransferPacket = 2;
constexpr uint16_t kReservedTransferEnd = 3;
constexpr uint16_t kReservedDebugOn = 256;
constexpr uint16_t kReservedDebugOff = 257;

constexpr uint8_t kStatusAccepted = 0;
constexpr uint8_t kStatusRefused = 1;

// DataType of a transfer.
constexpr uint16_t file_transfer = 1;
constexpr uint16_t netmsg_transfer = 2;

// Code of the end message that completes a transfer; any other aborts it.
constexpr uint16_t kEndComplete = 1;

// Datagram size of a packet offered by a receiver, and the bounds a sender
// applies to the size it is offered.
constexpr uint32_t kOfferedPacketSize = 1480;
constexpr uint32_t kSmallestPacketSize = 512;
constexpr uint32_t kLargestPacketSize = 1480;

#pragma pack(push, 1)

struct TransferStartData {
    uint16_t DataType;
    uint32_t TransferLength;
};

// Follows TransferStartData for a file: the name of NameLength bytes, no
// terminator.
struct TransferFileName {
    uint16_t NameLength;
};

struct TransferStartReply {
    uint8_t Status;
    uint16_t TransferID;
    uint16_t PacketSize;
};

// Followed by the chunk of ChunkLength bytes.
struct TransferPacketData {
    uint16_t TransferID;
    uint16_t TotalPackets;
    uint16_t PacketNumber;  // from 1
    uint16_t ChunkLength;
};

struct TransferPacketReply {
    uint8_t Status;
    uint16_t TransferID;
    uint16_t TotalPackets;
    uint16_t PacketsReceived;
};

struct TransferEndData {
    uint16_t TransferID;
    uint16_t Code;
};

struct DebugOnData {
    uint16_t DebugWord;  // bit 0 set: network debugging on
};

// Followed by the path of the debug log, PathLength bytes, no terminator.
struct DebugOffReply {
    uint8_t Status;
    uint16_t PathLength;
};

#pragma pack(pop)

static_assert(sizeof(TransferStartData) == 6);
static_assert(offsetof(TransferStartData, TransferLength) == 2);
static_assert(sizeof(TransferFileName) == 2);
static_assert(sizeof(TransferStartReply) == 5);
static_assert(offsetof(TransferStartReply, TransferID) == 1);
static_assert(offsetof(TransferStartReply, PacketSize) == 3);
static_assert(sizeof(TransferPacketData) == 8);
static_assert(offsetof(TransferPacketData, TotalPackets) == 2);
static_assert(offsetof(TransferPacketData, PacketNumber) == 4);
static_assert(offsetof(TransferPacketData, ChunkLength) == 6);
static_assert(sizeof(TransferPacketReply) == 7);
static_assert(offsetof(TransferPacketReply, TransferID) == 1);
static_assert(offsetof(TransferPacketReply, TotalPackets) == 3);
static_assert(offsetof(TransferPacketReply, PacketsReceived) == 5);
static_assert(sizeof(TransferEndData) == 4);
static_assert(offsetof(TransferEndData, Code) == 2);
static_assert(sizeof(DebugOnData) == 2);
static_assert(sizeof(DebugOffReply) == 3);
static_assert(offsetof(DebugOffReply, PathLength) == 1);

// Readers.
std::optional<TransferStartData> readTransferStart(std::span<const uint8_t> data);
// The file name after the start record; nullopt when the name length field
// is missing or claims more bytes than follow it.
std::optional<std::string_view> readTransferFileName(std::span<const uint8_t> data);
std::optional<TransferStartReply> readTransferStartReply(std::span<const uint8_t> data);
std::optional<TransferPacketData> readTransferPacket(std::span<const uint8_t> data);
// The chunk of a packet: exactly ChunkLength bytes, nullopt when fewer follow.
std::optional<std::span<const uint8_t>> readTransferChunk(std::span<const uint8_t> data);
std::optional<TransferEndData> readTransferEnd(std::span<const uint8_t> data);
std::optional<DebugOnData> readDebugOn(std::span<const uint8_t> data);
// The status byte that begins every reply.
std::optional<uint8_t> readReplyStatus(std::span<const uint8_t> data);

// Writers: the data of each message.
std::vector<uint8_t> transferStartData(uint16_t dataType, uint32_t transferLength);
std::vector<uint8_t> transferStartReply(uint16_t transferID, uint16_t packetSize);
std::vector<uint8_t> transferPacketData(const TransferPacketData& packet,
                                        std::span<const uint8_t> chunk);
std::vector<uint8_t> transferPacketReply(uint16_t transferID, uint16_t totalPackets,
                                         uint16_t packetsReceived);
std::vector<uint8_t> debugOffReply(std::string_view logPath);
std::vector<uint8_t> statusOnly(uint8_t status);

}  // namespace hub
