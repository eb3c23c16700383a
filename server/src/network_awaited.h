// Responses that a thread of a client waits for (request 1636): the server
// posts such a response straight to the waiting thread's window, so it does
// not travel through the client library's own thread first. An entry lives
// until its response arrives, its time-out passes (dropped lazily, no timer)
// or its client unregisters. Used on the server's main thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "platform/window.h"
#include "wire/datagram.h"

namespace hub {

struct AwaitedResponse {
    int32_t clientID = 0;
    uint32_t netID = 0;  // the receive registration it is taken from
    plat::Hwnd waiter = plat::kNoWindow;
    uint32_t address = 0;  // where the request went, host order
    uint16_t messageId = 0;
    uint16_t messageNumber = 0;
    std::chrono::steady_clock::time_point deadline;
};

// Entries kept at most; a request beyond them is sent without routing (its
// response reaches the client's registrations as any other message).
constexpr size_t kMaxAwaitedResponses = 4096;

// Adds an entry; false when the list is full of live entries.
bool awaitResponse(const AwaitedResponse& entry);

// Removes the entry added for a request that was not sent after all.
void forgetAwaitedResponse(const AwaitedResponse& entry);

// Takes the live entry that a message received from `source` answers: the
// response flag set, the same MessageID otherwise and the same
// MessageNumber.
std::optional<AwaitedResponse> takeAwaitedResponse(uint32_t source,
                                                   const wire::DatagramHeader& header);

// Drops the entries of a client that unregistered.
void forgetAwaitedResponsesOf(int32_t clientID);

// Drops every entry (the network stops).
void forgetAllAwaitedResponses();

size_t awaitedResponseCount();

}  // namespace hub
