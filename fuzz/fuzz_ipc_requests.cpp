// The client requests (1224 ... 1674, the debug text, copy-data) fed with
// arbitrary codes, parameters and payloads, inline or as a section, through
// the main window's dispatch as the server runs them. An input is a list of
// requests:
//
//   [code index][sender: 1][wParam: 8 LE][lParam: 8 LE][flags][length: 2 LE][payload]
//
// The serial requests are left out (they would open devices). An envelope's
// Address is always turned into 127.0.0.<n>, so nothing leaves the machine.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz_server_env.h"
#include "ipc_requests.h"
#include "server_context.h"
#include "wire/datagram.h"
#include "wire/ipc.h"

namespace {

constexpr uint32_t kCodes[] = {
    wire::kReqRegisterWin32,       wire::kReqRegisterWin16, wire::kReqUnregister,
    wire::kReqUnregisterWin16,     wire::kReqVersion,       wire::kReqDebugText,
    wire::kReqSendNetwork,         wire::kReqGetAddress,    wire::kReqMessageNumber,
    wire::kReqNetRegister,         wire::kReqNetDeregister, plat::kMsgCopyData,
    wire::kReqSendAwaitingResponse};

hub::ServerContext& context() {
    static hub::ServerContext* c = [] {
        auto* made = new hub::ServerContext;
        made->BaseWindowHandle = fuzz::ServerServices::instance().window();
        made->VersionInfo = "VEK Network Server (HUBSERVER.EXE) Version 1.00\r\n";
        hub::installClientRequests(*made);
        for (uint32_t code : {wire::kReqOpenComm, wire::kReqCloseComm, wire::kReqWriteComm}) {
            made->messages.remove(code);
        }
        return made;
    }();
    return *c;
}

uint64_t readLe64(const uint8_t* p) {
    return static_cast<uint64_t>(wire::readLe32(p)) |
           (static_cast<uint64_t>(wire::readLe32(p + 4)) << 32);
}

plat::Payload payloadOf(std::vector<uint8_t> bytes, bool asSection) {
    if (!asSection || bytes.empty()) {
        return plat::Payload::fromBytes(std::move(bytes));
    }
    plat::Payload section = plat::Payload::section(bytes.size());
    std::memcpy(section.mutableData(), bytes.data(), bytes.size());
    return plat::Payload::adoptSectionFd(::dup(section.sectionFd()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    hub::ServerContext& c = context();
    fuzz::ServerServices::instance().resetTransfers();
    constexpr size_t kFixed = 21;
    size_t at = 0;
    while (size - at >= kFixed) {
        const uint8_t* r = data + at;
        plat::Message m;
        m.hwnd = c.BaseWindowHandle;
        m.msg = kCodes[r[0] % std::size(kCodes)];
        m.wParam = readLe64(r + 2);
        // The sender is this process, or the process the handle in wParam
        // names (so a registration of its own window can succeed).
        m.senderPid =
            r[1] & 1 ? static_cast<uint32_t>(::getpid()) : static_cast<uint32_t>(m.wParam >> 32);
        m.lParam = static_cast<int64_t>(readLe64(r + 10));
        bool asSection = r[18] & 1;
        m.isSend = r[18] & 2;
        size_t length = std::min<size_t>(wire::readLe16(r + 19), size - at - kFixed);
        std::vector<uint8_t> payload(r + kFixed, r + kFixed + length);
        at += kFixed + length;
        // The envelope follows the routing record in 1636.
        size_t address = m.msg == wire::kReqSendAwaitingResponse ? sizeof(_AwaitedResponse) : 0;
        if (payload.size() >= address + 4) {
            wire::writeLe32(payload.data() + address, fuzz::loopbackAddress(payload[address + 3]));
        }
        m.payload = payloadOf(std::move(payload), asSection);
        c.messages.dispatch(m);
    }
    // Registrations of one input do not reach into the next.
    for (const hub::_Client& client : hub::ClientList()) {
        hub::UnRegisterClient(client.ClientID);
    }
    return 0;
}
