// Change notifications: unsolicited Tarn messages a device sends to the
// address a registration gave. `Dest_Dev` is the requester's source ID (or
// 0xFFFF for everybody), `Dest_Obj` the registration number, and the payload
// one property item with the new value.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "protocol/tarn_items.h"

namespace objscope {

struct Notification {
    uint16_t registrationNumber = 0;
    std::optional<ItemView> item;  // absent when no whole item arrived
};

// The notification for this PC (source ID `sourceId`), or nothing when the
// block is shorter than the header, is addressed to another PC, or names no
// registration (`Dest_Obj` below 12).
std::optional<Notification> decodeNotification(std::span<const uint8_t> data, uint16_t sourceId);

}  // namespace objscope
