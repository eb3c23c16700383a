// Peer program for the message-loop tests.
//   platform_window_peer serve [title]  creates a window, prints "HWND <hex>",
//                                       runs its loop until kMsgClose
//   platform_window_peer claim <title> [wait]
//                                       (after one byte on stdin with "wait") prints "OWNER <hex>"
//                                       or "NONE" and keeps the title until stdin closes
#include <unistd.h>

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "platform/window.h"
#include "window_peer_protocol.h"

using namespace plat;
namespace peer = plat::test::peer;

namespace {

int64_t checkPattern(const Payload& p) {
    if (p.size() > kInlinePayloadMax && !p.isSection()) {
        return -1;
    }
    for (size_t i = 0; i < p.size(); ++i) {
        if (p.data()[i] != peer::patternByte(i)) {
            return -1;
        }
    }
    return static_cast<int64_t>(p.size());
}

Payload makePattern(size_t size) {
    Payload p = size > kInlinePayloadMax ? Payload::section(size)
                                         : Payload::fromBytes(std::vector<uint8_t>(size));
    for (size_t i = 0; i < size; ++i) {
        p.mutableData()[i] = peer::patternByte(i);
    }
    return p;
}

int64_t counted = 0;

int64_t procedure(Message& m) {
    switch (m.msg) {
        case peer::kEcho:
            return static_cast<int64_t>(m.wParam * 2) + m.lParam;
        case peer::kSleep:
            std::this_thread::sleep_for(std::chrono::milliseconds(m.lParam));
            return 7;
        case peer::kCheckPattern:
            return checkPattern(m.payload);
        case peer::kPostBack:
            return postMessage(m.wParam, peer::kPatternBack, 0, m.lParam,
                               makePattern(static_cast<size_t>(m.lParam))) == PostResult::Ok;
        case peer::kSendBack:
            return sendMessageTimeout(m.wParam, peer::kEcho, 5, 1, {}, std::chrono::seconds(2))
                .value_or(-1);
        case peer::kExitNow:
            _exit(0);
        case peer::kSenderPid:
            return m.senderPid;
        case peer::kReplyPattern:
            m.reply = makePattern(static_cast<size_t>(m.lParam));
            return m.lParam;
        case peer::kCount:
            return m.wParam == 1 ? counted : ++counted;
        case kMsgClose:
            postQuitMessage(0);
            return 0;
        default:
            return 0;
    }
}

void printHandle(const char* word, Hwnd h) {
    std::printf("%s %016" PRIx64 "\n", word, h);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    std::string title = argc > 2 ? argv[2] : "";
    if (mode == "serve") {
        Hwnd h = createWindow(procedure, title);
        if (h == kNoWindow) {
            std::printf("NONE\n");
            return 1;
        }
        printHandle("HWND", h);
        return runMessageLoop();
    }
    if (mode == "claim") {
        char go;
        if (argc > 3 && ::read(0, &go, 1) != 1) {  // "wait": start on the first byte
            return 1;
        }
        Hwnd h = createWindow(procedure, title);
        if (h == kNoWindow) {
            std::printf("NONE\n");
            std::fflush(stdout);
        } else {
            printHandle("OWNER", h);
        }
        char c;
        while (::read(0, &c, 1) > 0) {
        }
        return 0;
    }
    return 2;
}
