// The protocol between the client library and hubserver over the platform's
// windows and messages.
//
// A request is sent synchronously to the server's main window (found by its
// title) with plat::sendMessageTimeout: code, wParam and lParam as tabled
// below, the request data as the message's payload, 2000 ms time-out (8000
// ms for debug text). The window procedure's result is the request's result.
// The version text (1424) comes back as the reply payload of the send.
//
// The server posts 1624 (network message: wParam NetID, payload the
// envelope, Length + 12 bytes) and 2024 (serial data: wParam client ID,
// payload a _CommDataInternal_t of Length + 8 bytes) to a client's window.
#pragma once

#include <cstddef>
#include <cstdint>

namespace wire {

constexpr const char* kServerWindowTitle = "VEKBASE Application (32 Bit)";

// Requests, client to server.
constexpr uint32_t kReqRegisterWin32 = 1224;  // wParam client window, lParam process ID
constexpr uint32_t kReqRegisterWin16 = 1234;  // wParam client window
constexpr uint32_t kReqUnregister = 1324;     // posted; wParam client ID
constexpr uint32_t kReqUnregisterWin16 = 1334;
constexpr uint32_t kReqVersion = 1424;        // wParam client ID; reply payload the text
constexpr uint32_t kReqDebugText = 1524;      // wParam process ID; payload 8192 bytes of text
constexpr uint32_t kReqSendNetwork = 1634;    // wParam client ID; payload an envelope
constexpr uint32_t kReqGetAddress = 1644;     // result the own IPv4 address, host order
constexpr uint32_t kReqMessageNumber = 1654;  // result the next message number
// lParam of 1654 from 2 up to this: a block of that many numbers, the result
// its first (the client library hands them out in order without asking).
constexpr int64_t kMaxMessageNumberBlock = 256;
// Sends like 1634 and routes the response to a waiting thread: wParam client
// ID, payload an _AwaitedResponse record followed by the envelope. A server
// that does not know the request answers 0 (the client then sends 1634).
constexpr uint32_t kReqSendAwaitingResponse = 1636;
constexpr uint32_t kReqNetRegister = 1664;    // wParam client ID, lParam 0 receive, 1 monitor
constexpr uint32_t kReqNetDeregister = 1674;  // lParam NetID
constexpr uint32_t kReqOpenComm = 1724;       // wParam client ID; payload _CommRegInfo
constexpr uint32_t kReqCloseComm = 1824;      // wParam client ID, lParam port ID
constexpr uint32_t kReqWriteComm = 1924;      // wParam client ID; payload _CommDataInternal_t

// Messages, server to client (posted).
constexpr uint32_t kMsgNetData = 1624;
// Several envelopes for one NetID, one after the other in order (each 12 +
// Length bytes); only to registrations made with kNetBatches.
constexpr uint32_t kMsgNetDataBatch = 1626;
// The response a 1636 request waits for, posted to its waiter window instead
// of to the receive registration it names: wParam that NetID, payload the
// envelope.
constexpr uint32_t kMsgAwaitedResponse = 1628;
constexpr uint32_t kMsgCommData = 2024;

// Time-outs of a request.
constexpr int kRequestTimeoutMs = 2000;
constexpr int kDebugTextTimeoutMs = 8000;

// Size of the debug-text payload of 1524.
constexpr size_t kDebugTextSize = 8192;

// Results of the requests.
constexpr int32_t kResultOutOfMemory = -5;
constexpr int32_t kResultBadRequest = -9;
constexpr int32_t kResultFailed = -12;

// 1664: kinds of network registration.
constexpr int64_t kNetReceive = 0;
constexpr int64_t kNetMonitor = 1;
// Added to kNetReceive by this library: the registration asks only for the
// copies a receive subscriber delivers (received from the network, ObjectID
// not 0), so the server posts it no sent copies it would throw away.
constexpr int64_t kNetReceivedOnly = 0x100;
// Added by this library to either kind: the registration takes the
// envelopes of one receive pass in one message kMsgNetDataBatch.
constexpr int64_t kNetBatches = 0x200;

}  // namespace wire

#pragma pack(push, 1)

// Line settings of a serial port. The client library's public header
// declares the same record for applications; whichever comes first in a
// translation unit defines it.
#ifndef VEK_COMM_INFORMATION_DEFINED
#define VEK_COMM_INFORMATION_DEFINED
typedef struct COMM_INFORMATION {
    uint32_t BaudRate;
    uint32_t DataBits;
    uint32_t StopBits;  // 0 one, 1 one and a half, 2 two
    uint32_t Parity;    // 0 none, 1 odd, 2 even
    uint32_t Shareable;
    uint32_t XonXoff;
} COMM_INFORMATION;
#endif

// Payload of 1724: the port number "COM%d" and its line settings.
struct _CommRegInfo {
    uint32_t CommPortNumber;
    COMM_INFORMATION Info;
};

// Payload of 1924 and 2024: exactly Length + 8 bytes.
struct _CommDataInternal_t {
    uint32_t CommID;
    uint32_t Length;
    uint8_t Data[];
};

// Front of the payload of 1636. The server posts the first received message
// that answers the enveloped request (from its destination, same MessageID
// with the response flag, same MessageNumber, ObjectID not 0) within
// TimeOutMs to Waiter as kMsgAwaitedResponse, and not to the receive
// registration NetID; the client's other registrations get it as usual.
struct _AwaitedResponse {
    uint64_t Waiter;     // a window of the requesting process
    uint32_t NetID;      // a receive registration of the requesting client
    uint32_t TimeOutMs;  // how long the routing is kept
};

#pragma pack(pop)

static_assert(sizeof(_AwaitedResponse) == 16);
static_assert(offsetof(_AwaitedResponse, Waiter) == 0);
static_assert(offsetof(_AwaitedResponse, NetID) == 8);
static_assert(offsetof(_AwaitedResponse, TimeOutMs) == 12);

static_assert(sizeof(COMM_INFORMATION) == 24);
static_assert(offsetof(COMM_INFORMATION, BaudRate) == 0);
static_assert(offsetof(COMM_INFORMATION, DataBits) == 4);
static_assert(offsetof(COMM_INFORMATION, StopBits) == 8);
static_assert(offsetof(COMM_INFORMATION, Parity) == 12);
static_assert(offsetof(COMM_INFORMATION, Shareable) == 16);
static_assert(offsetof(COMM_INFORMATION, XonXoff) == 20);

static_assert(sizeof(_CommRegInfo) == 28);
static_assert(offsetof(_CommRegInfo, CommPortNumber) == 0);
static_assert(offsetof(_CommRegInfo, Info) == 4);

static_assert(sizeof(_CommDataInternal_t) == 8);
static_assert(offsetof(_CommDataInternal_t, CommID) == 0);
static_assert(offsetof(_CommDataInternal_t, Length) == 4);
static_assert(offsetof(_CommDataInternal_t, Data) == 8);
