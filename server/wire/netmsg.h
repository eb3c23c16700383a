// The datagram every PC and device exchanges, and the envelope in which a
// datagram travels between hubserver and its client applications.
//
// Datagram: "VEK", ObjectID, MessageID (bit 15 = response), MessageNumber,
// all little-endian, then the data. The data length is the datagram length
// minus the 9-byte header; it is never carried inside the datagram.
#pragma once

#include <cstddef>
#include <cstdint>

namespace wire {

constexpr size_t kNetMsgHeaderSize = 9;
constexpr char kMagic[3] = {'V', 'E', 'K'};
constexpr uint16_t kResponseFlag = 0x8000;

// A message longer than this (header included) with a non-zero ObjectID goes
// through the large-message transfer instead of one datagram.
constexpr size_t kMaxSingleDatagram = 1480;

// Envelope Parameter: direction of the message.
constexpr uint32_t kDirectionSent = 0;
constexpr uint32_t kDirectionReceived = 1;

}  // namespace wire

#pragma pack(push, 1)

struct NetMsgHeader {
    char MsgHeader[3];       // "VEK", no terminator
    uint16_t ObjectID;       // addressed (or answering) object; 0 = server protocol
    uint16_t MessageID;      // bits 0-14 identifier, bit 15 response flag
    uint16_t MessageNumber;  // a response carries the number of its request
};

struct _NetMessageInternal_t {
    uint32_t Address;    // peer IPv4 address, host order
    uint32_t Length;     // bytes in Data: the whole datagram
    uint32_t Parameter;  // wire::kDirectionSent or wire::kDirectionReceived
    uint8_t Data[];      // the datagram exactly as on the wire
};

#pragma pack(pop)

static_assert(sizeof(NetMsgHeader) == 9);
static_assert(offsetof(NetMsgHeader, MsgHeader) == 0);
static_assert(offsetof(NetMsgHeader, ObjectID) == 3);
static_assert(offsetof(NetMsgHeader, MessageID) == 5);
static_assert(offsetof(NetMsgHeader, MessageNumber) == 7);

static_assert(sizeof(_NetMessageInternal_t) == 12);
static_assert(offsetof(_NetMessageInternal_t, Address) == 0);
static_assert(offsetof(_NetMessageInternal_t, Length) == 4);
static_assert(offsetof(_NetMessageInternal_t, Parameter) == 8);
static_assert(offsetof(_NetMessageInternal_t, Data) == 12);
