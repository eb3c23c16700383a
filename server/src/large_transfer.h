// Messages longer than one datagram: both roles of a transfer between two
// servers, carried by reserved messages 1 (start), 2 (packet) and 3 (end) of
// object 0 and their replies.
//
// Sender: the message is copied, announced with message 1, and sent in
// numbered packets, each one after the reply to the one before; there is no
// retransmission, a missing reply ends the transfer when its packet timer
// expires. Receiver: the chunks are stored in sequence and the whole message
// is handed to the receive path as if it had arrived in one datagram.
//
// Everything runs on the server's main thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "reserved_send.h"

namespace hub {

// No transfer carries more bytes than this, in either role.
constexpr uint32_t kMaxTransferLength = 16u * 1024 * 1024;
// Receiving transfers at the same time; further starts are refused.
constexpr size_t kMaxReceivingTransfers = 32;
// Sending transfers at the same time (each holds a copy of its message and
// a timer); further sends are refused.
constexpr size_t kMaxSendingTransfers = 32;
// Datagram bytes of a packet besides its chunk: header and packet fields.
constexpr uint32_t kPacketOverhead = 17;

// Sender: begins the transfer of the envelope's datagram (copied). False
// when it was not started (too long, too many sending, no memory): then
// nothing of it is sent.
bool StartDataTransfer(std::span<const uint8_t> envelope);

// Sender: a reply (bit 15 set) of object 0 from the peer of a transfer.
void ProcessTransferReply(const ReservedMessage& reply);

// Receiver: messages 1, 2 and 3.
void ProcessTransferStart(const ReservedMessage& start);
void ProcessTransferPacket(const ReservedMessage& packet);
void ProcessTransferEnd(const ReservedMessage& end);

}  // namespace hub
