// SendVEKNetMessage, GetMessageNumber and GetNetworkAddress.
#include <atomic>
#include <span>

#include "hubclient.h"
#include "registrations.h"
#include "server_link.h"
#include "wire/datagram.h"
#include "wire/ipc.h"

using namespace hubclient;

namespace {

std::atomic<uint32_t> gOwnAddress{0};

// A message needs its data and at least the 9-byte datagram header.
bool isSendable(const _Message& m) {
    return m.Dataptr != nullptr && m.Length >= wire::kNetMsgHeaderSize;
}

int32_t sendOne(int32_t registrationId, const _Message& m) {
    if (serverWindow() == plat::kNoWindow) {
        return VEK_ERR_SERVER;
    }
    std::vector<uint8_t> envelope;
    try {
        envelope = wire::buildEnvelope(m.Address, wire::kDirectionSent,
                                       std::span<const uint8_t>(m.Dataptr, m.Length));
    } catch (const std::bad_alloc&) {
        return VEK_ERR_NO_MEMORY;
    }
    plat::Payload payload = plat::Payload::fromBytes(std::move(envelope));
    if (payload.empty()) {
        return VEK_ERR_NO_MEMORY;
    }
    auto result = request(wire::kReqSendNetwork, static_cast<uint32_t>(registrationId), 0,
                          std::move(payload));
    if (!result) {
        // A server that has gone was forgotten by the failed request: no
        // server. One that is still there did not answer in time: not sent
        // (the server drops the request once this wait has ended).
        return serverWindow() == plat::kNoWindow ? VEK_ERR_SERVER : VEK_ERR_NOT_SENT;
    }
    return *result > 0 ? 1 : VEK_ERR_NOT_SENT;
}

}  // namespace

extern "C" int32_t SendVEKNetMessage(int32_t RegistrationID, _Message* Message) {
    if (!isRegistered(RegistrationID)) {
        return VEK_ERR_NOT_REGISTERED;
    }
    if (Message == nullptr) {
        return VEK_ERR_BAD_ARG;
    }
    for (const _Message* m = Message; m != nullptr; m = m->next) {
        if (!isSendable(*m)) {
            return VEK_ERR_BAD_ARG;
        }
        int32_t result = sendOne(RegistrationID, *m);
        if (result != 1) {
            return result;
        }
    }
    return 1;
}

extern "C" int32_t GetMessageNumber(int32_t RegistrationID) {
    if (RegistrationID == kSelfRegistration || !isRegistered(RegistrationID)) {
        return 0;
    }
    auto result = request(wire::kReqMessageNumber, 0, 0);
    return result ? static_cast<int32_t>(*result & 0xFFFF) : 0;
}

extern "C" uint32_t GetNetworkAddress(int32_t RegistrationID) {
    if (gOwnAddress.load() == 0 && serverWindow() != plat::kNoWindow) {
        auto result = request(wire::kReqGetAddress, 0, 0);
        if (result) {
            gOwnAddress.store(static_cast<uint32_t>(*result));
        }
    }
    if (RegistrationID == kSelfRegistration || !isRegistered(RegistrationID)) {
        return 0;
    }
    return gOwnAddress.load();
}
