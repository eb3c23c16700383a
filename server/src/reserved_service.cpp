#include "reserved_service.h"

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
    return InitReservedInterface(context.BaseWindowHandle, context.config.packetTimeout) != 0;
}

void stopReservedService(ServerContext& context) {
    RemoveReservedInterface();
    context.messages.remove(plat::kMsgTimer);
}

}  // namespace hub
