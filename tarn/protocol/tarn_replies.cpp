#include "protocol/tarn_replies.h"

#include "protocol/tarn_bytes.h"
#include "protocol/tarn_status.h"

namespace objscope {
namespace {

// True when the reply's status says the device refused the request (a
// transport or message rejection): what follows its header is no listing.
bool isRejection(std::span<const uint8_t> data) {
    int32_t status = replyStatusValue(data);
    return status != kStatusOk && status != kStatusPartialResponse;
}

// Sets up a listing page: count, partial flag and a reader positioned at the
// first entry. The reader is empty when the reply carries no count or is a
// rejection.
template <typename Entry>
ByteReader startListing(std::span<const uint8_t> data, ListingPage<Entry>& page) {
    if (data.size() <= kListingCountOffset || isRejection(data))
        return ByteReader({});
    page.declaredCount = data[kListingCountOffset];
    page.partial = isPartialReply(data);
    if (data.size() <= kListingEntriesOffset)
        return ByteReader({});
    return ByteReader(data.subspan(kListingEntriesOffset));
}

// Reads up to the declared count of entries with `readOne`, keeping only
// entries that arrived whole.
template <typename Entry, typename ReadOne>
ListingPage<Entry> decodeListing(std::span<const uint8_t> data, ReadOne readOne) {
    ListingPage<Entry> page;
    ByteReader reader = startListing(data, page);
    for (size_t i = 0; i < page.declaredCount; ++i) {
        auto entry = readOne(reader);
        if (!entry)
            break;
        page.entries.push_back(std::move(*entry));
    }
    return page;
}

std::optional<ObjectEntry> readObjectEntry(ByteReader& reader) {
    ObjectEntry entry;
    entry.objectHandle = reader.u16();
    entry.classId = reader.u16();
    if (!reader.ok())
        return std::nullopt;
    return entry;
}

std::optional<ObjectEntry> readObjectPlusEntry(ByteReader& reader) {
    auto entry = readObjectEntry(reader);
    uint8_t nameLength = reader.u8();
    auto name = reader.bytes(nameLength);
    if (!entry || !reader.ok())
        return std::nullopt;
    entry->name.assign(name.begin(), name.end());
    return entry;
}

std::optional<PropertyEntry> readPropertyEntry(ByteReader& reader) {
    PropertyEntry entry;
    entry.typeCode = reader.u8();
    if (!reader.ok())
        return std::nullopt;
    auto rest = reader.bytes(reader.remaining());
    auto item = readItem(rest);
    if (!item)
        return std::nullopt;
    entry.item = *item;
    // Step back over what the item did not use.
    reader = ByteReader(rest.subspan(item->totalLength()));
    return entry;
}

std::optional<uint16_t> readClassId(ByteReader& reader) {
    uint16_t classId = reader.u16();
    if (!reader.ok())
        return std::nullopt;
    return classId;
}

}  // namespace

bool isPartialReply(std::span<const uint8_t> data) {
    return data.size() >= kTarnHeaderSize && data[1] == kModePartial;
}

std::span<const uint8_t> replyPayload(std::span<const uint8_t> data) {
    if (data.size() <= kTarnHeaderSize)
        return {};
    return data.subspan(kTarnHeaderSize);
}

std::optional<ItemView> decodeItemReply(std::span<const uint8_t> data) {
    auto payload = replyPayload(data);
    if (payload.empty())
        return std::nullopt;
    return readItem(payload);
}

ListingPage<PropertyEntry> decodePropertyListing(std::span<const uint8_t> data) {
    return decodeListing<PropertyEntry>(data, readPropertyEntry);
}

ListingPage<ObjectEntry> decodeObjectListing(std::span<const uint8_t> data) {
    return decodeListing<ObjectEntry>(data, readObjectEntry);
}

ListingPage<ObjectEntry> decodeObjectPlusListing(std::span<const uint8_t> data) {
    return decodeListing<ObjectEntry>(data, readObjectPlusEntry);
}

ListingPage<uint16_t> decodeClassListing(std::span<const uint8_t> data) {
    return decodeListing<uint16_t>(data, readClassId);
}

std::optional<uint16_t> nextPageStart(uint16_t currentStart, size_t entriesReceived) {
    if (entriesReceived == 0)
        return std::nullopt;
    size_t next = static_cast<size_t>(currentStart) + entriesReceived;
    if (next > UINT16_MAX)
        return std::nullopt;
    return static_cast<uint16_t>(next);
}

}  // namespace objscope
