// Creation and teardown of a thread's loop, and its windows.
#include "loop.h"

#include <errno.h>
#include <sys/epoll.h>
#include <unistd.h>

#include <random>

#include "handle.h"
#include "loop_sources.h"
#include "platform/dirs.h"
#include "process_ids.h"
#include "thread_owned.h"

namespace plat::detail {
namespace {

ThreadOwned<Loop> tLoop;  // the calling thread's loop

// Runs after the ELF destructors of the libraries built on this one (see
// ThreadOwned).
__attribute__((destructor)) void releaseLoopKey() {
    tLoop.release();
}

uint16_t randomSlot() {
    std::random_device rd;
    return static_cast<uint16_t>(rd());
}

}  // namespace

std::string loopSocketPath(uint32_t pid, uint16_t slot) {
    std::string dir = runtimeDir();
    if (dir.empty()) {
        return {};
    }
    return dir + "/p" + std::to_string(pid) + "." + std::to_string(slot);
}

Loop& Loop::current() {
    Loop* loop = tLoop.get();
    if (loop == nullptr) {
        loop = new Loop;
        tLoop.reset(loop);
    }
    return *loop;
}

Loop* Loop::existing() {
    return tLoop.get();
}

void Loop::shutdownCurrent() {
    if (Loop* loop = tLoop.get()) {
        loop->teardown(true);
        tLoop.reset();
    }
}

Loop::Loop() : epoll_(::epoll_create1(EPOLL_CLOEXEC)) {
    if (!listen()) {
        // Without a runtime folder the loop still runs timers and watches,
        // but can own no windows. Its slot only has to be unique here.
        for (uint16_t s = randomSlot();; ++s) {
            inbox_ = std::make_shared<LoopInbox>(s);
            if (s != 0 && registerInbox(inbox_)) {
                slot_ = s;
                break;
            }
        }
    }
    addToEpoll(inbox_->wakeFd(), kSourceInbox, EPOLLIN);
    if (listener_.valid()) {
        addToEpoll(listener_.get(), kSourceListener, EPOLLIN);
    }
}

Loop::~Loop() {
    teardown(false);
}

// Listens at "<runtime>/p<pid>.<slot>" on a free slot. Two copies of this
// library in one process (or a stale socket of an earlier process with this
// pid) make bind fail with EADDRINUSE; the next slot is tried.
bool Loop::listen() {
    uint16_t s = randomSlot();
    for (int attempt = 0; attempt < 1024; ++attempt, ++s) {
        if (s == 0) {
            continue;
        }
        std::string path = loopSocketPath(static_cast<uint32_t>(ownPid()), s);
        if (path.empty()) {
            return false;
        }
        int err = 0;
        UniqueFd fd = openListener(path, err);
        if (err == EADDRINUSE) {
            continue;
        }
        if (!fd.valid()) {
            return false;
        }
        auto inbox = std::make_shared<LoopInbox>(s);
        if (!registerInbox(inbox)) {
            ::unlink(path.c_str());
            continue;
        }
        listener_ = std::move(fd);
        listenerPath_ = std::move(path);
        slot_ = s;
        inbox_ = std::move(inbox);
        return true;
    }
    return false;
}

void Loop::teardown(bool notifyWindows) {
    while (!windows_.empty()) {
        Hwnd h = makeHandle(static_cast<uint32_t>(ownPid()), slot_, windows_.begin()->first);
        if (!notifyWindows || windows_.begin()->second.destroying || !destroyWindow(h)) {
            windows_.erase(windows_.begin());
        }
    }
    timers_.clear();
    watches_.clear();
    if (inbox_) {
        unregisterInbox(slot_);
        inbox_->close();  // queued sends tell their senders no result comes
    }
    queue_.clear();
    if (!listenerPath_.empty()) {
        ::unlink(listenerPath_.c_str());
        listenerPath_.clear();
    }
    listener_.reset();
    connections_.clear();
    epoll_.reset();
}

bool Loop::owns(Hwnd hwnd) const {
    return handlePid(hwnd) == static_cast<uint32_t>(ownPid()) && handleSlot(hwnd) == slot_;
}

bool Loop::hasWindow(Hwnd hwnd) const {
    if (!owns(hwnd)) {
        return false;
    }
    auto it = windows_.find(handleNumber(hwnd));
    return it != windows_.end() && !it->second.destroying;
}

uint16_t Loop::nextWindowNumber() {
    for (int i = 0; i < 65536; ++i) {
        uint16_t n = ++lastWindowNumber_;
        if (n != 0 && windows_.count(n) == 0) {
            return n;
        }
    }
    return 0;
}

Hwnd Loop::createWindow(WindowProc proc, const std::string& title) {
    if (!listener_.valid() || !proc) {
        return kNoWindow;
    }
    uint16_t n = nextWindowNumber();
    if (n == 0) {
        return kNoWindow;
    }
    Hwnd h = makeHandle(static_cast<uint32_t>(ownPid()), slot_, n);
    WindowRecord rec;
    rec.proc = std::make_shared<WindowProc>(std::move(proc));
    if (!title.empty()) {
        rec.title = std::make_unique<TitleClaim>();
        if (!rec.title->acquire(title, h)) {
            return kNoWindow;
        }
    }
    windows_.emplace(n, std::move(rec));
    inbox_->addWindow(n);
    return h;
}

bool Loop::destroyWindow(Hwnd hwnd) {
    if (!owns(hwnd)) {
        return false;
    }
    auto it = windows_.find(handleNumber(hwnd));
    if (it == windows_.end() || it->second.destroying) {
        return false;
    }
    it->second.destroying = true;
    inbox_->removeWindow(it->first);
    if (it->second.title) {
        it->second.title->release();
    }
    for (auto t = timers_.begin(); t != timers_.end();) {
        t = t->second.hwnd == hwnd ? timers_.erase(t) : std::next(t);
    }
    for (auto w = watches_.begin(); w != watches_.end();) {
        if (w->second.hwnd == hwnd) {
            ::epoll_ctl(epoll_.get(), EPOLL_CTL_DEL, w->first, nullptr);
            w = watches_.erase(w);
        } else {
            ++w;
        }
    }
    auto proc = it->second.proc;
    Message m;
    m.hwnd = hwnd;
    m.msg = kMsgDestroy;
    m.senderPid = static_cast<uint32_t>(ownPid());
    (*proc)(m);
    windows_.erase(handleNumber(hwnd));
    return true;
}

std::optional<SendResult> Loop::callDirect(Message& msg) {
    if (!hasWindow(msg.hwnd)) {
        return std::nullopt;
    }
    auto proc = windows_.find(handleNumber(msg.hwnd))->second.proc;
    int64_t result = (*proc)(msg);
    return SendResult{result, std::move(msg.reply)};
}

}  // namespace plat::detail
