// Windows and message loops: the Linux counterpart of hidden windows, window
// messages, posted and sent messages with time-outs, window lookup by title,
// window timers and socket readiness notifications.
//
// Every thread that creates a window gets its own message loop: a queue that
// can be polled (queueFd) together with sockets and timers. A window handle
// names the process and the thread loop that own the window, so any process of
// the same user can post or send to it:
//
//     handle = (pid << 32) | (loop slot << 16) | window number
//
// Each loop listens on one Unix record socket (SOCK_SEQPACKET)
// "<runtime>/p<pid>.<slot>". A thread of another process keeps one connection
// per loop it talks to; each message is one record on it, and the results of
// sent messages come back the same way. Threads of one process hand messages
// to each other's queues directly. A window created with a title also binds
// "<runtime>/<title>", and its handle is kept in "<runtime>/<title>.lock";
// findWindow() reads it there while the title's socket is alive. The runtime
// folder is created mode 0700, connections of another user are refused, and
// every record carries the sender's credentials; records of another user are
// dropped unread.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/payload.h"

namespace plat {

using Hwnd = uint64_t;
struct SendRoute;  // where the result of a sent message goes (internal)
constexpr Hwnd kNoWindow = 0;

constexpr uint32_t kMsgClose = 0x0010;       // close request (WM_CLOSE)
constexpr uint32_t kMsgDestroy = 0x0002;     // window destroyed (WM_DESTROY)
constexpr uint32_t kMsgCopyData = 0x004A;    // copy-data (WM_COPYDATA)
constexpr uint32_t kMsgCommand = 0x0111;     // menu command (WM_COMMAND), wParam = command ID
constexpr uint32_t kMsgTimer = 0x0113;       // timer (WM_TIMER), wParam = timer ID
constexpr uint32_t kMsgShowWindow = 0x0018;  // show (wParam 1) or hide (wParam 0)
constexpr uint32_t kMsgQuit = 0x0012;        // ends the loop (WM_QUIT), wParam = exit code

// One message as a window procedure sees it. `sender` is the pid of the
// process that posted or sent it (the receiving loop checked its uid).
struct Message {
    Hwnd hwnd = kNoWindow;
    uint32_t msg = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;
    Payload payload;  // data travelling with the message (inline or section)
    uint32_t senderPid = 0;
    bool isSend = false;  // true while a sender waits for the result
    // A procedure answering a sent message may put data here; it travels
    // back to the sender with the result (sendMessageTimeoutWithReply).
    Payload reply;
    // Set by the loop for a sent message; dispatchMessage() returns the
    // result through it. A sent message dropped without being dispatched
    // tells its sender at once that no result will come. A sent message
    // whose sender's time-out has passed is dropped instead of dispatched.
    std::shared_ptr<SendRoute> route;
};

// A window procedure returns the message's result (given back to a sender).
using WindowProc = std::function<int64_t(Message&)>;

// Creates a window owned by the calling thread. With a non-empty title the
// window is also registered under that title; when a live window of any
// process already holds the title, creation fails and kNoWindow is returned.
// A stale title left by a dead process is replaced.
Hwnd createWindow(WindowProc proc, const std::string& title = {});

// Destroys a window of the calling thread: its timers are killed, its title is
// released, its procedure receives kMsgDestroy, and later messages for it are
// dropped (senders get no result).
bool destroyWindow(Hwnd hwnd);

// True while the window exists (any process; a remote window is probed).
bool isWindow(Hwnd hwnd);

// The process ID a handle names (the process that owns the window).
constexpr uint32_t windowProcess(Hwnd hwnd) {
    return static_cast<uint32_t>(hwnd >> 32);
}

// The handle of the live window holding this title, or kNoWindow.
Hwnd findWindow(const std::string& title);

enum class PostResult {
    Ok,    // queued for the window
    Gone,  // the window or its process no longer exists
    Full,  // the receiver's queue is full: this one message was dropped
};

// Queues a message for a window without waiting. Never blocks.
PostResult postMessage(Hwnd hwnd, uint32_t msg, uint64_t wParam, int64_t lParam,
                       Payload payload = {});

// The result of a sent message, with the data its procedure put into
// Message::reply (empty when it put none).
struct SendResult {
    int64_t result = 0;
    Payload reply;
};

// Delivers a message and waits for the window procedure's result. A window of
// the calling thread is called directly. Returns nullopt when the window is
// gone, or when no result arrived within the time-out (the receiver is hung
// or busy). Messages arriving for the calling thread meanwhile stay queued.
std::optional<int64_t> sendMessageTimeout(Hwnd hwnd, uint32_t msg, uint64_t wParam, int64_t lParam,
                                          Payload payload, std::chrono::milliseconds timeout);

// As sendMessageTimeout, and also returns the procedure's reply data. Reply
// data travels like a posted payload: inline up to kInlinePayloadMax, else
// as a section.
std::optional<SendResult> sendMessageTimeoutWithReply(Hwnd hwnd, uint32_t msg, uint64_t wParam,
                                                      int64_t lParam, Payload payload,
                                                      std::chrono::milliseconds timeout);

// --- the calling thread's message loop -------------------------------------

// Waits for the next message of the calling thread and returns it; false when
// it is the quit message (its wParam is the exit code in `out`).
bool getMessage(Message& out);

// Takes the next message if one is ready (and its timers and watched sockets
// that are due), without waiting.
bool peekMessage(Message& out);

// Calls the window procedure of the message's window. For a message that was
// sent, the result goes back to the waiting sender.
int64_t dispatchMessage(Message& msg);

// getMessage/dispatchMessage until the quit message; returns its exit code.
int runMessageLoop();

// Queues the quit message for the calling thread.
void postQuitMessage(int exitCode);

// Tears the calling thread's loop down completely: its windows are destroyed
// (each procedure receives kMsgDestroy), titles released, timers and watches
// removed, its sockets closed and unlinked, queued messages dropped. A shared
// library calls this on its own thread before that thread ends at unload. A
// later call of any loop function on the thread starts a fresh loop.
void shutdownThreadLoop();

// Sleeps until a message, timer or watched socket of the calling thread is
// ready or the time-out passes. Returns true when something is ready. Uses no
// CPU while waiting.
bool waitForMessage(std::chrono::milliseconds timeout);

// A descriptor that becomes readable whenever the calling thread's loop has
// work (for an outer event loop such as Qt's: on readiness, peek and dispatch
// until peekMessage returns false).
int queueFd();

// --- timers and socket notifications ----------------------------------------

// Installs or replaces timer `id` of a window of the calling thread: every
// `intervalMs` milliseconds the window receives kMsgTimer with wParam = id.
bool setTimer(Hwnd hwnd, uint64_t id, uint32_t intervalMs);
bool killTimer(Hwnd hwnd, uint64_t id);

// While `fd` has data to read, the window (of the calling thread) receives
// `msg` with wParam = fd: one message per readiness, re-armed after the
// procedure has handled it (so one read per notification).
bool watchReadable(int fd, Hwnd hwnd, uint32_t msg);
void unwatch(int fd);

// True when the process is gone or has exited and waits only for its parent
// to collect it (a zombie).
bool processEnded(uint32_t pid);

// Removes what a process that has ended without tearing its loops down
// (killed) left in the runtime folder: its loops' sockets and the titles of
// its windows. Does nothing while the process runs.
void removeRuntimeFilesOf(uint32_t pid);

// Counts of messages dropped because a receiver's queue was full.
uint64_t droppedPostCount();

}  // namespace plat
