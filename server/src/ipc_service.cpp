#include "ipc_service.h"

#include "client_reaper.h"
#include "client_registry.h"
#include "ipc_requests.h"
#include "network.h"
#include "win16_interface.h"

namespace hub {

bool startClientInterface(ServerContext& context) {
    if (InitClientInterface(context.BaseWindowHandle, context.config.autoShutdown) == 0) {
        return false;
    }
    installClientRequests(context);
    if (!startClientReaper()) {
        removeClientRequests(context.messages);
        RemoveClientInterface();
        return false;
    }
    return true;
}

void stopClientInterface(ServerContext& context) {
    stopClientReaper();
    removeClientRequests(context.messages);
    RemoveClientInterface();
}

bool startWin16Interface(ServerContext& context) {
    context.messages.set(kMsgWin16ClientGone, [](plat::Message& m) {
        DeleteNetRegistrationEntry(static_cast<uint32_t>(m.wParam));
        return 0;
    });
    if (InitWin16Interface(context.BaseWindowHandle) == 0) {
        context.messages.remove(kMsgWin16ClientGone);
        return false;
    }
    return true;
}

void stopWin16Interface(ServerContext& context) {
    RemoveWin16Interface();
    context.messages.remove(kMsgWin16ClientGone);
}

}  // namespace hub
