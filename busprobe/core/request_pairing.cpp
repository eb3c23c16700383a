#include "request_pairing.h"

#include "platform/ini.h"
#include "traffic_filter.h"
#include "wire/datagram.h"

namespace busprobe {

int64_t readPacketTimeoutMs() {
    int64_t value = plat::ini::getInt("VEK BASE", "PacketTimeout",
                                      static_cast<int32_t>(kDefaultPacketTimeoutMs), "VEKMAIN.INI");
    return value > 60000 || value <= 0 ? kDefaultPacketTimeoutMs : value;
}

uint64_t RequestPairing::key(uint32_t address, uint16_t messageId, uint16_t number, bool sentByUs) {
    return static_cast<uint64_t>(address) << 32 | static_cast<uint64_t>(messageId & 0x7FFF) << 17 |
           static_cast<uint64_t>(number) << 1 | (sentByUs ? 1 : 0);
}

void RequestPairing::giveUp(uint64_t serial, CaptureStore& store) {
    if (store.holds(serial) && store.at(serial).pairing == Pairing::Waiting) {
        store.at(serial).pairing = Pairing::Unanswered;
        ++unanswered_;
    }
}

void RequestPairing::observe(CapturedMessage& m, uint64_t serial, CaptureStore& store) {
    auto header = wire::readHeader(m.datagram());
    if (!header) {
        return;
    }
    bool sent = m.direction == Direction::Sent;
    if ((header->messageId & kResponseFlag) == 0) {
        m.pairing = Pairing::Waiting;
        uint64_t k = key(m.address, header->messageId, header->messageNumber, sent);
        pending_[k] = {serial, m.steadyNs};
        order_.emplace_back(k, serial);
        while (pending_.size() > maxPending_ && !order_.empty()) {
            auto [oldKey, oldSerial] = order_.front();
            order_.pop_front();
            auto it = pending_.find(oldKey);
            if (it != pending_.end() && it->second.serial == oldSerial) {
                pending_.erase(it);
                giveUp(oldSerial, store);
            }
        }
        return;
    }
    m.pairing = Pairing::Response;
    // The request went the other way.
    auto it = pending_.find(key(m.address, header->messageId, header->messageNumber, !sent));
    if (it == pending_.end()) {
        return;
    }
    m.latencyNs = m.steadyNs - it->second.steadyNs;
    if (store.holds(it->second.serial)) {
        store.at(it->second.serial).pairing = Pairing::Answered;
    }
    pending_.erase(it);
}

size_t RequestPairing::expire(int64_t nowNs, CaptureStore& store) {
    size_t count = 0;
    while (!order_.empty()) {
        auto [k, serial] = order_.front();
        auto it = pending_.find(k);
        if (it == pending_.end() || it->second.serial != serial) {
            order_.pop_front();  // answered, or replaced by a newer request
            continue;
        }
        if (nowNs - it->second.steadyNs < timeoutNs_) {
            break;
        }
        order_.pop_front();
        pending_.erase(it);
        giveUp(serial, store);
        ++count;
    }
    return count;
}

}  // namespace busprobe
