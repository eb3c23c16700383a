// Sending: every datagram departs "MessageDelayTime" after the previous one
// (or after it was handed over, when the line was idle), goes to the
// configured receive port of its destination and is handed to the clients
// as sent. Broadcasts can leave twice.
//
// Datagrams that cannot leave at once wait in a bounded queue and a timer
// sends them; nothing sleeps on the main thread. A queued datagram counts as
// sent for its caller; one refused because its client's share of the queue
// is used up returns -12 and never leaves.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <vector>

#include "client_registry.h"
#include "debuglog.h"
#include "network.h"
#include "network_hooks.h"
#include "network_pacing.h"
#include "network_state.h"
#include "network_trace.h"
#include "wire/address.h"
#include "wire/datagram.h"

namespace hub {
namespace {

constexpr uint32_t kMsgPacingTimer = 0x8003;  // private: the pacing timer is due
constexpr size_t kDeparturesPerWake = 64;     // then the loop serves the other sources
constexpr int kMaxSendRetries = 200;          // 1 ms apart: the socket had no room
constexpr auto kRetryDelay = std::chrono::milliseconds(1);

// One datagram to `address`:RecvSocketPort; the bytes sent or -1 (errno).
ssize_t sendDatagram(const NetworkState& s, uint32_t address, std::span<const uint8_t> datagram) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(address);
    to.sin_port = htons(s.RecvSocketPort);
    return ::sendto(s.SendSocket, datagram.data(), datagram.size(), MSG_NOSIGNAL,
                    reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

bool noRoomYet(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == ENOBUFS;
}

// The envelope as the clients see a sent message: Parameter 0.
void dispatchSentCopy(uint32_t address, std::span<const uint8_t> datagram) {
    DispatchNetworkMessage(wire::buildEnvelope(address, wire::kDirectionSent, datagram));
}

bool isLargeMessage(std::span<const uint8_t> datagram) {
    if (datagram.size() <= wire::kMaxSingleDatagram) {
        return false;
    }
    // Longer than a header, so the ObjectID is present.
    return wire::readLe16(datagram.data() + 3) != 0;
}

bool doubledBroadcast(const NetworkState& s, uint32_t address) {
    return s.DoubleUpBroadcasts != 0 && wire::isBroadcast(address);
}

// Arms the timer for the head's departure; disarms it when nothing waits.
void armPacingTimer(NetworkState& s) {
    itimerspec when{};
    if (std::optional<SendClock::time_point> due = s.outgoing.nextDue()) {
        auto since = due->time_since_epoch();
        auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
        when.it_value.tv_sec = seconds.count();
        when.it_value.tv_nsec = (since - seconds).count();
        if (when.it_value.tv_sec == 0 && when.it_value.tv_nsec == 0) {
            when.it_value.tv_nsec = 1;  // zero would disarm
        }
    }
    ::timerfd_settime(s.PacingTimer, TFD_TIMER_ABSTIME, &when, nullptr);
}

// Logs refusals of one client at the 1st, 2nd, 4th, 8th ... of a run, so a
// flooding client cannot flood the log as well.
void logRefusal(const NetworkState& s, int32_t clientID) {
    uint64_t refused = s.outgoing.refusedInRun(clientID);
    if ((refused & (refused - 1)) == 0) {
        _Debug_Internal(0,
                        "   ** HUBSERVER (EXE) Send queue full: message of client %d dropped "
                        "(%llu dropped).\n",
                        clientID, static_cast<unsigned long long>(refused));
    }
}

// What follows a send attempt: the trace (first copies only) and, when it
// left, the copy handed to the clients as sent.
void reportDeparture(const OutgoingDatagram& d, ssize_t sent, int error) {
    if (!d.isRepeat) {
        traceSentMessage(sent >= 0, error, d.address, d.datagram);
    }
    if (sent >= 0) {
        dispatchSentCopy(d.address, d.datagram);
    }
}

OutgoingDatagram outgoing(int32_t clientID, uint32_t address, std::span<const uint8_t> datagram,
                          SendClock::time_point due) {
    OutgoingDatagram d;
    d.clientID = clientID;
    d.address = address;
    d.datagram.assign(datagram.begin(), datagram.end());
    d.due = due;
    return d;
}

// A first copy that left: its second copy waits for its own departure.
void queueRepeat(NetworkState& s, const OutgoingDatagram& first) {
    OutgoingDatagram repeat =
        outgoing(first.clientID, first.address, first.datagram, *first.repeatDue);
    repeat.isRepeat = true;
    repeat.gap =
        std::chrono::duration_cast<std::chrono::milliseconds>(*first.repeatDue - first.due);
    s.outgoing.pushFront(std::move(repeat));
}

void sendDueDatagrams() {
    NetworkState& s = networkState();
    uint64_t expirations = 0;
    [[maybe_unused]] ssize_t n = ::read(s.PacingTimer, &expirations, sizeof expirations);
    for (size_t i = 0; i < kDeparturesPerWake; ++i) {
        std::optional<OutgoingDatagram> d = s.outgoing.popDue(SendClock::now());
        if (!d) {
            break;
        }
        ssize_t sent = sendDatagram(s, d->address, d->datagram);
        s.outgoing.departed(SendClock::now());
        if (sent < 0 && noRoomYet(errno) && d->retries < kMaxSendRetries) {
            d->retries += 1;
            d->due = SendClock::now() + kRetryDelay;
            d->gap = std::chrono::milliseconds(0);
            s.outgoing.pushFront(std::move(*d));
            break;
        }
        reportDeparture(*d, sent, sent < 0 ? errno : 0);
        if (sent >= 0 && d->repeatDue) {
            queueRepeat(s, *d);
        }
    }
    armPacingTimer(s);
}

// Nothing waits and no delay applies: the datagram leaves now and the
// caller learns the socket's answer.
int32_t sendAtOnce(NetworkState& s, int32_t clientID, uint32_t address,
                   std::span<const uint8_t> datagram) {
    OutgoingDatagram d = outgoing(clientID, address, datagram, SendClock::now());
    ssize_t sent = sendDatagram(s, address, datagram);
    s.outgoing.departed(SendClock::now());
    reportDeparture(d, sent, sent < 0 ? errno : 0);
    if (sent < 0) {
        return kNetFailed;
    }
    if (doubledBroadcast(s, address)) {
        d.repeatDue = d.due + std::chrono::milliseconds(std::max(s.DoubleUpDelayTime, 0));
        queueRepeat(s, d);
        armPacingTimer(s);
    }
    return static_cast<int32_t>(sent);
}

int32_t queueForDeparture(NetworkState& s, int32_t clientID, uint32_t address,
                          std::span<const uint8_t> datagram) {
    OutgoingDatagram d = outgoing(clientID, address, datagram,
                                  s.outgoing.departure(SendClock::now(), s.MsgDelayTime));
    d.gap = std::chrono::milliseconds(std::max(s.MsgDelayTime, 0));
    if (doubledBroadcast(s, address)) {
        d.repeatDue = d.due + std::chrono::milliseconds(std::max(s.DoubleUpDelayTime, 0));
    }
    if (!s.outgoing.push(std::move(d))) {
        logRefusal(s, clientID);
        return kNetFailed;
    }
    armPacingTimer(s);
    return static_cast<int32_t>(datagram.size());
}

int32_t sendEnvelope(int32_t clientID, std::span<const uint8_t> envelope) {
    std::optional<wire::EnvelopeView> view = wire::readEnvelope(envelope);
    if (!view) {
        return kNetBadRequest;  // Length claims more bytes than arrived
    }
    if (isLargeMessage(view->datagram)) {
        HandOffLargeMessage(envelope.first(12 + view->datagram.size()));
        return 1;
    }
    NetworkState& s = networkState();
    if (s.outgoing.empty() && s.MsgDelayTime <= 0) {
        return sendAtOnce(s, clientID, view->address, view->datagram);
    }
    return queueForDeparture(s, clientID, view->address, view->datagram);
}

}  // namespace

bool openSendPacing() {
    NetworkState& s = networkState();
    s.PacingTimer = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (s.PacingTimer < 0) {
        return false;
    }
    s.PacingWindow = plat::createWindow([](plat::Message& m) -> int64_t {
        if (m.msg == kMsgPacingTimer) {
            sendDueDatagrams();
        }
        return 0;
    });
    if (s.PacingWindow == plat::kNoWindow ||
        !plat::watchReadable(s.PacingTimer, s.PacingWindow, kMsgPacingTimer)) {
        closeSendPacing();
        return false;
    }
    return true;
}

void closeSendPacing() {
    NetworkState& s = networkState();
    size_t dropped = s.outgoing.clear();
    if (dropped > 0) {
        _Debug_Internal(0, "   ** HUBSERVER (EXE) %zu queued messages not sent.\n", dropped);
    }
    if (s.PacingTimer >= 0) {
        plat::unwatch(s.PacingTimer);
        ::close(s.PacingTimer);
        s.PacingTimer = -1;
    }
    if (s.PacingWindow != plat::kNoWindow) {
        plat::destroyWindow(s.PacingWindow);
        s.PacingWindow = plat::kNoWindow;
    }
}

int32_t SendVEKNetworkMessage(int32_t clientID, const plat::Payload& section) {
    if (!networkState().NetworkInstalled) {
        return kNetFailed;
    }
    if (!FindClient(clientID)) {
        return kNetBadRequest;
    }
    if (section.empty()) {
        return kNetOutOfMemory;
    }
    return sendEnvelope(clientID, section.bytes());
}

int32_t SendVEKNetworkMessage(int32_t clientID, std::span<const uint8_t> envelope) {
    if (!networkState().NetworkInstalled) {
        return kNetFailed;
    }
    if (clientID != 0 && !FindClient(clientID)) {
        return kNetBadRequest;
    }
    if (envelope.empty()) {
        return kNetOutOfMemory;
    }
    return sendEnvelope(clientID, envelope);
}

}  // namespace hub
