// Creating, destroying, probing and finding windows.
#include "platform/window.h"

#include "connections.h"
#include "handle.h"
#include "loop.h"
#include "window_title.h"

namespace plat {
namespace {

using detail::DatagramKind;
using detail::OutgoingDatagram;
using detail::SendStatus;

constexpr auto kProbeTimeout = std::chrono::milliseconds(1000);

}  // namespace

Hwnd createWindow(WindowProc proc, const std::string& title) {
    return detail::Loop::current().createWindow(std::move(proc), title);
}

bool destroyWindow(Hwnd hwnd) {
    detail::Loop* loop = detail::Loop::existing();
    return loop != nullptr && loop->destroyWindow(hwnd);
}

bool isWindow(Hwnd hwnd) {
    if (hwnd == kNoWindow) {
        return false;
    }
    if (auto inbox = detail::findLocalInbox(hwnd)) {
        return inbox->hasWindow(detail::handleNumber(hwnd));
    }
    auto& connections = detail::Connections::current();
    OutgoingDatagram d;
    d.header = detail::makeHeader(DatagramKind::Probe, hwnd);
    d.header.seq = connections.nextSeq();
    switch (connections.send(hwnd, d, false, 0)) {
        case SendStatus::Ok:
            break;
        case SendStatus::Full:
            return true;  // its loop is busy or hung: the process still lives
        default:
            return false;
    }
    auto answer = connections.awaitReply(
        hwnd, d.header.seq, std::chrono::steady_clock::now() + kProbeTimeout, kProbeTimeout);
    if (answer) {
        return answer->result != 0;
    }
    // No answer: the loop is hung (still there) or just ended (gone).
    return connections.send(hwnd, d, false, 0) != SendStatus::Gone;
}

Hwnd findWindow(const std::string& title) {
    return detail::findTitleHolder(title);
}

}  // namespace plat
