// 1524: text a client writes into the debug log.
#include "debuglog.h"
#include "ipc_payload.h"
#include "ipc_requests.h"
#include "wire/ipc.h"

namespace hub {
namespace {

// Text without its terminator inside the 8192 bytes is not written: the
// client's buffer was overrun or is not text. The result is 1 in any case.
int64_t writeDebugText(plat::Message& m) {
    if (auto text = checkedDebugText(m.payload.bytes())) {
        WriteInternalDebugFile(*text);
    }
    return 1;
}

}  // namespace

void installDebugTextRequest(MessageTable& table) {
    table.set(wire::kReqDebugText, writeDebugText);
}

}  // namespace hub
