#include "server_link.h"

#include <atomic>

#include "wire/ipc.h"

namespace hubclient {
namespace {

std::atomic<plat::Hwnd> gServer{plat::kNoWindow};

// After a failed request: a server whose title is no longer held by the
// same window, or whose process has ended, has gone (killed or ended);
// forget it. A killed server's title can outlive its process for a while:
// the descriptors close only when its last thread has finished tearing
// the process down.
void checkServerAlive(plat::Hwnd server) {
    if (plat::findWindow(wire::kServerWindowTitle) != server ||
        plat::processEnded(plat::windowProcess(server))) {
        forgetServer(server);
    }
}

}  // namespace

plat::Hwnd serverWindow() {
    return gServer.load();
}

void rememberServer(plat::Hwnd server) {
    gServer.store(server);
}

void forgetServer(plat::Hwnd server) {
    plat::Hwnd expected = server;
    gServer.compare_exchange_strong(expected, plat::kNoWindow);
}

std::optional<int64_t> request(uint32_t code, uint64_t wParam, int64_t lParam,
                               plat::Payload payload, milliseconds timeout) {
    plat::Hwnd server = serverWindow();
    if (server == plat::kNoWindow) {
        return std::nullopt;
    }
    auto result =
        plat::sendMessageTimeout(server, code, wParam, lParam, std::move(payload), timeout);
    if (!result) {
        checkServerAlive(server);
    }
    return result;
}

std::optional<ReplyWithPayload> requestWithReply(uint32_t code, uint64_t wParam, int64_t lParam) {
    plat::Hwnd server = serverWindow();
    if (server == plat::kNoWindow) {
        return std::nullopt;
    }
    auto reply =
        plat::sendMessageTimeoutWithReply(server, code, wParam, lParam, {}, kRequestTimeout);
    if (!reply) {
        checkServerAlive(server);
        return std::nullopt;
    }
    return ReplyWithPayload{reply->result, std::move(reply->reply)};
}

void postToServer(uint32_t code, uint64_t wParam, int64_t lParam) {
    plat::Hwnd server = serverWindow();
    if (server != plat::kNoWindow) {
        plat::postMessage(server, code, wParam, lParam);
    }
}

}  // namespace hubclient
