// The server's UDP network: one socket that sends (non-blocking, broadcast
// allowed) and one that receives, the list of network registrations of the
// client applications (`NetList`, newest first), pacing of every datagram
// sent, doubled broadcasts, the duplicate filter of received datagrams and
// the optional network trace in the debug log.
//
// Every datagram sent and every datagram accepted is handed to every network
// registration as message 1624 (wParam = NetID, payload = the envelope).
// Everything here runs on the server's main thread; `NetList` has its own
// lock, under which the client registry may be asked (never the reverse).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "config.h"
#include "platform/payload.h"
#include "platform/window.h"
#include "wire/ipc.h"

namespace hub {

enum NetRegistration_t : int32_t {
    NetworkRegistration = 0,  // receive subscriber
    NetMonRegistration = 1,   // network monitor
};

// Results shared with the client requests.
constexpr int32_t kNetOutOfMemory = -5;
constexpr int32_t kNetBadRequest = -9;
constexpr int32_t kNetFailed = -12;

constexpr uint32_t kMsgNetworkMessage = 1624;  // to a client: wParam NetID, payload envelope

// Starts the network with the settings read at start; readiness of the
// receiving socket arrives at `mainWindow` as message 1124. Returns 1 when
// started or switched off by "NoNetworkSupport", 0 when the start failed
// (the reason is in the debug log).
int32_t InitNetworkInterface(plat::Hwnd mainWindow, const ServerConfig& config);

// Deletes every registration, closes the sockets and writes the shutdown
// line; does nothing when the network never started.
void RemoveNetworkInterface();

// True once the network started completely (false with "NoNetworkSupport").
bool NetworkInstalled();

// Sends the envelope a client handed over in its request payload (1634).
// Bytes sent (or queued for their paced departure); 1 when the
// large-message transfer took it; -5 no envelope; -9 client not registered or an
// envelope whose Length does not fit; -12 network missing, the send failed
// or the client's share of the outgoing queue is used up (then the datagram
// never leaves).
int32_t SendVEKNetworkMessage(int32_t clientID, const plat::Payload& section);

// Request 1636: sends the envelope as SendVEKNetworkMessage does and routes
// the message that answers it to the window `awaited.Waiter` instead of to
// the client's receive registration `awaited.NetID` (see network_awaited.h).
// -9 when that NetID is not a receive registration of the client; otherwise
// the results of SendVEKNetworkMessage. When the routing cannot be kept
// (too many waiters) the message is sent all the same.
int32_t SendAwaitingResponse(int32_t clientID, const _AwaitedResponse& awaited,
                             std::span<const uint8_t> envelope);

// Sends an envelope given by address: from inside the server (client ID 0)
// or from a registered client whose data arrived otherwise (WIN16).
int32_t SendVEKNetworkMessage(int32_t clientID, std::span<const uint8_t> envelope);

constexpr uint32_t kMsgNetworkBatch = 1626;  // to a client: wParam NetID, payload envelopes

// Which copies a registration is posted.
enum class NetCopies {
    All,                 // every sent and accepted message
    ReceivedForObjects,  // only accepted messages with ObjectID not 0
};

// How a registration is posted its copies: `batches` lets the server hand
// it the envelopes of one receive pass in one message 1626 (envelopes one
// after the other, in order); without it every envelope is one 1624.
struct NetOptions {
    NetCopies copies = NetCopies::All;
    bool batches = false;
};

// New NetID for a registration of this client; -9 type not 0 or 1, -12
// network not installed.
int32_t RegisterNetworkClient(int32_t clientID, int32_t type, NetOptions options = {});

// 0 = removed, 1 = not found or network not installed.
int32_t DeRegisterNetworkClient(uint32_t netID);

// Removes the registration with this NetID (nothing when there is none).
void DeleteNetRegistrationEntry(uint32_t netID);

// Removes every registration of this client (when the client unregisters;
// call it before taking the client registry's lock).
void DeleteNetRegistrationEntryID(int32_t clientID);

// Number of registrations in NetList.
size_t NetRegistrationCount();

// Reads and handles the datagrams waiting at the receiving socket (on 1124),
// in batches, up to a budget per call; the watch brings the rest.
void ProcessNetworkRead();

// Validates an envelope (received, or reassembled by the large-message
// transfer), filters duplicates, traces, dispatches it to the clients and
// routes ObjectID 0 to the reserved-message handler. Sets Parameter to 1.
void ProcessNetworkMessage(std::span<uint8_t> envelope);

// Hands the envelope to every registration, newest first.
void DispatchNetworkMessage(std::span<const uint8_t> envelope);

// While one exists, registrations that take batches collect what is
// dispatched; when the last one ends, each of them is posted what it
// collected in one message (in the order dispatched). Others are posted
// every envelope at once, as without it.
class NetDispatchBatch {
  public:
    NetDispatchBatch();
    ~NetDispatchBatch();
    NetDispatchBatch(const NetDispatchBatch&) = delete;
    NetDispatchBatch& operator=(const NetDispatchBatch&) = delete;
};

// The server's own IPv4 address in host order; 0 without one.
uint32_t GetIPAddress();

// Network trace on (non-zero) or off.
void TurnOnNetworkDebugging(int32_t on);

// The next message number, 0x8000..0xFFFF; starts again at 0x8000 when the
// network starts.
uint16_t GetNextMessageNumber();

// The first of `count` consecutive message numbers (wrapping as above).
uint16_t TakeMessageNumbers(uint16_t count);

// Messages that could not be posted to a client because its queue was full.
uint64_t NetDispatchDropCount();

}  // namespace hub
