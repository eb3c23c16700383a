// 1724 open, 1824 close and 1924 write a serial port.
#include <atomic>
#include <limits>

#include "client_registry.h"
#include "ipc_comm_service.h"
#include "ipc_payload.h"
#include "ipc_requests.h"

namespace hub {
namespace {

constexpr int64_t kCloseNotFound = 1;
constexpr int64_t kNothingWritten = 0;

std::atomic<const CommService*> gCommService{nullptr};

int64_t openPort(plat::Message& m) {
    int32_t clientID = clientIdFrom(m.wParam);
    std::optional<_CommRegInfo> request = checkedCommRegInfo(m.payload.bytes());
    const CommService* service = gCommService.load();
    if (!FindClient(clientID) || !request || service == nullptr) {
        return wire::kResultBadRequest;
    }
    return service->open(clientID, *request);
}

int64_t closePort(plat::Message& m) {
    const CommService* service = gCommService.load();
    if (service == nullptr || m.lParam < 0 || m.lParam > std::numeric_limits<uint32_t>::max()) {
        return kCloseNotFound;
    }
    return service->close(static_cast<uint32_t>(m.lParam));
}

int64_t writePort(plat::Message& m) {
    int32_t clientID = clientIdFrom(m.wParam);
    std::optional<CommDataView> record = checkedCommData(m.payload.bytes());
    const CommService* service = gCommService.load();
    if (!FindClient(clientID) || !record || service == nullptr) {
        return kNothingWritten;
    }
    return service->write(clientID, record->commID, record->data);
}

}  // namespace

void SetCommService(const CommService* service) {
    gCommService.store(service);
}

void installCommRequests(MessageTable& table) {
    table.set(wire::kReqOpenComm, openPort);
    table.set(wire::kReqCloseComm, closePort);
    table.set(wire::kReqWriteComm, writePort);
}

}  // namespace hub
