// The sending role of a transfer.
#include <algorithm>
#include <limits>
#include <new>

#include "large_transfer.h"
#include "large_transfer_list.h"
#include "reserved_records.h"

namespace hub {
namespace {

constexpr uint32_t kBeforeFirstPacket = std::numeric_limits<uint32_t>::max();  // -1

uint32_t chunkSize(const _DataTransferEntry& e) {
    return e.PacketSize - kPacketOverhead;
}

// Takes the receiver's offer. The packet size is kept between 512 and the
// 1480 bytes a datagram may carry. False when the message would need more
// packets than a packet number can count.
bool acceptStartReply(_DataTransferEntry& e, const TransferStartReply& reply) {
    e.TransferID = reply.TransferID;
    e.PacketSize = std::clamp<uint32_t>(reply.PacketSize, kSmallestPacketSize, kLargestPacketSize);
    e.Offset = 0;
    uint32_t chunk = chunkSize(e);
    e.TotalPackets = (e.TransferLength + chunk - 1) / chunk;
    e.LastProcessedPacket = kBeforeFirstPacket;
    return e.TotalPackets <= std::numeric_limits<uint16_t>::max();
}

// Sends packet LastProcessedPacket + 1 and starts its timer; false when
// there was no memory for it.
bool sendNextPacket(DataTransferList& list, _DataTransferEntry& e) {
    uint32_t chunk = chunkSize(e);
    uint32_t number = e.LastProcessedPacket + 1;
    uint32_t length =
        number == e.TotalPackets ? e.TransferLength - chunk * e.LastProcessedPacket : chunk;
    TransferPacketData fields{static_cast<uint16_t>(e.TransferID),
                              static_cast<uint16_t>(e.TotalPackets), static_cast<uint16_t>(number),
                              static_cast<uint16_t>(length)};
    std::vector<uint8_t> data;
    try {
        data = transferPacketData(fields, std::span(e.DataBuffer).subspan(e.Offset, length));
    } catch (const std::bad_alloc&) {
        return false;
    }
    e.ResponseMessageNumber =
        sendReservedRequest(e.DestNetworkAddress, kReservedTransferPacket, data);
    e.Offset += chunk;
    list.startTimer(e);
    return true;
}

// A reply whose fields are all present and which says "accepted".
bool acceptedReply(const ReservedMessage& reply, size_t fieldBytes) {
    std::optional<uint8_t> status = readReplyStatus(reply.data);
    return status && *status == kStatusAccepted && reply.data.size() >= fieldBytes;
}

}  // namespace

bool StartDataTransfer(std::span<const uint8_t> envelope) {
    DataTransferList& list = dataTransferList();
    std::optional<wire::EnvelopeView> view = wire::readEnvelope(envelope);
    if (!list.running() || !view || view->datagram.size() > kMaxTransferLength ||
        list.size() - list.receiverCount() >= kMaxSendingTransfers) {
        return false;  // a receiver would refuse it, or too many are under way
    }
    _DataTransferEntry e;
    e.role = TransferRole::Sender;
    e.TransferType = netmsg_transfer;
    e.InternalTransferID = list.nextTransferID();
    e.TransferLength = static_cast<uint32_t>(view->datagram.size());
    e.DestNetworkAddress = view->address;
    try {
        e.DataBuffer.assign(view->datagram.begin(), view->datagram.end());
    } catch (const std::bad_alloc&) {
        return false;
    }
    TransferEntry entry = list.add(std::move(e));
    entry->ResponseMessageNumber =
        sendReservedRequest(entry->DestNetworkAddress, kReservedTransferStart,
                            transferStartData(netmsg_transfer, entry->TransferLength));
    list.startTimer(*entry);
    return true;
}

void ProcessTransferReply(const ReservedMessage& reply) {
    DataTransferList& list = dataTransferList();
    std::optional<TransferEntry> found = list.findSender(reply.header.messageNumber, reply.address);
    if (!found) {
        return;
    }
    TransferEntry e = *found;
    switch (reply.identifier()) {
        case kReservedTransferStart: {
            if (!acceptedReply(reply, sizeof(TransferStartReply))) {
                return;  // refused or cut short: the timer ends the transfer
            }
            if (!acceptStartReply(*e, *readTransferStartReply(reply.data))) {
                list.erase(e);
                return;
            }
            break;
        }
        case kReservedTransferPacket:
            if (!acceptedReply(reply, sizeof(TransferPacketReply))) {
                return;
            }
            break;
        default:
            return;
    }
    list.stopTimer(*e);
    e->LastProcessedPacket += 1;
    if (e->LastProcessedPacket >= e->TotalPackets) {
        list.erase(e);  // complete; no end message is sent
        return;
    }
    if (!sendNextPacket(list, *e)) {
        list.erase(e);
    }
}

}  // namespace hub
