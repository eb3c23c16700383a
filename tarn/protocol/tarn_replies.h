// Bounded decoders of the Tarn replies objscope reads. Every decoder takes the
// received data block (header and payload, DataLength bytes) and never reads
// past it. A reply too short for its payload is an empty answer; a listing's
// count is never trusted beyond the whole entries that arrived.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "protocol/tarn_header.h"
#include "protocol/tarn_items.h"

namespace objscope {

// Listing replies: byte 14 is the count, entries start at byte 16.
constexpr size_t kListingCountOffset = 14;
constexpr size_t kListingEntriesOffset = 16;

// True when the reply's Mode byte is exactly 0x80: a partial list, ask again.
bool isPartialReply(std::span<const uint8_t> data);

// The reply bytes after the header (empty when the reply has none).
std::span<const uint8_t> replyPayload(std::span<const uint8_t> data);

// The property item of a TarnGet reply (or of a notification) at offset 14.
// Nothing when the reply has no payload or the item runs past its end.
std::optional<ItemView> decodeItemReply(std::span<const uint8_t> data);

struct ObjectEntry {
    uint16_t objectHandle = 0;
    uint16_t classId = 0;
    std::string name;  // only in TarnGetAllObjsPlus listings
    bool operator==(const ObjectEntry&) const = default;
};

struct PropertyEntry {
    uint8_t typeCode = 0;
    ItemView item;  // points into the reply
};

template <typename Entry>
struct ListingPage {
    uint8_t declaredCount = 0;   // the count the device wrote
    std::vector<Entry> entries;  // the whole entries that arrived (at most the count)
    bool partial = false;        // Mode byte exactly 0x80

    // True when fewer entries arrived than the device announced.
    bool cutShort() const { return entries.size() < declaredCount; }
};

// An empty page (no entries) for replies of 14 bytes or less and for
// replies whose status is a rejection.
ListingPage<PropertyEntry> decodePropertyListing(std::span<const uint8_t> data);
ListingPage<ObjectEntry> decodeObjectListing(std::span<const uint8_t> data);
ListingPage<ObjectEntry> decodeObjectPlusListing(std::span<const uint8_t> data);
ListingPage<uint16_t> decodeClassListing(std::span<const uint8_t> data);

// The start index of the next page: the current one advanced by the entries
// that arrived. Nothing when no entry arrived (asking again would ask for the
// same page forever) or the index would leave the 16-bit range.
std::optional<uint16_t> nextPageStart(uint16_t currentStart, size_t entriesReceived);

}  // namespace objscope
