// 1724 open, 1824 close and 1924 write a serial port.
#include <limits>

#include "client_registry.h"
#include "ipc_payload.h"
#include "ipc_requests.h"
#include "serial.h"

namespace hub {
namespace {

constexpr int64_t kCloseNotFound = 1;
constexpr int64_t kNothingWritten = 0;

int64_t openPort(plat::Message& m) {
    int32_t clientID = clientIdFrom(m.wParam);
    std::optional<_CommRegInfo> request = checkedCommRegInfo(m.payload.bytes());
    if (!request || !FindClient(clientID)) {
        return wire::kResultBadRequest;
    }
    return RegisterCommPortClient(clientID, *request);
}

int64_t closePort(plat::Message& m) {
    if (m.lParam < 0 || m.lParam > std::numeric_limits<uint32_t>::max()) {
        return kCloseNotFound;
    }
    return DeRegisterCommPortClient(static_cast<uint32_t>(m.lParam));
}

int64_t writePort(plat::Message& m) {
    int32_t clientID = clientIdFrom(m.wParam);
    std::optional<CommDataView> record = checkedCommData(m.payload.bytes());
    if (!record || !FindClient(clientID)) {
        return kNothingWritten;
    }
    return SendActualCommData(clientID, record->commID, record->data);
}

}  // namespace

void installCommRequests(MessageTable& table) {
    table.set(wire::kReqOpenComm, openPort);
    table.set(wire::kReqCloseComm, closePort);
    table.set(wire::kReqWriteComm, writePort);
}

}  // namespace hub
