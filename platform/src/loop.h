// A thread's message loop: its windows, its queue, its listening socket
// "<runtime>/p<pid>.<slot>" and the connections of its senders, its timers
// and watched descriptors, all waited on with one epoll descriptor (which is
// also the loop's queueFd()).
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "endpoint.h"
#include "loop_inbox.h"
#include "platform/window.h"
#include "unique_fd.h"
#include "window_title.h"

namespace plat::detail {

class Loop {
  public:
    // The calling thread's loop, created on first use.
    static Loop& current();
    // The calling thread's loop if it has one.
    static Loop* existing();
    // Tears the calling thread's loop down (windows get kMsgDestroy).
    static void shutdownCurrent();

    ~Loop();
    Loop(const Loop&) = delete;
    Loop& operator=(const Loop&) = delete;

    bool owns(Hwnd hwnd) const;
    bool hasWindow(Hwnd hwnd) const;

    Hwnd createWindow(WindowProc proc, const std::string& title);
    bool destroyWindow(Hwnd hwnd);
    // Calls the procedure of a window of this loop directly (a send to a
    // window of the calling thread). nullopt when there is no such window.
    std::optional<SendResult> callDirect(Message& msg);

    bool peek(Message& out);
    // Takes the first queued message without looking at the sources.
    bool takeQueued(Message& out);
    // Waits until a message is queued; false when the loop cannot wait (its
    // epoll descriptor could not be made).
    bool waitForAny();
    bool waitFor(std::chrono::milliseconds timeout);
    int64_t dispatch(Message& msg);
    void postQuit(int exitCode);
    int queueFd() const { return epoll_.get(); }

    bool setTimer(Hwnd hwnd, uint64_t id, uint32_t intervalMs);
    bool killTimer(Hwnd hwnd, uint64_t id);
    bool watch(int fd, Hwnd hwnd, uint32_t msg);
    void unwatch(int fd);

  private:
    struct WindowRecord {
        std::shared_ptr<WindowProc> proc;
        std::unique_ptr<TitleClaim> title;
        bool destroying = false;
    };
    struct Timer {
        Hwnd hwnd;
        uint64_t id;
        UniqueFd fd;
    };
    struct Watch {
        Hwnd hwnd;
        uint32_t msg;
        bool armed;
    };

    Loop();
    bool listen();
    void teardown(bool notifyWindows);
    uint16_t nextWindowNumber();

    // Moves everything that is ready (waiting up to timeoutMs) into queue_.
    void collect(int timeoutMs);
    void collectInbox();
    // Keeps queueFd() readable while messages wait in queue_ (see takeQueued).
    void signalQueued();
    void collectListener();
    void collectConnection(int fd);
    void closeConnection(int fd);
    void collectTimer(int fd);
    void collectWatch(int fd);
    void takeDatagram(IncomingDatagram& in, const std::shared_ptr<UniqueFd>& connection);
    void answerProbe(const IncomingDatagram& in, int connection);
    void rearmWatch(const Message& msg);
    void removeQueued(Hwnd hwnd, uint32_t msg, uint64_t wParam);
    bool addToEpoll(int fd, uint32_t source, uint32_t events);

    UniqueFd epoll_;
    UniqueFd listener_;
    std::string listenerPath_;
    std::map<int, std::shared_ptr<UniqueFd>> connections_;  // shared with reply routes
    std::map<int, uint32_t> connectionPeer_;                // pid of each connection's peer
    std::map<uint32_t, size_t> peerConnections_;            // connections per peer pid
    uint16_t slot_ = 0;
    std::shared_ptr<LoopInbox> inbox_;
    std::deque<Message> queue_;
    // The inbox's descriptor was written for messages left in queue_ and not
    // read since: queueFd() is readable.
    bool queuedSignalled_ = false;
    std::map<uint16_t, WindowRecord> windows_;
    uint16_t lastWindowNumber_ = 0;
    std::map<int, Timer> timers_;           // by timerfd
    std::map<int, Watch> watches_;          // by watched descriptor
    std::unique_ptr<RecordBatch> records_;  // made on first receive
};

}  // namespace plat::detail
