// A loop's window timers (one timerfd each) and watched descriptors (epoll
// one-shot, re-armed after the procedure handled the notification).
#include <errno.h>
#include <sys/epoll.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include "loop.h"
#include "loop_sources.h"
#include "process_ids.h"

namespace plat::detail {

bool Loop::addToEpoll(int fd, uint32_t source, uint32_t events) {
    epoll_event ev{};
    ev.events = events;
    ev.data.u64 = sourceTag(source, fd);
    return ::epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, fd, &ev) == 0;
}

bool Loop::setTimer(Hwnd hwnd, uint64_t id, uint32_t intervalMs) {
    if (!hasWindow(hwnd)) {
        return false;
    }
    if (intervalMs == 0) {
        intervalMs = 1;
    }
    int fd = -1;
    for (auto& [timerFd, t] : timers_) {
        if (t.hwnd == hwnd && t.id == id) {
            fd = timerFd;
        }
    }
    if (fd < 0) {
        UniqueFd created(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC));
        if (!created.valid() || !addToEpoll(created.get(), kSourceTimer, EPOLLIN)) {
            return false;
        }
        fd = created.get();
        timers_.emplace(fd, Timer{hwnd, id, std::move(created)});
    }
    itimerspec spec{};
    spec.it_interval.tv_sec = intervalMs / 1000;
    spec.it_interval.tv_nsec = static_cast<long>(intervalMs % 1000) * 1000000L;
    spec.it_value = spec.it_interval;
    return ::timerfd_settime(fd, 0, &spec, nullptr) == 0;
}

bool Loop::killTimer(Hwnd hwnd, uint64_t id) {
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (it->second.hwnd == hwnd && it->second.id == id) {
            ::epoll_ctl(epoll_.get(), EPOLL_CTL_DEL, it->first, nullptr);
            timers_.erase(it);
            removeQueued(hwnd, kMsgTimer, id);
            return true;
        }
    }
    return false;
}

// One timer message however many intervals passed since the last one.
void Loop::collectTimer(int fd) {
    auto it = timers_.find(fd);
    if (it == timers_.end()) {
        return;
    }
    uint64_t expirations = 0;
    if (::read(fd, &expirations, sizeof(expirations)) != sizeof(expirations) || expirations == 0) {
        return;
    }
    Message m;
    m.hwnd = it->second.hwnd;
    m.msg = kMsgTimer;
    m.wParam = it->second.id;
    m.senderPid = static_cast<uint32_t>(ownPid());
    queue_.push_back(std::move(m));
}

bool Loop::watch(int fd, Hwnd hwnd, uint32_t msg) {
    if (fd < 0 || !hasWindow(hwnd)) {
        return false;
    }
    epoll_event ev{};
    ev.events = EPOLLIN | EPOLLONESHOT;
    ev.data.u64 = sourceTag(kSourceWatch, fd);
    auto it = watches_.find(fd);
    if (it != watches_.end()) {
        removeQueued(it->second.hwnd, it->second.msg, static_cast<uint64_t>(fd));
        if (::epoll_ctl(epoll_.get(), EPOLL_CTL_MOD, fd, &ev) != 0) {
            watches_.erase(it);
            return false;
        }
        it->second = Watch{hwnd, msg, true};
        return true;
    }
    if (::epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, fd, &ev) != 0) {
        return false;
    }
    watches_.emplace(fd, Watch{hwnd, msg, true});
    return true;
}

void Loop::unwatch(int fd) {
    auto it = watches_.find(fd);
    if (it == watches_.end()) {
        return;
    }
    ::epoll_ctl(epoll_.get(), EPOLL_CTL_DEL, fd, nullptr);
    removeQueued(it->second.hwnd, it->second.msg, static_cast<uint64_t>(fd));
    watches_.erase(it);
}

void Loop::collectWatch(int fd) {
    auto it = watches_.find(fd);
    if (it == watches_.end() || !it->second.armed) {
        return;
    }
    it->second.armed = false;
    Message m;
    m.hwnd = it->second.hwnd;
    m.msg = it->second.msg;
    m.wParam = static_cast<uint64_t>(fd);
    m.senderPid = static_cast<uint32_t>(ownPid());
    queue_.push_back(std::move(m));
}

// Called after a procedure handled a message: when it was a watch's
// notification, the descriptor is watched again.
void Loop::rearmWatch(const Message& msg) {
    if (msg.wParam > static_cast<uint64_t>(INT32_MAX)) {
        return;
    }
    auto it = watches_.find(static_cast<int>(msg.wParam));
    if (it == watches_.end() || it->second.armed || it->second.hwnd != msg.hwnd ||
        it->second.msg != msg.msg) {
        return;
    }
    epoll_event ev{};
    ev.events = EPOLLIN | EPOLLONESHOT;
    ev.data.u64 = sourceTag(kSourceWatch, it->first);
    if (::epoll_ctl(epoll_.get(), EPOLL_CTL_MOD, it->first, &ev) != 0) {
        watches_.erase(it);  // the descriptor was closed meanwhile
        return;
    }
    it->second.armed = true;
}

}  // namespace plat::detail
