#include "network_duplicates.h"

namespace hub {

void DuplicateRing::reset() {
    entries_ = {};
    NetMsgPtr = 0;
}

bool DuplicateRing::contains(uint32_t address, uint16_t messageID, uint16_t messageNumber) const {
    for (const _MsgBuffer& entry : entries_) {
        if (entry.NetAddress == address && entry.MessageID == messageID &&
            entry.MessageNum == messageNumber) {
            return true;
        }
    }
    return false;
}

void DuplicateRing::remember(uint32_t address, uint16_t messageID, uint16_t messageNumber) {
    entries_[NetMsgPtr] = {messageNumber, messageID, address};
    NetMsgPtr = (NetMsgPtr + 1) % kEntries;
}

}  // namespace hub
