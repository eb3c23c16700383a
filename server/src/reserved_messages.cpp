#include "reserved_messages.h"

#include <algorithm>
#include <string>

#include "debuglog.h"
#include "large_transfer.h"
#include "large_transfer_list.h"
#include "network.h"
#include "reserved_records.h"
#include "reserved_send.h"
#include "wire/netmsg.h"

namespace hub {
namespace {

// Longest log path a reply can carry in one datagram.
constexpr size_t kMaxReplyPath =
    wire::kMaxSingleDatagram - wire::kNetMsgHeaderSize - sizeof(DebugOffReply);

void switchDebuggingOn(const ReservedMessage& m) {
    std::optional<DebugOnData> fields = readDebugOn(m.data);
    if (fields && (fields->DebugWord & 1) != 0) {
        TurnOnNetworkDebugging(1);
    }
    sendReservedReply(m, statusOnly(kStatusAccepted));
}

void switchDebuggingOff(const ReservedMessage& m) {
    TurnOnNetworkDebugging(0);
    std::string path = GetDebugFile();
    sendReservedReply(m, debugOffReply(std::string_view(path).substr(0, kMaxReplyPath)));
}

void processRequest(const ReservedMessage& m) {
    switch (m.identifier()) {
        case kReservedTransferStart:
            ProcessTransferStart(m);
            break;
        case kReservedTransferPacket:
            ProcessTransferPacket(m);
            break;
        case kReservedTransferEnd:
            ProcessTransferEnd(m);
            break;
        case kReservedDebugOn:
            switchDebuggingOn(m);
            break;
        case kReservedDebugOff:
            switchDebuggingOff(m);
            break;
        default:
            sendRefusal(m);
            break;
    }
}

}  // namespace

int32_t InitReservedInterface(plat::Hwnd mainWindow, int32_t packetTimeoutMs) {
    dataTransferList().reset(mainWindow, static_cast<uint32_t>(std::max(packetTimeoutMs, 0)));
    _Debug_Internal(0, "   ** HUBSERVER (EXE) Started... (Reserved Message Interface).\n");
    return 1;
}

void RemoveReservedInterface() {
    dataTransferList().clear();
    _Debug_Internal(0, "   ** HUBSERVER (EXE) Shutting Down... (Reserved Message Interface).\n");
}

void ProcessReservedMessages(std::span<const uint8_t> envelope) {
    std::optional<ReservedMessage> m = readReservedMessage(envelope);
    if (!dataTransferList().running() || !m || m->header.objectId != 0) {
        return;
    }
    if (m->isReply()) {
        ProcessTransferReply(*m);
    } else {
        processRequest(*m);
    }
}

bool TimerFunction(uint64_t timerID) {
    DataTransferList& list = dataTransferList();
    std::optional<TransferEntry> e = list.findByTimer(timerID);
    if (!e) {
        return timerID > kTransferTimerBase;
    }
    list.erase(*e);  // expired: nothing is sent, nobody is told
    return true;
}

size_t DataTransferCount() {
    return dataTransferList().size();
}

}  // namespace hub
