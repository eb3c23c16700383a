#include "reserved_service.h"

#include <algorithm>

#include "large_transfer_files.h"
#include "reserved_messages.h"

namespace hub {

bool startReservedService(ServerContext& context) {
    context.messages.set(plat::kMsgTimer, [](plat::Message& m) {
        // A transfer timer is one-shot: stop it whether or not its entry
        // still exists.
        if (TimerFunction(m.wParam)) {
            plat::killTimer(m.hwnd, m.wParam);
        }
        return 0;
    });
    setReceiveFolderLimits(
        {static_cast<uint64_t>(std::max(context.config.receiveFolderMaxBytes, 0)),
         static_cast<uint64_t>(std::max(context.config.receiveFolderMaxFiles, 0))});
    return InitReservedInterface(context.BaseWindowHandle, context.config.packetTimeout) != 0;
}

void stopReservedService(ServerContext& context) {
    RemoveReservedInterface();
    context.messages.remove(plat::kMsgTimer);
}

}  // namespace hub
