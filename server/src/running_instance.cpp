#include "running_instance.h"

#include <cstdio>

#include "message_codes.h"

namespace hub {
namespace {

int post(plat::Hwnd running, uint32_t msg, uint64_t wParam) {
    return plat::postMessage(running, msg, wParam, 0) == plat::PostResult::Ok ? 0 : 1;
}

}  // namespace

int actOnRunningInstance(plat::Hwnd running, CommandWord word) {
    switch (word) {
        case CommandWord::Show:
            return post(running, plat::kMsgShowWindow, 1);
        case CommandWord::Hide:
            return post(running, plat::kMsgShowWindow, 0);
        case CommandWord::Remove:
            return post(running, plat::kMsgClose, 0);
        case CommandWord::DebugOn:
            return post(running, kMsgNetworkDebug, 1);
        case CommandWord::DebugOff:
            return post(running, kMsgNetworkDebug, 0);
        case CommandWord::None:
        case CommandWord::Other:
            break;
    }
    std::fprintf(stderr, "%s: %s\n", kAlreadyRunningTitle, kAlreadyRunningText);
    return 1;
}

}  // namespace hub
