#include "protocol/tarn_reply_pages.h"

#include <algorithm>

#include "protocol/tarn_bytes.h"

namespace objscope {
namespace {

// Bytes one entry takes in its listing, or 0 when it cannot be written.
size_t entryBytes(const ObjectEntry&) {
    return 4;
}
size_t plusEntryBytes(const ObjectEntry& entry) {
    return entry.name.size() > 255 ? 0 : 5 + entry.name.size();
}
size_t entryBytes(const PropertyListEntry& entry) {
    return entry.item.empty() ? 0 : 1 + entry.item.size();
}

void writeEntry(ByteWriter& writer, const ObjectEntry& entry) {
    writer.u16(entry.objectHandle);
    writer.u16(entry.classId);
}
void writePlusEntry(ByteWriter& writer, const ObjectEntry& entry) {
    writeEntry(writer, entry);
    writer.u8(static_cast<uint8_t>(entry.name.size()));
    writer.bytes({reinterpret_cast<const uint8_t*>(entry.name.data()), entry.name.size()});
}
void writeEntry(ByteWriter& writer, const PropertyListEntry& entry) {
    writer.u8(entry.typeCode);
    writer.bytes(entry.item);
}

template <typename Entry, typename SizeOf, typename Write>
ListingReplyPage buildPage(const TarnHeader& request, const TarnAddress& device,
                           std::span<const Entry> entries, size_t byteLimit, SizeOf sizeOf,
                           Write write) {
    const size_t limit = std::max(byteLimit, kListingEntriesOffset);
    size_t used = kListingEntriesOffset;
    size_t taken = 0;
    while (taken < entries.size() && taken < kMaxListingEntries) {
        size_t size = sizeOf(entries[taken]);
        if (size == 0 || used + size > limit)
            break;
        used += size;
        ++taken;
    }
    ListingReplyPage page;
    page.entriesTaken = taken;
    // More follows only when this page advanced: an entry that fits no page
    // at all ends the listing instead of being asked for again and again.
    page.partial = taken > 0 && taken < entries.size();
    page.data.reserve(used);
    appendTarnHeader(page.data,
                     makeReplyHeader(request, device, 0, page.partial ? kModePartial : 0));
    ByteWriter writer(page.data);
    writer.u8(static_cast<uint8_t>(taken));
    writer.u8(0);
    for (size_t i = 0; i < taken; ++i)
        write(writer, entries[i]);
    return page;
}

}  // namespace

std::vector<uint8_t> buildPayloadReply(const TarnHeader& request, const TarnAddress& device,
                                       std::span<const uint8_t> payload, uint8_t status,
                                       uint8_t mode) {
    std::vector<uint8_t> out;
    out.reserve(kTarnHeaderSize + payload.size());
    appendTarnHeader(out, makeReplyHeader(request, device, status, mode));
    ByteWriter(out).bytes(payload);
    return out;
}

ListingReplyPage buildObjectListingPage(const TarnHeader& request, const TarnAddress& device,
                                        std::span<const ObjectEntry> entries, size_t byteLimit) {
    return buildPage(
        request, device, entries, byteLimit, [](const ObjectEntry& e) { return entryBytes(e); },
        [](ByteWriter& w, const ObjectEntry& e) { writeEntry(w, e); });
}

ListingReplyPage buildObjectPlusListingPage(const TarnHeader& request, const TarnAddress& device,
                                            std::span<const ObjectEntry> entries,
                                            size_t byteLimit) {
    return buildPage(request, device, entries, byteLimit, plusEntryBytes, writePlusEntry);
}

ListingReplyPage buildPropertyListingPage(const TarnHeader& request, const TarnAddress& device,
                                          std::span<const PropertyListEntry> entries,
                                          size_t byteLimit) {
    return buildPage(
        request, device, entries, byteLimit,
        [](const PropertyListEntry& e) { return entryBytes(e); },
        [](ByteWriter& w, const PropertyListEntry& e) { writeEntry(w, e); });
}

}  // namespace objscope
