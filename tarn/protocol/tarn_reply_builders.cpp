#include "protocol/tarn_reply_builders.h"

#include "protocol/tarn_bytes.h"

namespace objscope {
namespace {

std::vector<uint8_t> startReply(const TarnHeader& request, const TarnAddress& device,
                                uint8_t status, uint8_t mode) {
    std::vector<uint8_t> out;
    appendTarnHeader(out, makeReplyHeader(request, device, status, mode));
    return out;
}

std::vector<uint8_t> startListing(const TarnHeader& request, const TarnAddress& device,
                                  size_t count, bool partial) {
    auto out = startReply(request, device, 0, partial ? kModePartial : 0);
    ByteWriter writer(out);
    writer.u8(static_cast<uint8_t>(count));
    writer.u8(0);
    return out;
}

}  // namespace

TarnHeader makeReplyHeader(const TarnHeader& request, const TarnAddress& device, uint8_t status,
                           uint8_t mode) {
    TarnHeader reply{};
    reply.Status = status;
    reply.Mode = mode;
    reply.Dest_Net = request.Src_Net;
    reply.Dest_Dev = request.Src_Dev;
    reply.Dest_Obj = request.Src_Obj;
    reply.Src_Net = device.net;
    reply.Src_Dev = device.dev;
    reply.Src_Obj = device.obj;
    return reply;
}

std::vector<uint8_t> buildStatusReply(const TarnHeader& request, const TarnAddress& device,
                                      uint8_t status, uint8_t mode) {
    return startReply(request, device, status, mode);
}

std::vector<uint8_t> buildPayloadReply(const TarnHeader& request, const TarnAddress& device,
                                       std::span<const uint8_t> payload) {
    auto out = startReply(request, device, 0, 0);
    ByteWriter(out).bytes(payload);
    return out;
}

namespace {

// A listing reply: the header, the count, then each entry as `writeEntry`
// puts it. Nothing when there are more entries than one listing carries or
// when an entry cannot be written.
template <typename Entry, typename WriteEntry>
std::optional<std::vector<uint8_t>> buildListing(const TarnHeader& request,
                                                 const TarnAddress& device,
                                                 std::span<const Entry> entries, bool partial,
                                                 WriteEntry writeEntry) {
    if (entries.size() > kMaxListingEntries)
        return std::nullopt;
    auto out = startListing(request, device, entries.size(), partial);
    ByteWriter writer(out);
    for (const auto& entry : entries) {
        if (!writeEntry(writer, entry))
            return std::nullopt;
    }
    return out;
}

}  // namespace

std::optional<std::vector<uint8_t>> buildObjectListingReply(const TarnHeader& request,
                                                            const TarnAddress& device,
                                                            std::span<const ObjectEntry> entries,
                                                            bool partial) {
    return buildListing(request, device, entries, partial,
                        [](ByteWriter& writer, const ObjectEntry& entry) {
                            writer.u16(entry.objectHandle);
                            writer.u16(entry.classId);
                            return true;
                        });
}

std::optional<std::vector<uint8_t>> buildObjectPlusListingReply(
    const TarnHeader& request, const TarnAddress& device, std::span<const ObjectEntry> entries,
    bool partial) {
    return buildListing(
        request, device, entries, partial, [](ByteWriter& writer, const ObjectEntry& entry) {
            if (entry.name.size() > 255)
                return false;
            writer.u16(entry.objectHandle);
            writer.u16(entry.classId);
            writer.u8(static_cast<uint8_t>(entry.name.size()));
            writer.bytes({reinterpret_cast<const uint8_t*>(entry.name.data()), entry.name.size()});
            return true;
        });
}

std::optional<std::vector<uint8_t>> buildPropertyListingReply(
    const TarnHeader& request, const TarnAddress& device,
    std::span<const PropertyListEntry> entries, bool partial) {
    return buildListing(request, device, entries, partial,
                        [](ByteWriter& writer, const PropertyListEntry& entry) {
                            writer.u8(entry.typeCode);
                            writer.bytes(entry.item);
                            return true;
                        });
}

std::optional<std::vector<uint8_t>> buildClassListingReply(const TarnHeader& request,
                                                           const TarnAddress& device,
                                                           std::span<const uint16_t> classIds) {
    return buildListing(request, device, classIds, false, [](ByteWriter& writer, uint16_t classId) {
        writer.u16(classId);
        return true;
    });
}

std::vector<uint8_t> buildNotification(const TarnAddress& notifyTo, const TarnAddress& device,
                                       std::span<const uint8_t> item) {
    TarnHeader header{};
    header.Dest_Net = notifyTo.net;
    header.Dest_Dev = notifyTo.dev;
    header.Dest_Obj = notifyTo.obj;
    header.Src_Net = device.net;
    header.Src_Dev = device.dev;
    header.Src_Obj = device.obj;
    std::vector<uint8_t> out;
    appendTarnHeader(out, header);
    ByteWriter(out).bytes(item);
    return out;
}

}  // namespace objscope
