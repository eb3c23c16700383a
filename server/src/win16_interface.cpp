#include "win16_interface.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <future>
#include <thread>
#include <vector>

#include "debuglog.h"
#include "wire/datagram.h"
#include "wire/netmsg.h"

namespace hub {
namespace {

// A WIN16 client that does not take its message within this time is
// skipped for that message; the interface thread never waits for ever.
constexpr std::chrono::milliseconds kDeliveryTimeout{2000};
constexpr size_t kNetIdSize = 4;
// Blocks waiting for the interface thread at most; a WIN16 client that takes
// its messages slowly loses the ones past this instead of the server's memory.
constexpr int kMaxQueuedBlocks = 1024;

struct Win16Interface {
    std::thread thread;
    std::atomic<plat::Hwnd> window{plat::kNoWindow};
    std::atomic<int> queuedBlocks{0};
    std::atomic<bool> stopping{false};
};

Win16Interface& win16() {
    static Win16Interface* w = new Win16Interface;
    return *w;
}

// Block: the envelope (Length + 12 bytes), then the NetID.
void deliverBlock(plat::Hwnd mainWindow, plat::Message& m) {
    win16().queuedBlocks.fetch_sub(1);
    std::span<const uint8_t> block = m.payload.bytes();
    if (win16().stopping.load() || block.size() < sizeof(_NetMessageInternal_t) + kNetIdSize) {
        return;
    }
    std::span<const uint8_t> envelope = block.first(block.size() - kNetIdSize);
    uint32_t netID = wire::readLe32(block.data() + envelope.size());
    plat::Hwnd client = m.wParam;
    auto result = plat::sendMessageTimeout(client, plat::kMsgCopyData, mainWindow, netID,
                                           plat::Payload::copyOf(envelope.data(), envelope.size()),
                                           kDeliveryTimeout);
    if (!result && !plat::isWindow(client)) {
        plat::postMessage(mainWindow, kMsgWin16ClientGone, netID, 0);
    }
}

int64_t interfaceProc(plat::Hwnd mainWindow, plat::Message& m) {
    switch (m.msg) {
        case kMsgWin16Deliver:
            deliverBlock(mainWindow, m);
            return 0;
        case plat::kMsgClose:
            plat::destroyWindow(m.hwnd);
            return 0;
        case plat::kMsgDestroy:
            plat::postQuitMessage(0);
            return 0;
        default:
            return 0;
    }
}

void interfaceThread(plat::Hwnd mainWindow, std::promise<plat::Hwnd> created) {
    plat::Hwnd window = plat::createWindow(
        [mainWindow](plat::Message& m) { return interfaceProc(mainWindow, m); }, kWin16WindowTitle);
    created.set_value(window);
    if (window != plat::kNoWindow) {
        plat::runMessageLoop();
    }
    plat::shutdownThreadLoop();
}

}  // namespace

int32_t InitWin16Interface(plat::Hwnd mainWindow) {
    Win16Interface& w = win16();
    std::promise<plat::Hwnd> created;
    std::future<plat::Hwnd> window = created.get_future();
    try {
        w.thread = std::thread(interfaceThread, mainWindow, std::move(created));
    } catch (const std::system_error&) {
        _Debug_Internal(0,
                        "   ** HUBSERVER (EXE) Startup Error (Unable to Initialize WIN16 "
                        "Interface).\n");
        return 0;
    }
    w.stopping = false;
    w.queuedBlocks = 0;
    w.window = window.get();
    if (w.window == plat::kNoWindow) {
        w.thread.join();
        _Debug_Internal(0,
                        "   ** HUBSERVER (EXE) Startup Error (Unable to Initialize WIN16 "
                        "Interface).\n");
        return 0;
    }
    _Debug_Internal(0, "   ** HUBSERVER (EXE) Started... (WIN16 Interface).\n");
    return 1;
}

void RemoveWin16Interface() {
    Win16Interface& w = win16();
    w.stopping = true;  // blocks still queued are dropped unsent
    plat::Hwnd window = w.window.exchange(plat::kNoWindow);
    if (window != plat::kNoWindow) {
        plat::postMessage(window, plat::kMsgClose, 0, 0);
    }
    if (w.thread.joinable()) {
        w.thread.join();
    }
}

bool PostToWin16Interface(plat::Hwnd clientWindow, uint32_t netID,
                          std::span<const uint8_t> envelope) {
    Win16Interface& w = win16();
    plat::Hwnd window = w.window.load();
    if (window == plat::kNoWindow || w.queuedBlocks.load() >= kMaxQueuedBlocks) {
        return false;
    }
    std::vector<uint8_t> block(envelope.size() + kNetIdSize);
    std::memcpy(block.data(), envelope.data(), envelope.size());
    wire::writeLe32(block.data() + envelope.size(), netID);
    w.queuedBlocks.fetch_add(1);
    if (plat::postMessage(window, kMsgWin16Deliver, clientWindow, 0,
                          plat::Payload::fromBytes(std::move(block))) != plat::PostResult::Ok) {
        w.queuedBlocks.fetch_sub(1);
        return false;
    }
    return true;
}

}  // namespace hub
