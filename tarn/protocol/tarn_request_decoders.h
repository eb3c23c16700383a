// Bounded decoders of the Tarn requests, for the receiving side (the
// simulated devices) and for checking what was sent. Every decoder takes the
// received data block and never reads past it; an item count is never trusted
// beyond the whole items that arrived.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "protocol/tarn_header.h"
#include "protocol/tarn_items.h"

namespace objscope {

struct RegistrationRequest {
    TarnAddress notifyTo;  // where notifications go
    uint16_t interval = 0;
    uint16_t propertyId = 0;  // bits 0..13
    uint16_t threshold = 0;
    uint8_t typeCode = 0;
    uint16_t registrationNumber = 0;
    ItemHeader itemHeader;  // the property's item header (wire size inside)
};

struct UnregisterRequest {
    uint16_t code = 0;               // 1023
    TarnAddress registrationSource;  // Src_Net, Src_Dev, Src_Obj of the registration
};

// A run of items preceded by a u16 count.
struct ItemList {
    uint16_t declaredCount = 0;
    std::vector<ItemView> items;  // whole items that arrived, at most the count
    bool cutShort() const { return items.size() < declaredCount; }
};

struct ConfirmObjectRequest {
    uint16_t classId = 0;
    uint16_t objectHandle = 0;
    uint16_t ownerHandle = 0;
    ItemList properties;
};

struct ObjectListingRequest {
    uint16_t startIndex = 0;
    std::optional<uint16_t> classFilter;
};

// Nothing when the block is too short for the fixed part of its payload.
std::optional<RegistrationRequest> decodeRegistrationRequest(std::span<const uint8_t> data);
std::optional<UnregisterRequest> decodeUnregisterRequest(std::span<const uint8_t> data);
std::optional<ConfirmObjectRequest> decodeConfirmObjectRequest(std::span<const uint8_t> data);
std::optional<ItemList> decodeSetMultiplePropsRequest(std::span<const uint8_t> data);
// The item header of a TarnGet request.
std::optional<ItemHeader> decodeGetRequest(std::span<const uint8_t> data);
// The item of a TarnSet request.
std::optional<ItemView> decodeSetRequest(std::span<const uint8_t> data);
std::optional<ObjectListingRequest> decodeObjectListingRequest(std::span<const uint8_t> data);
// The u16 word of a one-word device command (delete, delete all, resets).
std::optional<uint16_t> decodeCommandWord(std::span<const uint8_t> data);

// Reads `count` items back to back, keeping the whole ones.
ItemList readItems(std::span<const uint8_t> bytes, uint16_t count);

}  // namespace objscope
