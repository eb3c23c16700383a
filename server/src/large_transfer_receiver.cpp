// The receiving role of a transfer. Nothing from the network is trusted:
// the announced length is bounded, a chunk is stored only when it ends
// within that length, and a file name is used only as a plain name inside
// the receive folder.
#include <new>

#include "debuglog.h"
#include "large_transfer.h"
#include "large_transfer_files.h"
#include "large_transfer_list.h"
#include "network.h"
#include "reserved_records.h"

namespace hub {
namespace {

// Received files may fill the receive folder only up to its limits, counting
// what the transfers still running will write; a refusal is logged.
bool folderHasRoomFor(const DataTransferList& list, const std::string& path, uint32_t length,
                      uint32_t source) {
    uint64_t pendingBytes = 0;
    uint64_t pendingFiles = 0;
    list.forEachReceivingFile([&](const _DataTransferEntry& other) {
        if (other.Filename != path) {
            pendingBytes += other.TransferLength;
            pendingFiles += 1;
        }
    });
    if (receiveFolderHasRoom(path, length, pendingBytes, pendingFiles)) {
        return true;
    }
    _Debug_Internal(0,
                    "   ** HUBSERVER (EXE) File transfer from %u.%u.%u.%u refused (%u bytes): "
                    "receive folder full.\n",
                    source >> 24, (source >> 16) & 0xFF, (source >> 8) & 0xFF, source & 0xFF,
                    length);
    return false;
}

// A start the receiver can take on: the entry to add, or nullopt to refuse.
std::optional<_DataTransferEntry> acceptedStart(DataTransferList& list,
                                                const ReservedMessage& start) {
    _DataTransferEntry e;
    e.role = TransferRole::Receiver;
    e.TransferID = e.InternalTransferID = list.nextTransferID();
    e.SourceNetworkAddress = start.address;
    std::optional<TransferStartData> fields = readTransferStart(start.data);
    if (!fields || fields->TransferLength > kMaxTransferLength ||
        list.receiverCount() >= kMaxReceivingTransfers) {
        return std::nullopt;
    }
    e.TransferType = fields->DataType;
    e.TransferLength = fields->TransferLength;
    if (e.TransferType == file_transfer) {
        std::optional<std::string_view> name = readTransferFileName(start.data);
        std::optional<std::string> path = name ? receivedFilePath(*name) : std::nullopt;
        if (!path) {
            return std::nullopt;
        }
        if (!folderHasRoomFor(list, *path, e.TransferLength, start.address)) {
            return std::nullopt;
        }
        e.Filename = *path;
        return e;
    }
    if (e.TransferType != netmsg_transfer || e.TransferLength < wire::kNetMsgHeaderSize) {
        return std::nullopt;  // a message holds at least its header
    }
    try {
        // Address space only; pages are filled as chunks arrive.
        e.DataBuffer.reserve(e.TransferLength);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return e;
}

bool inSequence(const _DataTransferEntry& e, const TransferPacketData& packet) {
    return e.TotalPackets != 0 && packet.PacketNumber == e.LastProcessedPacket + 1 &&
           packet.TotalPackets == e.TotalPackets;
}

// Stores a chunk that ends within TransferLength.
bool storeChunk(_DataTransferEntry& e, std::span<const uint8_t> chunk) {
    if (chunk.size() > e.TransferLength - e.Offset) {
        return false;
    }
    if (e.TransferType == file_transfer) {
        if (!appendToReceivedFile(e.Filename, chunk)) {
            removeReceivedFile(e.Filename);  // no partial file stays behind (disk full)
            return false;
        }
    } else {
        try {
            e.DataBuffer.insert(e.DataBuffer.end(), chunk.begin(), chunk.end());
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    e.Offset += static_cast<uint32_t>(chunk.size());
    return true;
}

// The reassembled message as a received envelope; empty when bytes are
// missing (it is then not delivered) or there is no memory.
std::vector<uint8_t> completedMessage(const _DataTransferEntry& e) {
    if (e.TransferType != netmsg_transfer || e.Offset != e.TransferLength) {
        return {};
    }
    try {
        return wire::buildEnvelope(e.SourceNetworkAddress, wire::kDirectionReceived, e.DataBuffer);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

// A packet that names a transfer but cannot be read ends that transfer.
void endNamedTransfer(DataTransferList& list, const ReservedMessage& packet) {
    if (packet.data.size() >= sizeof(uint16_t)) {
        if (auto e = list.findReceiver(wire::readLe16(packet.data.data()), packet.address)) {
            list.erase(*e);
        }
    }
}

}  // namespace

void ProcessTransferStart(const ReservedMessage& start) {
    DataTransferList& list = dataTransferList();
    std::optional<_DataTransferEntry> accepted = acceptedStart(list, start);
    if (!accepted) {
        sendRefusal(start);
        return;
    }
    TransferEntry e = list.add(std::move(*accepted));
    sendReservedReply(start, transferStartReply(static_cast<uint16_t>(e->TransferID),
                                                static_cast<uint16_t>(kOfferedPacketSize)));
    list.startTimer(*e);
}

void ProcessTransferPacket(const ReservedMessage& packet) {
    DataTransferList& list = dataTransferList();
    std::optional<TransferPacketData> fields = readTransferPacket(packet.data);
    if (!fields) {
        endNamedTransfer(list, packet);
        sendRefusal(packet);
        return;
    }
    std::optional<TransferEntry> found = list.findReceiver(fields->TransferID, packet.address);
    if (!found) {
        sendRefusal(packet);
        return;
    }
    TransferEntry e = *found;
    list.stopTimer(*e);
    if (e->TotalPackets == 0 && e->LastProcessedPacket == 0) {
        e->TotalPackets = fields->TotalPackets;
        e->Offset = 0;
        if (e->TransferType == file_transfer) {
            removeReceivedFile(e->Filename);
        }
    }
    std::optional<std::span<const uint8_t>> chunk = readTransferChunk(packet.data);
    if (!inSequence(*e, *fields) || !chunk || !storeChunk(*e, *chunk)) {
        list.erase(e);
        sendRefusal(packet);
        return;
    }
    e->LastProcessedPacket += 1;
    std::vector<uint8_t> reply = transferPacketReply(static_cast<uint16_t>(e->TransferID),
                                                     static_cast<uint16_t>(e->TotalPackets),
                                                     static_cast<uint16_t>(e->LastProcessedPacket));
    std::vector<uint8_t> delivery;
    if (e->LastProcessedPacket == e->TotalPackets) {
        delivery = completedMessage(*e);
        if (e->TransferType == netmsg_transfer && delivery.empty()) {
            reply = statusOnly(kStatusRefused);
        }
        list.erase(e);
    } else {
        list.startTimer(*e);
    }
    sendReservedReply(packet, reply);
    if (!delivery.empty()) {
        ProcessNetworkMessage(delivery);
    }
}

void ProcessTransferEnd(const ReservedMessage& end) {
    DataTransferList& list = dataTransferList();
    std::optional<TransferEndData> fields = readTransferEnd(end.data);
    if (!fields) {
        return;
    }
    std::optional<TransferEntry> found = list.findReceiver(fields->TransferID, end.address);
    if (!found) {
        return;
    }
    TransferEntry e = *found;
    std::vector<uint8_t> delivery;
    if (fields->Code == kEndComplete) {
        delivery = completedMessage(*e);
    } else if (e->TransferType == file_transfer) {
        removeReceivedFile(e->Filename);
    }
    list.erase(e);
    if (!delivery.empty()) {
        ProcessNetworkMessage(delivery);
    }
}

}  // namespace hub
