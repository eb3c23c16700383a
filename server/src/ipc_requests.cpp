#include "ipc_requests.h"

#include <unistd.h>

#include <limits>

#include "platform/window.h"
#include "wire/ipc.h"

namespace hub {

int32_t clientIdFrom(uint64_t wParam) {
    return wParam <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max())
               ? static_cast<int32_t>(wParam)
               : -1;
}

void installClientRequests(ServerContext& context) {
    installRegistrationRequests(context);
    installDebugTextRequest(context.messages);
    installNetworkRequests(context.messages);
    installCommRequests(context.messages);
}

void removeClientRequests(MessageTable& table) {
    for (uint32_t code :
         {wire::kReqRegisterWin32, wire::kReqRegisterWin16, wire::kReqUnregister,
          wire::kReqUnregisterWin16, wire::kReqVersion, wire::kReqDebugText, wire::kReqSendNetwork,
          wire::kReqSendAwaitingResponse, wire::kReqGetAddress, wire::kReqMessageNumber,
          wire::kReqNetRegister, wire::kReqNetDeregister, wire::kReqOpenComm, wire::kReqCloseComm,
          wire::kReqWriteComm, plat::kMsgCopyData}) {
        table.remove(code);
    }
}

bool isSendersOwnWindow(const plat::Message& m, plat::Hwnd window) {
    // The server never forks: its pid is read once.
    static const auto server = static_cast<uint32_t>(::getpid());
    uint32_t owner = plat::windowProcess(window);
    return owner == m.senderPid && owner != server;
}

}  // namespace hub
