// Builders of Tarn replies and notifications: what a device sends back. The
// simulated devices use them, and tests build replies with them. A reply
// carries the requester's address triple in `Dest_*` and the device's in
// `Src_*`; its `Mode` byte is the message status.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "protocol/tarn_header.h"
#include "protocol/tarn_replies.h"

namespace objscope {

// The largest count a listing page can announce (one byte).
constexpr size_t kMaxListingEntries = 255;

struct PropertyListEntry {
    uint8_t typeCode = 0;
    std::vector<uint8_t> item;  // an encoded property item
};

// The header of the reply to `request` from the object `device`.
TarnHeader makeReplyHeader(const TarnHeader& request, const TarnAddress& device, uint8_t status,
                           uint8_t mode);

// A reply without payload ("status only").
std::vector<uint8_t> buildStatusReply(const TarnHeader& request, const TarnAddress& device,
                                      uint8_t status, uint8_t mode);
// A reply (status 0, mode 0) whose payload is the given bytes: a TarnGet
// reply when they are one item, a method reply otherwise.
std::vector<uint8_t> buildPayloadReply(const TarnHeader& request, const TarnAddress& device,
                                       std::span<const uint8_t> payload);

// Listing pages: count byte, one unused byte, the entries. `partial` sets
// Mode 0x80 (more follows). Nothing when more than 255 entries are given or a
// name is longer than 255 bytes.
std::optional<std::vector<uint8_t>> buildObjectListingReply(const TarnHeader& request,
                                                            const TarnAddress& device,
                                                            std::span<const ObjectEntry> entries,
                                                            bool partial);
std::optional<std::vector<uint8_t>> buildObjectPlusListingReply(
    const TarnHeader& request, const TarnAddress& device, std::span<const ObjectEntry> entries,
    bool partial);
std::optional<std::vector<uint8_t>> buildPropertyListingReply(
    const TarnHeader& request, const TarnAddress& device,
    std::span<const PropertyListEntry> entries, bool partial);
std::optional<std::vector<uint8_t>> buildClassListingReply(const TarnHeader& request,
                                                           const TarnAddress& device,
                                                           std::span<const uint16_t> classIds);

// A change notification to the address a registration named (`notifyTo`:
// the requester's net, source ID and registration number).
std::vector<uint8_t> buildNotification(const TarnAddress& notifyTo, const TarnAddress& device,
                                       std::span<const uint8_t> item);

}  // namespace objscope
