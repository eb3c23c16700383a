// 1224/1234 register a client, 1324/1334 unregister it, 1424 the version text.
#include <string>

#include "client_reaper.h"
#include "client_registry.h"
#include "ipc_requests.h"
#include "wire/ipc.h"

namespace hub {
namespace {

// A window may register only itself (a window of the requesting process).
int64_t registerWin32(plat::Message& m) {
    if (!isSendersOwnWindow(m, m.wParam)) {
        return wire::kResultBadRequest;
    }
    int32_t id = RegisterWin32Client(m.wParam, static_cast<uint32_t>(m.lParam));
    WatchClientProcesses();
    return id;
}

int64_t registerWin16(plat::Message& m) {
    if (!isSendersOwnWindow(m, m.wParam)) {
        return wire::kResultBadRequest;
    }
    int32_t id = RegisterWin16Client(m.wParam);
    WatchClientProcesses();
    return id;
}

int64_t unregister(plat::Message& m) {
    int32_t result = UnRegisterClient(clientIdFrom(m.wParam));
    WatchClientProcesses();
    return result;
}

// The version text with its terminating zero as the reply data; 1, or 0 for
// a client that is not registered.
int64_t versionText(const std::string& versionInfo, plat::Message& m) {
    if (!FindClient(clientIdFrom(m.wParam))) {
        return 0;
    }
    m.reply = plat::Payload::copyOf(versionInfo.c_str(), versionInfo.size() + 1);
    return m.reply.empty() ? 0 : 1;
}

}  // namespace

void installRegistrationRequests(ServerContext& context) {
    MessageTable& table = context.messages;
    table.set(wire::kReqRegisterWin32, registerWin32);
    table.set(wire::kReqRegisterWin16, registerWin16);
    table.set(wire::kReqUnregister, unregister);
    table.set(wire::kReqUnregisterWin16, unregister);
    const std::string* versionInfo = &context.VersionInfo;
    table.set(wire::kReqVersion,
              [versionInfo](plat::Message& m) { return versionText(*versionInfo, m); });
}

}  // namespace hub
