// The server's main window as this process knows it, and the requests sent
// to it. A request that finds no server, times out or finds the server gone
// yields nullopt; a server found gone is forgotten so the next
// VEKBaseStartup looks for (or starts) a new one.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "platform/payload.h"
#include "platform/window.h"

namespace hubclient {

using std::chrono::milliseconds;

constexpr milliseconds kRequestTimeout{2000};
constexpr milliseconds kDebugTextTimeout{8000};

plat::Hwnd serverWindow();
void rememberServer(plat::Hwnd server);

// Forgets the server window if it is still `server`.
void forgetServer(plat::Hwnd server);

// Sends a request and returns the server's result.
std::optional<int64_t> request(uint32_t code, uint64_t wParam, int64_t lParam,
                               plat::Payload payload = {}, milliseconds timeout = kRequestTimeout);

struct ReplyWithPayload {
    int64_t result = 0;
    plat::Payload payload;
};

// A request whose answer carries data (the version text).
std::optional<ReplyWithPayload> requestWithReply(uint32_t code, uint64_t wParam, int64_t lParam);

// Posts a request without waiting (unregistration).
void postToServer(uint32_t code, uint64_t wParam, int64_t lParam);

}  // namespace hubclient
