#include "protocol/tarn_notification.h"

#include "protocol/tarn_header.h"
#include "protocol/tarn_message_kinds.h"
#include "protocol/tarn_replies.h"

namespace objscope {

std::optional<Notification> decodeNotification(std::span<const uint8_t> data, uint16_t sourceId) {
    auto header = readTarnHeader(data);
    if (!header)
        return std::nullopt;
    if (header->Dest_Dev != kBroadcastSourceId && header->Dest_Dev != sourceId) {
        return std::nullopt;
    }
    if (header->Dest_Obj < kFirstRegistrationNumber)
        return std::nullopt;
    return Notification{header->Dest_Obj, decodeItemReply(data)};
}

}  // namespace objscope
