#include "loop_inbox.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <unordered_map>

#include "handle.h"
#include "process_ids.h"

namespace plat::detail {
namespace {

// Bounds the memory a runaway poster can take; the messages past it are
// dropped and counted like those refused by a full socket.
constexpr size_t kInboxLimit = 65536;

struct Registry {
    std::mutex mutex;
    std::unordered_map<uint16_t, std::shared_ptr<LoopInbox>> inboxes;
};

Registry& registry() {
    static Registry* r = new Registry;  // never destroyed: threads may outlive statics
    return *r;
}

}  // namespace

LoopInbox::LoopInbox(uint16_t slot)
    : slot_(slot), wake_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

PostResult LoopInbox::push(Message msg) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_ || windows_.count(handleNumber(msg.hwnd)) == 0) {
        return PostResult::Gone;
    }
    if (queue_.size() >= kInboxLimit) {
        return PostResult::Full;
    }
    queue_.push_back(std::move(msg));
    if (queue_.size() == 1) {
        uint64_t one = 1;
        [[maybe_unused]] ssize_t w = ::write(wake_.get(), &one, sizeof(one));
    }
    return PostResult::Ok;
}

void LoopInbox::wake() {
    uint64_t one = 1;
    [[maybe_unused]] ssize_t w = ::write(wake_.get(), &one, sizeof(one));
}

std::deque<Message> LoopInbox::takeAll() {
    std::deque<Message> out;
    std::lock_guard<std::mutex> lock(mutex_);
    uint64_t count;
    [[maybe_unused]] ssize_t r = ::read(wake_.get(), &count, sizeof(count));
    out.swap(queue_);
    return out;
}

bool LoopInbox::hasWindow(uint16_t number) {
    std::lock_guard<std::mutex> lock(mutex_);
    return open_ && windows_.count(number) != 0;
}

void LoopInbox::addWindow(uint16_t number) {
    std::lock_guard<std::mutex> lock(mutex_);
    windows_.insert(number);
}

void LoopInbox::removeWindow(uint16_t number) {
    std::lock_guard<std::mutex> lock(mutex_);
    windows_.erase(number);
}

std::deque<Message> LoopInbox::close() {
    std::deque<Message> out;
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = false;
    windows_.clear();
    out.swap(queue_);
    return out;
}

std::shared_ptr<LoopInbox> findLocalInbox(Hwnd hwnd) {
    if (handlePid(hwnd) != static_cast<uint32_t>(ownPid())) {
        return nullptr;
    }
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.inboxes.find(handleSlot(hwnd));
    return it == r.inboxes.end() ? nullptr : it->second;
}

bool registerInbox(const std::shared_ptr<LoopInbox>& inbox) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.inboxes.emplace(inbox->slot(), inbox).second;
}

void unregisterInbox(uint16_t slot) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.inboxes.erase(slot);
}

}  // namespace plat::detail
