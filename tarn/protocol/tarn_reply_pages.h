// Device-side reply builders that respect the size of one datagram: listing
// pages that take as many entries as fit a byte budget, and payload replies
// with a chosen status and mode (partial answers of methods, rejections that
// still carry bytes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "protocol/tarn_header.h"
#include "protocol/tarn_replies.h"
#include "protocol/tarn_reply_builders.h"

namespace objscope {

// One datagram carries at most 1480 bytes, 9 of them the datagram header: the
// Tarn data block (header and payload) of a reply fits in the rest.
constexpr size_t kMaxDatagramBytes = 1480;
constexpr size_t kDatagramHeaderBytes = 9;
constexpr size_t kMaxTarnReplyBytes = kMaxDatagramBytes - kDatagramHeaderBytes;

// A reply whose payload is `payload`, with the given Status and Mode bytes.
std::vector<uint8_t> buildPayloadReply(const TarnHeader& request, const TarnAddress& device,
                                       std::span<const uint8_t> payload, uint8_t status,
                                       uint8_t mode);

// One page of a listing: the reply bytes and how many of the offered entries
// it carries. `partial` is set (Mode 0x80) when entries were left over.
struct ListingReplyPage {
    std::vector<uint8_t> data;
    size_t entriesTaken = 0;
    bool partial = false;
};

// Pages of the three paged listings. Each takes entries from the front of
// `entries` while the reply stays within `byteLimit` bytes (at least the
// 16 bytes of header and count) and the count within 255. An entry that
// cannot be written at all (a name over 255 bytes, an item over the limit)
// ends the page before it; a page that takes nothing is then still complete
// (not partial), so a requester never loops on it.
ListingReplyPage buildObjectListingPage(const TarnHeader& request, const TarnAddress& device,
                                        std::span<const ObjectEntry> entries,
                                        size_t byteLimit = kMaxTarnReplyBytes);
ListingReplyPage buildObjectPlusListingPage(const TarnHeader& request, const TarnAddress& device,
                                            std::span<const ObjectEntry> entries,
                                            size_t byteLimit = kMaxTarnReplyBytes);
ListingReplyPage buildPropertyListingPage(const TarnHeader& request, const TarnAddress& device,
                                          std::span<const PropertyListEntry> entries,
                                          size_t byteLimit = kMaxTarnReplyBytes);

}  // namespace objscope
