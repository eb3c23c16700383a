// The calling thread's message loop: the public entry points of window.h.
#include "connections.h"
#include "loop.h"
#include "platform/window.h"
#include "send_route.h"

namespace plat {

using detail::Loop;

bool getMessage(Message& out) {
    Loop& loop = Loop::current();
    // With nothing queued the loop goes straight to its blocking wait, which
    // returns at once when a source is ready (no empty look first).
    while (!loop.takeQueued(out)) {
        if (!loop.waitForAny()) {
            // Without a way to wait the loop ends rather than spin.
            out = Message{};
            out.msg = kMsgQuit;
            out.wParam = static_cast<uint64_t>(-1);
            return false;
        }
    }
    return !(out.msg == kMsgQuit && out.hwnd == kNoWindow);
}

bool peekMessage(Message& out) {
    return Loop::current().peek(out);
}

int64_t dispatchMessage(Message& msg) {
    Loop* loop = Loop::existing();
    if (loop == nullptr) {
        if (msg.route) {
            msg.route->complete(std::nullopt);
        }
        return 0;
    }
    return loop->dispatch(msg);
}

int runMessageLoop() {
    Message m;
    while (getMessage(m)) {
        dispatchMessage(m);
    }
    return static_cast<int>(static_cast<int64_t>(m.wParam));
}

void postQuitMessage(int exitCode) {
    Loop::current().postQuit(exitCode);
}

bool waitForMessage(std::chrono::milliseconds timeout) {
    return Loop::current().waitFor(timeout);
}

int queueFd() {
    return Loop::current().queueFd();
}

bool setTimer(Hwnd hwnd, uint64_t id, uint32_t intervalMs) {
    Loop* loop = Loop::existing();
    return loop != nullptr && loop->setTimer(hwnd, id, intervalMs);
}

bool killTimer(Hwnd hwnd, uint64_t id) {
    Loop* loop = Loop::existing();
    return loop != nullptr && loop->killTimer(hwnd, id);
}

bool watchReadable(int fd, Hwnd hwnd, uint32_t msg) {
    Loop* loop = Loop::existing();
    return loop != nullptr && loop->watch(fd, hwnd, msg);
}

void unwatch(int fd) {
    if (Loop* loop = Loop::existing()) {
        loop->unwatch(fd);
    }
}

void shutdownThreadLoop() {
    Loop::shutdownCurrent();
    detail::Connections::closeCurrent();
}

}  // namespace plat
