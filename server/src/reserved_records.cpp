#include "reserved_records.h"

#include <algorithm>
#include <limits>

#include "wire/datagram.h"

namespace hub {
namespace {

using wire::readLe16;
using wire::readLe32;
using wire::writeLe16;

template <typename Record>
bool holds(std::span<const uint8_t> data, size_t at = 0) {
    return data.size() >= at && data.size() - at >= sizeof(Record);
}

}  // namespace

std::optional<TransferStartData> readTransferStart(std::span<const uint8_t> data) {
    if (!holds<TransferStartData>(data)) {
        return std::nullopt;
    }
    const uint8_t* p = data.data();
    return TransferStartData{readLe16(p + offsetof(TransferStartData, DataType)),
                             readLe32(p + offsetof(TransferStartData, TransferLength))};
}

std::optional<std::string_view> readTransferFileName(std::span<const uint8_t> data) {
    constexpr size_t kAt = sizeof(TransferStartData);
    if (!holds<TransferFileName>(data, kAt)) {
        return std::nullopt;
    }
    size_t length = readLe16(data.data() + kAt);
    std::span<const uint8_t> rest = data.subspan(kAt + sizeof(TransferFileName));
    if (length > rest.size()) {
        return std::nullopt;
    }
    return std::string_view(reinterpret_cast<const char*>(rest.data()), length);
}

std::optional<TransferStartReply> readTransferStartReply(std::span<const uint8_t> data) {
    if (!holds<TransferStartReply>(data)) {
        return std::nullopt;
    }
    const uint8_t* p = data.data();
    return TransferStartReply{p[0], readLe16(p + offsetof(TransferStartReply, TransferID)),
                              readLe16(p + offsetof(TransferStartReply, PacketSize))};
}

std::optional<TransferPacketData> readTransferPacket(std::span<const uint8_t> data) {
    if (!holds<TransferPacketData>(data)) {
        return std::nullopt;
    }
    const uint8_t* p = data.data();
    return TransferPacketData{readLe16(p + offsetof(TransferPacketData, TransferID)),
                              readLe16(p + offsetof(TransferPacketData, TotalPackets)),
                              readLe16(p + offsetof(TransferPacketData, PacketNumber)),
                              readLe16(p + offsetof(TransferPacketData, ChunkLength))};
}

std::optional<std::span<const uint8_t>> readTransferChunk(std::span<const uint8_t> data) {
    std::optional<TransferPacketData> packet = readTransferPacket(data);
    if (!packet) {
        return std::nullopt;
    }
    std::span<const uint8_t> rest = data.subspan(sizeof(TransferPacketData));
    if (packet->ChunkLength > rest.size()) {
        return std::nullopt;
    }
    return rest.first(packet->ChunkLength);
}

std::optional<TransferEndData> readTransferEnd(std::span<const uint8_t> data) {
    if (!holds<TransferEndData>(data)) {
        return std::nullopt;
    }
    const uint8_t* p = data.data();
    return TransferEndData{readLe16(p + offsetof(TransferEndData, TransferID)),
                           readLe16(p + offsetof(TransferEndData, Code))};
}

std::optional<DebugOnData> readDebugOn(std::span<const uint8_t> data) {
    if (!holds<DebugOnData>(data)) {
        return std::nullopt;
    }
    return DebugOnData{readLe16(data.data())};
}

std::optional<uint8_t> readReplyStatus(std::span<const uint8_t> data) {
    if (data.empty()) {
        return std::nullopt;
    }
    return data[0];
}

std::vector<uint8_t> transferStartData(uint16_t dataType, uint32_t transferLength) {
    std::vector<uint8_t> out(sizeof(TransferStartData));
    writeLe16(&out[offsetof(TransferStartData, DataType)], dataType);
    wire::writeLe32(&out[offsetof(TransferStartData, TransferLength)], transferLength);
    return out;
}

std::vector<uint8_t> transferStartReply(uint16_t transferID, uint16_t packetSize) {
    std::vector<uint8_t> out(sizeof(TransferStartReply));
    out[offsetof(TransferStartReply, Status)] = kStatusAccepted;
    writeLe16(&out[offsetof(TransferStartReply, TransferID)], transferID);
    writeLe16(&out[offsetof(TransferStartReply, PacketSize)], packetSize);
    return out;
}

std::vector<uint8_t> transferPacketData(const TransferPacketData& packet,
                                        std::span<const uint8_t> chunk) {
    std::vector<uint8_t> out(sizeof(TransferPacketData));
    writeLe16(&out[offsetof(TransferPacketData, TransferID)], packet.TransferID);
    writeLe16(&out[offsetof(TransferPacketData, TotalPackets)], packet.TotalPackets);
    writeLe16(&out[offsetof(TransferPacketData, PacketNumber)], packet.PacketNumber);
    writeLe16(&out[offsetof(TransferPacketData, ChunkLength)], packet.ChunkLength);
    out.insert(out.end(), chunk.begin(), chunk.end());
    return out;
}

std::vector<uint8_t> transferPacketReply(uint16_t transferID, uint16_t totalPackets,
                                         uint16_t packetsReceived) {
    std::vector<uint8_t> out(sizeof(TransferPacketReply));
    out[offsetof(TransferPacketReply, Status)] = kStatusAccepted;
    writeLe16(&out[offsetof(TransferPacketReply, TransferID)], transferID);
    writeLe16(&out[offsetof(TransferPacketReply, TotalPackets)], totalPackets);
    writeLe16(&out[offsetof(TransferPacketReply, PacketsReceived)], packetsReceived);
    return out;
}

std::vector<uint8_t> debugOffReply(std::string_view logPath) {
    uint16_t length = static_cast<uint16_t>(
        std::min<size_t>(logPath.size(), std::numeric_limits<uint16_t>::max()));
    std::vector<uint8_t> out(sizeof(DebugOffReply));
    out[offsetof(DebugOffReply, Status)] = kStatusAccepted;
    writeLe16(&out[offsetof(DebugOffReply, PathLength)], length);
    out.insert(out.end(), logPath.begin(), logPath.begin() + length);
    return out;
}

std::vector<uint8_t> statusOnly(uint8_t status) {
    return {status};
}

}  // namespace hub
