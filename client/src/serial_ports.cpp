#include "serial_ports.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#include "library_thread.h"
#include "registrations.h"
#include "server_link.h"
#include "static_instance.h"
#include "wire/datagram.h"
#include "wire/ipc.h"

namespace hubclient {
namespace {

struct CommPorts {
    std::mutex mutex;
    std::vector<CommPort> list;  // in order of opening
};

CommPorts& commPorts() {
    return staticInstance<CommPorts>();
}

std::vector<CommPort> takeMatching(int32_t registrationId, bool all) {
    CommPorts& p = commPorts();
    std::lock_guard<std::mutex> lock(p.mutex);
    std::vector<CommPort> taken;
    auto matches = [&](const CommPort& c) { return all || c.registrationId == registrationId; };
    std::copy_if(p.list.begin(), p.list.end(), std::back_inserter(taken), matches);
    std::erase_if(p.list, matches);
    return taken;
}

// The 28-byte open request: port number, then the line settings.
std::vector<uint8_t> openRequest(uint32_t portNumber, const COMM_INFORMATION& info) {
    std::vector<uint8_t> bytes(sizeof(_CommRegInfo));
    wire::writeLe32(&bytes[offsetof(_CommRegInfo, CommPortNumber)], portNumber);
    uint8_t* settings = &bytes[offsetof(_CommRegInfo, Info)];
    wire::writeLe32(settings + offsetof(COMM_INFORMATION, BaudRate), info.BaudRate);
    wire::writeLe32(settings + offsetof(COMM_INFORMATION, DataBits), info.DataBits);
    wire::writeLe32(settings + offsetof(COMM_INFORMATION, StopBits), info.StopBits);
    wire::writeLe32(settings + offsetof(COMM_INFORMATION, Parity), info.Parity);
    wire::writeLe32(settings + offsetof(COMM_INFORMATION, Shareable), info.Shareable);
    wire::writeLe32(settings + offsetof(COMM_INFORMATION, XonXoff), info.XonXoff);
    return bytes;
}

// 0 closed, 1 unknown at the server; nullopt without an answer.
std::optional<int64_t> closeAtServer(int32_t registrationId, int32_t commId) {
    return request(wire::kReqCloseComm, static_cast<uint32_t>(registrationId), commId);
}

}  // namespace

int32_t openCommPort(uint32_t portNumber, const COMM_INFORMATION* info, CommPort receiver) {
    if (!isRegistered(receiver.registrationId)) {
        return VEK_ERR_NOT_REGISTERED;
    }
    if (hiddenWindow() == plat::kNoWindow) {
        return VEK_ERR_SERVER;
    }
    if (info == nullptr || (receiver.callback == nullptr && receiver.window == plat::kNoWindow)) {
        return VEK_ERR_BAD_ARG;
    }
    plat::Payload payload;
    try {
        payload = plat::Payload::fromBytes(openRequest(portNumber, *info));
    } catch (const std::bad_alloc&) {
        return VEK_ERR_NO_MEMORY;
    }
    auto result = request(wire::kReqOpenComm, static_cast<uint32_t>(receiver.registrationId), 0,
                          std::move(payload));
    if (!result) {
        return VEK_ERR_SERVER;
    }
    if (*result <= 0) {
        return static_cast<int32_t>(*result);  // the server's refusal, unchanged
    }
    receiver.commId = static_cast<int32_t>(*result);
    CommPorts& p = commPorts();
    std::lock_guard<std::mutex> lock(p.mutex);
    try {
        p.list.push_back(receiver);
    } catch (const std::bad_alloc&) {
        return VEK_ERR_NO_MEMORY;
    }
    return receiver.commId;
}

int32_t closeCommPort(int32_t registrationId, int32_t commId) {
    if (!isRegistered(registrationId)) {
        return VEK_ERR_NOT_REGISTERED;
    }
    if (hiddenWindow() == plat::kNoWindow) {
        return VEK_ERR_SERVER;
    }
    std::optional<int64_t> result = closeAtServer(registrationId, commId);
    if (!result) {
        return VEK_ERR_SERVER;
    }
    {
        CommPorts& p = commPorts();
        std::lock_guard<std::mutex> lock(p.mutex);
        std::erase_if(p.list, [&](const CommPort& c) { return c.commId == commId; });
    }
    return *result == 0 ? 1 : 0;
}

int32_t sendCommData(int32_t registrationId, const COMM_DATA* data) {
    if (!isRegistered(registrationId)) {
        return VEK_ERR_NOT_REGISTERED;
    }
    if (data == nullptr || data->Length == 0 || data->DataBuffer == nullptr ||
        hiddenWindow() == plat::kNoWindow) {
        return VEK_ERR_COMM_DATA;
    }
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(sizeof(_CommDataInternal_t) + data->Length);
    } catch (const std::bad_alloc&) {
        return VEK_ERR_NO_MEMORY;
    }
    wire::writeLe32(&bytes[offsetof(_CommDataInternal_t, CommID)], data->CommID);
    wire::writeLe32(&bytes[offsetof(_CommDataInternal_t, Length)], data->Length);
    std::memcpy(&bytes[offsetof(_CommDataInternal_t, Data)], data->DataBuffer, data->Length);
    auto result = request(wire::kReqWriteComm, static_cast<uint32_t>(registrationId), 0,
                          plat::Payload::fromBytes(std::move(bytes)));
    return result ? static_cast<int32_t>(*result) : VEK_ERR_SERVER;
}

std::optional<CommPort> findCommPort(int32_t commId) {
    CommPorts& p = commPorts();
    std::lock_guard<std::mutex> lock(p.mutex);
    auto it = std::find_if(p.list.begin(), p.list.end(),
                           [&](const CommPort& c) { return c.commId == commId; });
    return it == p.list.end() ? std::nullopt : std::optional<CommPort>(*it);
}

void closeCommPortsOf(int32_t registrationId) {
    for (const CommPort& c : takeMatching(registrationId, false)) {
        closeAtServer(c.registrationId, c.commId);
    }
}

void closeAllCommPorts() {
    for (const CommPort& c : takeMatching(0, true)) {
        closeAtServer(c.registrationId, c.commId);
    }
    std::lock_guard<std::mutex> lock(commPorts().mutex);
    std::vector<CommPort>().swap(commPorts().list);  // unload: give the memory back
}

}  // namespace hubclient
