#include "large_transfer_list.h"

#include <algorithm>
#include <optional>

namespace hub {
namespace {

constexpr uint32_t kLastTransferID = 65535;

}  // namespace

DataTransferList& dataTransferList() {
    static DataTransferList list;
    return list;
}

void DataTransferList::reset(plat::Hwnd window, uint32_t packetTimeoutMs) {
    clear();
    window_ = window;
    packetTimeoutMs_ = std::max<uint32_t>(packetTimeoutMs, 1);
    nextTransferID_ = 1;
    running_ = true;
}

void DataTransferList::clear() {
    running_ = false;
    while (!entries_.empty()) {
        erase(entries_.begin());
    }
}

TransferEntry DataTransferList::add(_DataTransferEntry entry) {
    entries_.push_front(std::move(entry));
    return entries_.begin();
}

void DataTransferList::erase(TransferEntry entry) {
    stopTimer(*entry);
    entries_.erase(entry);
}

std::optional<TransferEntry> DataTransferList::findReceiver(uint32_t transferID, uint32_t source) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->role == TransferRole::Receiver && it->TransferID == transferID &&
            it->SourceNetworkAddress == source) {
            return it;
        }
    }
    return std::nullopt;
}

std::optional<TransferEntry> DataTransferList::findSender(uint16_t messageNumber, uint32_t dest) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->role == TransferRole::Sender && it->ResponseMessageNumber == messageNumber &&
            it->DestNetworkAddress == dest) {
            return it;
        }
    }
    return std::nullopt;
}

std::optional<TransferEntry> DataTransferList::findByTimer(uint64_t timerID) {
    if (timerID == 0) {
        return std::nullopt;
    }
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->TimerID == timerID) {
            return it;
        }
    }
    return std::nullopt;
}

size_t DataTransferList::receiverCount() const {
    return static_cast<size_t>(std::count_if(entries_.begin(), entries_.end(), [](const auto& e) {
        return e.role == TransferRole::Receiver;
    }));
}

uint32_t DataTransferList::nextTransferID() {
    uint32_t id = nextTransferID_;
    nextTransferID_ = id >= kLastTransferID ? 1 : id + 1;
    return id;
}

void DataTransferList::startTimer(_DataTransferEntry& entry) {
    stopTimer(entry);
    // A fresh ID per step: an expiry already queued for the previous step
    // then finds no entry.
    entry.TimerID = kTransferTimerBase + ++nextTimer_;
    plat::setTimer(window_, entry.TimerID, packetTimeoutMs_);
}

void DataTransferList::stopTimer(_DataTransferEntry& entry) {
    if (entry.TimerID != 0) {
        plat::killTimer(window_, entry.TimerID);
        entry.TimerID = 0;
    }
}

}  // namespace hub
