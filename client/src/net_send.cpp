// SendVEKNetMessage, GetMessageNumber and GetNetworkAddress.
#include <atomic>
#include <mutex>
#include <span>
#include <type_traits>

#include "hubclient.h"
#include "registrations.h"
#include "server_link.h"
#include "wire/datagram.h"
#include "wire/ipc.h"
#include "wire/msgnumber.h"

using namespace hubclient;

namespace {

std::atomic<uint32_t> gOwnAddress{0};

// Message numbers are fetched from the server in blocks, so that a request
// needs no round trip of its own for its number. A block belongs to the
// server it came from; a new server starts a new block.
constexpr uint16_t kNumberBlock = 32;

struct NumberBlock {
    std::mutex mutex;
    plat::Hwnd server = plat::kNoWindow;
    uint16_t next = 0;
    uint16_t left = 0;
};

// Nothing to destroy, so the block stays usable by threads still sending
// while the process exits, and nothing is left behind when the library is
// unloaded with dlclose.
static_assert(std::is_trivially_destructible_v<NumberBlock>);

NumberBlock& numberBlock() {
    static NumberBlock block;
    return block;
}

uint16_t following(uint16_t number) {
    return number == 0xFFFF ? wire::kFirstMessageNumber : static_cast<uint16_t>(number + 1);
}

// The next number of this process's block, or 0 when the server does not
// answer.
int32_t takeMessageNumber() {
    NumberBlock& b = numberBlock();
    std::lock_guard<std::mutex> lock(b.mutex);
    plat::Hwnd server = serverWindow();
    if (server == plat::kNoWindow) {
        return 0;
    }
    if (b.server != server || b.left == 0) {
        auto result = request(wire::kReqMessageNumber, 0, kNumberBlock);
        if (!result || (*result & 0xFFFF) < wire::kFirstMessageNumber) {
            b.left = 0;
            return 0;
        }
        b.server = server;
        b.next = static_cast<uint16_t>(*result & 0xFFFF);
        b.left = kNumberBlock;
    }
    uint16_t number = b.next;
    b.next = following(number);
    --b.left;
    return number;
}

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
    return takeMessageNumber();
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
