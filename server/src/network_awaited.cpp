#include "network_awaited.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace hub {
namespace {

constexpr uint16_t kResponseFlag = 0x8000;

struct AwaitedList {
    std::mutex lock;
    std::vector<AwaitedResponse> entries;  // oldest first
};

AwaitedList& awaitedList() {
    static AwaitedList list;
    return list;
}

bool expired(const AwaitedResponse& e, std::chrono::steady_clock::time_point now) {
    return e.deadline <= now;
}

bool sameRequest(const AwaitedResponse& a, const AwaitedResponse& b) {
    return a.waiter == b.waiter && a.address == b.address && a.messageId == b.messageId &&
           a.messageNumber == b.messageNumber;
}

}  // namespace

bool awaitResponse(const AwaitedResponse& entry) {
    AwaitedList& list = awaitedList();
    std::lock_guard<std::mutex> guard(list.lock);
    if (list.entries.size() >= kMaxAwaitedResponses) {
        auto now = std::chrono::steady_clock::now();
        std::erase_if(list.entries, [now](const AwaitedResponse& e) { return expired(e, now); });
        if (list.entries.size() >= kMaxAwaitedResponses) {
            return false;
        }
    }
    AwaitedResponse stored = entry;
    stored.messageId = static_cast<uint16_t>(entry.messageId & ~kResponseFlag);
    list.entries.push_back(stored);
    return true;
}

void forgetAwaitedResponse(const AwaitedResponse& entry) {
    AwaitedList& list = awaitedList();
    AwaitedResponse key = entry;
    key.messageId = static_cast<uint16_t>(entry.messageId & ~kResponseFlag);
    std::lock_guard<std::mutex> guard(list.lock);
    auto it = std::find_if(list.entries.begin(), list.entries.end(),
                           [&](const AwaitedResponse& e) { return sameRequest(e, key); });
    if (it != list.entries.end()) {
        list.entries.erase(it);
    }
}

std::optional<AwaitedResponse> takeAwaitedResponse(uint32_t source,
                                                   const wire::DatagramHeader& header) {
    if ((header.messageId & kResponseFlag) == 0) {
        return std::nullopt;
    }
    AwaitedList& list = awaitedList();
    std::lock_guard<std::mutex> guard(list.lock);
    if (list.entries.empty()) {
        return std::nullopt;
    }
    auto messageId = static_cast<uint16_t>(header.messageId & ~kResponseFlag);
    auto now = std::chrono::steady_clock::now();
    std::optional<AwaitedResponse> taken;
    // Expired entries met on the way are dropped as well.
    std::erase_if(list.entries, [&](const AwaitedResponse& e) {
        if (expired(e, now)) {
            return true;
        }
        if (taken || e.address != source || e.messageId != messageId ||
            e.messageNumber != header.messageNumber) {
            return false;
        }
        taken = e;
        return true;
    });
    return taken;
}

void forgetAwaitedResponsesOf(int32_t clientID) {
    AwaitedList& list = awaitedList();
    std::lock_guard<std::mutex> guard(list.lock);
    std::erase_if(list.entries,
                  [clientID](const AwaitedResponse& e) { return e.clientID == clientID; });
}

void forgetAllAwaitedResponses() {
    AwaitedList& list = awaitedList();
    std::lock_guard<std::mutex> guard(list.lock);
    list.entries.clear();
}

size_t awaitedResponseCount() {
    AwaitedList& list = awaitedList();
    std::lock_guard<std::mutex> guard(list.lock);
    return list.entries.size();
}

}  // namespace hub
