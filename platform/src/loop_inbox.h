// The part of a thread's message loop that other threads of this process
// reach directly: its inbox of messages and the set of its live windows.
// Posts and sends between threads of one process go through it instead of
// the loop's socket; they behave the same, but are not limited by the
// kernel's datagram queue length.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <set>

#include "platform/window.h"
#include "unique_fd.h"

namespace plat::detail {

class LoopInbox {
  public:
    explicit LoopInbox(uint16_t slot);

    uint16_t slot() const { return slot_; }
    // An eventfd that is readable while the inbox has messages.
    int wakeFd() const { return wake_.get(); }
    bool valid() const { return wake_.valid(); }

    // Queues a message for one of the loop's windows.
    PostResult push(Message msg);
    // Makes wakeFd() readable (the owner queued something itself).
    void wake();
    // Takes every queued message and resets wakeFd().
    std::deque<Message> takeAll();

    bool hasWindow(uint16_t number);
    void addWindow(uint16_t number);
    void removeWindow(uint16_t number);

    // Refuses further messages; returns those still queued.
    std::deque<Message> close();

  private:
    const uint16_t slot_;
    UniqueFd wake_;
    std::mutex mutex_;
    std::deque<Message> queue_;
    std::set<uint16_t> windows_;
    bool open_ = true;
};

// The inbox of a loop of this process (and this copy of the library) that
// owns the handle, or nullptr.
std::shared_ptr<LoopInbox> findLocalInbox(Hwnd hwnd);
// Registers the inbox under its slot; false when the slot is taken.
bool registerInbox(const std::shared_ptr<LoopInbox>& inbox);
void unregisterInbox(uint16_t slot);

}  // namespace plat::detail
