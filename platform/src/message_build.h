// Building the message and the record for a post or a send.
#pragma once

#include <unistd.h>

#include "datagram.h"
#include "endpoint.h"
#include "platform/window.h"
#include "process_ids.h"

namespace plat::detail {

inline Message makeMessage(Hwnd hwnd, uint32_t msg, uint64_t wParam, int64_t lParam,
                           Payload payload) {
    Message m;
    m.hwnd = hwnd;
    m.msg = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    m.payload = std::move(payload);
    m.senderPid = static_cast<uint32_t>(ownPid());
    return m;
}

inline OutgoingDatagram makeRecord(DatagramKind kind, Hwnd hwnd, uint32_t msg, uint64_t wParam,
                                   int64_t lParam) {
    OutgoingDatagram d;
    d.header = makeHeader(kind, hwnd);
    d.header.msg = msg;
    d.header.wParam = wParam;
    d.header.lParam = lParam;
    return d;
}

}  // namespace plat::detail
