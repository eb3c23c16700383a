// Filling a loop's queue from its inbox, socket, timers and watched
// descriptors, and handing messages out and to their procedures.
#include <errno.h>
#include <sys/epoll.h>
#include <unistd.h>

#include "handle.h"
#include "loop.h"
#include "loop_sources.h"
#include "process_ids.h"
#include "send_route.h"

namespace plat::detail {
namespace {

// Records taken from one connection, and connections accepted, per
// readiness, so timers, the inbox and other senders get their turn during a
// flood.
constexpr size_t kRecordsPerCollect = 64;
constexpr int kAcceptsPerCollect = 16;
// Connections one loop keeps open; more are refused, so a runaway peer
// cannot use up the process's descriptors. One process may hold only a
// share of them (one connection per thread and target loop is plenty), so
// a process that hoards connections cannot lock the others out.
constexpr size_t kMaxConnections = 1024;
constexpr size_t kMaxConnectionsPerPeer = 128;

}  // namespace

void Loop::collect(int timeoutMs) {
    if (!epoll_.valid()) {
        return;
    }
    epoll_event events[16];
    int n = ::epoll_wait(epoll_.get(), events, 16, timeoutMs);
    for (int i = 0; i < n; ++i) {
        int fd = static_cast<int>(static_cast<uint32_t>(events[i].data.u64));
        switch (static_cast<uint32_t>(events[i].data.u64 >> 32)) {
            case kSourceInbox:
                collectInbox();
                break;
            case kSourceListener:
                collectListener();
                break;
            case kSourceConnection:
                collectConnection(fd);
                break;
            case kSourceTimer:
                collectTimer(fd);
                break;
            case kSourceWatch:
                collectWatch(fd);
                break;
            default:
                break;
        }
    }
}

void Loop::collectInbox() {
    std::deque<Message> incoming = inbox_->takeAll();  // reads the descriptor
    queuedSignalled_ = false;
    for (Message& m : incoming) {
        queue_.push_back(std::move(m));
    }
}

void Loop::collectListener() {
    for (int i = 0; i < kAcceptsPerCollect; ++i) {
        bool more = false;
        uint32_t peer = 0;
        UniqueFd fd = acceptPeer(listener_.get(), more, peer);
        if (fd.valid() && connections_.size() < kMaxConnections &&
            peerConnections_[peer] < kMaxConnectionsPerPeer &&
            addToEpoll(fd.get(), kSourceConnection, EPOLLIN)) {
            int raw = fd.get();
            connections_.emplace(raw, std::make_shared<UniqueFd>(std::move(fd)));
            connectionPeer_[raw] = peer;
            peerConnections_[peer] += 1;
        }
        if (!more) {
            return;
        }
    }
}

void Loop::collectConnection(int fd) {
    auto it = connections_.find(fd);
    if (it == connections_.end()) {
        return;
    }
    auto connection = it->second;  // a record's reply route may outlive the map entry
    if (!records_) {
        records_ = std::make_unique<RecordBatch>();
    }
    // Several records per call; a call that does not fill every slot found
    // the connection empty, so no read is spent to learn that.
    for (size_t taken = 0; taken < kRecordsPerCollect;) {
        RecordBatch::Result got = records_->receive(fd);
        for (size_t i = 0; i < got.count; ++i) {
            if (records_->status[i] == ReceiveStatus::Got) {
                takeDatagram(records_->records[i], connection);
            }
            records_->records[i] = IncomingDatagram{};
        }
        if (got.closed) {
            closeConnection(fd);
            return;
        }
        if (!got.more) {
            return;
        }
        taken += got.count;
    }
}

void Loop::closeConnection(int fd) {
    ::epoll_ctl(epoll_.get(), EPOLL_CTL_DEL, fd, nullptr);
    connections_.erase(fd);
    auto peer = connectionPeer_.find(fd);
    if (peer != connectionPeer_.end()) {
        if (--peerConnections_[peer->second] == 0) {
            peerConnections_.erase(peer->second);
        }
        connectionPeer_.erase(peer);
    }
}

void Loop::takeDatagram(IncomingDatagram& in, const std::shared_ptr<UniqueFd>& connection) {
    auto kind = static_cast<DatagramKind>(in.header.kind);
    if (kind == DatagramKind::Probe) {
        answerProbe(in, connection->get());
        return;
    }
    if (kind != DatagramKind::Post && kind != DatagramKind::Send) {
        return;
    }
    Message m;
    if (kind == DatagramKind::Send) {
        // From here on, dropping the message tells the sender at once.
        SendRoute::Deadline deadline{};
        if (in.header.result > 0) {
            deadline += std::chrono::nanoseconds(in.header.result);
        }
        m.route = std::make_shared<ConnectionRoute>(connection, in.header.seq, deadline);
        m.isSend = true;
    }
    if (!hasWindow(in.header.target)) {
        return;
    }
    bool hasSection = in.sectionFd.valid();
    m.payload = takePayload(in);
    if (hasSection && m.payload.empty()) {
        return;  // not a sealed, non-empty section
    }
    m.hwnd = in.header.target;
    m.msg = in.header.msg;
    m.wParam = in.header.wParam;
    m.lParam = in.header.lParam;
    m.senderPid = static_cast<uint32_t>(in.senderPid);
    queue_.push_back(std::move(m));
}

void Loop::answerProbe(const IncomingDatagram& in, int connection) {
    OutgoingDatagram reply;
    reply.header = makeHeader(DatagramKind::Reply, in.header.target);
    reply.header.seq = in.header.seq;
    reply.header.flags = kFlagDelivered;
    reply.header.result = hasWindow(in.header.target) ? 1 : 0;
    sendRecord(connection, reply, false);
}

bool Loop::peek(Message& out) {
    // Messages already queued are handed out first; the sources are looked
    // at again only once the queue is empty, so a burst costs one
    // epoll_wait per refill instead of one per message.
    if (queue_.empty()) {
        collect(0);
    }
    return takeQueued(out);
}

bool Loop::takeQueued(Message& out) {
    if (queue_.empty()) {
        return false;
    }
    out = std::move(queue_.front());
    queue_.pop_front();
    signalQueued();
    return true;
}

// One collect may move several messages into queue_ and leave the sources
// with nothing ready. A caller that takes one message and stops (a wait
// whose own message came) would leave the rest where an outer loop watching
// queueFd() never sees them: the inbox's descriptor is written once, so
// queueFd() stays readable until the next collect reads it.
void Loop::signalQueued() {
    if (!queue_.empty() && !queuedSignalled_) {
        inbox_->wake();
        queuedSignalled_ = true;
    }
}

bool Loop::waitForAny() {
    while (queue_.empty()) {
        if (!epoll_.valid()) {
            return false;
        }
        collect(-1);
    }
    return true;
}

bool Loop::waitFor(std::chrono::milliseconds timeout) {
    using namespace std::chrono;
    auto deadline = steady_clock::now() + timeout;
    for (;;) {
        if (!queue_.empty()) {
            return true;
        }
        auto left = duration_cast<milliseconds>(deadline - steady_clock::now());
        if (left.count() <= 0) {
            collect(0);
            return !queue_.empty();
        }
        collect(static_cast<int>(std::min<int64_t>(left.count() + 1, INT32_MAX)));
    }
}

int64_t Loop::dispatch(Message& msg) {
    auto it = owns(msg.hwnd) ? windows_.find(handleNumber(msg.hwnd)) : windows_.end();
    bool senderGaveUp = msg.route && msg.route->senderGaveUp();
    if (it == windows_.end() || it->second.destroying || senderGaveUp) {
        if (msg.route) {
            msg.route->complete(std::nullopt);
        }
        return 0;
    }
    auto proc = it->second.proc;  // the procedure may destroy its own window
    int64_t result = (*proc)(msg);
    if (msg.route) {
        msg.route->complete(result, msg.reply);
    }
    rearmWatch(msg);
    return result;
}

void Loop::postQuit(int exitCode) {
    Message m;
    m.msg = kMsgQuit;
    m.wParam = static_cast<uint64_t>(static_cast<int64_t>(exitCode));
    m.senderPid = static_cast<uint32_t>(ownPid());
    queue_.push_back(std::move(m));
    inbox_->wake();  // so an outer loop polling queueFd() sees it
    queuedSignalled_ = true;
}

void Loop::removeQueued(Hwnd hwnd, uint32_t msg, uint64_t wParam) {
    std::erase_if(queue_, [&](const Message& m) {
        return m.hwnd == hwnd && m.msg == msg && m.wParam == wParam;
    });
}

}  // namespace plat::detail
