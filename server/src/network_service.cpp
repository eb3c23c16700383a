#include "network_service.h"

#include "message_codes.h"
#include "network.h"

namespace hub {

bool startNetworkService(ServerContext& context) {
    context.messages.set(kMsgSocketReady, [](plat::Message&) {
        ProcessNetworkRead();
        return 0;
    });
    context.messages.set(kMsgNetworkDebug, [](plat::Message& m) {
        TurnOnNetworkDebugging(m.wParam != 0 ? 1 : 0);
        return 0;
    });
    return InitNetworkInterface(context.BaseWindowHandle, context.config) != 0;
}

void stopNetworkService(ServerContext& context) {
    RemoveNetworkInterface();
    context.messages.remove(kMsgSocketReady);
}

}  // namespace hub
