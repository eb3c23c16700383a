#include "process_ids.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>

namespace plat::detail {
namespace {

// 0 (never a valid pid here) means "read it again".
std::atomic<pid_t> gPid{0};
std::atomic<uid_t> gUid{static_cast<uid_t>(-1)};
std::atomic<bool> gUidKnown{false};

void forgetInChild() {
    gPid.store(0, std::memory_order_relaxed);
    gUidKnown.store(false, std::memory_order_relaxed);
}

// Registered once when the library is loaded.
[[gnu::constructor]] void watchForks() {
    ::pthread_atfork(nullptr, nullptr, &forgetInChild);
}

}  // namespace

pid_t ownPid() {
    pid_t pid = gPid.load(std::memory_order_relaxed);
    if (pid == 0) {
        pid = ::getpid();
        gPid.store(pid, std::memory_order_relaxed);
    }
    return pid;
}

uid_t ownUid() {
    if (!gUidKnown.load(std::memory_order_acquire)) {
        gUid.store(::getuid(), std::memory_order_relaxed);
        gUidKnown.store(true, std::memory_order_release);
    }
    return gUid.load(std::memory_order_relaxed);
}

}  // namespace plat::detail
