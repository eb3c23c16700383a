// SendVEKNetMessage, GetMessageNumber, GetNetworkAddress and, for
// libobjlink, the send whose response goes straight to its waiting thread.
#include <atomic>
#include <cstddef>
#include <mutex>
#include <new>
#include <span>
#include <type_traits>

#include "hubclient.h"
#include "hubclient_internal.h"
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

// The routing record of 1636 in front of the envelope, or nothing for 1634.
struct Awaiting {
    int32_t netId = 0;
    plat::Hwnd waiter = plat::kNoWindow;
    uint32_t timeoutMs = 0;
};

std::vector<uint8_t> awaitingRecord(const Awaiting& a) {
    std::vector<uint8_t> record(sizeof(_AwaitedResponse));
    uint8_t* p = record.data();
    wire::writeLe32(p + offsetof(_AwaitedResponse, Waiter), static_cast<uint32_t>(a.waiter));
    wire::writeLe32(p + offsetof(_AwaitedResponse, Waiter) + 4,
                    static_cast<uint32_t>(a.waiter >> 32));
    wire::writeLe32(p + offsetof(_AwaitedResponse, NetID), static_cast<uint32_t>(a.netId));
    wire::writeLe32(p + offsetof(_AwaitedResponse, TimeOutMs), a.timeoutMs);
    return record;
}

// The request's payload: the envelope, after the routing record for 1636.
plat::Payload requestPayload(const _Message& m, const Awaiting* awaiting) {
    std::vector<uint8_t> bytes;
    if (awaiting != nullptr) {
        bytes = awaitingRecord(*awaiting);
    }
    std::vector<uint8_t> envelope = wire::buildEnvelope(
        m.Address, wire::kDirectionSent, std::span<const uint8_t>(m.Dataptr, m.Length));
    bytes.insert(bytes.end(), envelope.begin(), envelope.end());
    return plat::Payload::fromBytes(std::move(bytes));
}

// The server whose answer showed that it does not know 1636 (it answers
// unknown requests 0, which 1634 never returns): such a server is sent
// 1634.
std::atomic<plat::Hwnd> gServerWithoutAwaiting{plat::kNoWindow};

int32_t sendOne(int32_t registrationId, const _Message& m, const Awaiting* awaiting = nullptr) {
    plat::Hwnd server = serverWindow();
    if (server == plat::kNoWindow) {
        return VEK_ERR_SERVER;
    }
    if (awaiting != nullptr && gServerWithoutAwaiting.load() == server) {
        awaiting = nullptr;
    }
    plat::Payload payload;
    try {
        payload = requestPayload(m, awaiting);
    } catch (const std::bad_alloc&) {
        return VEK_ERR_NO_MEMORY;
    }
    if (payload.empty()) {
        return VEK_ERR_NO_MEMORY;
    }
    uint32_t code = awaiting != nullptr ? wire::kReqSendAwaitingResponse : wire::kReqSendNetwork;
    auto result = request(code, static_cast<uint32_t>(registrationId), 0, std::move(payload));
    if (!result) {
        // A server that has gone was forgotten by the failed request: no
        // server. One that is still there did not answer in time: not sent
        // (the server drops the request once this wait has ended).
        return serverWindow() == plat::kNoWindow ? VEK_ERR_SERVER : VEK_ERR_NOT_SENT;
    }
    if (awaiting != nullptr && *result == 0) {
        gServerWithoutAwaiting.store(server);
        return sendOne(registrationId, m);
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

extern "C" int32_t VEKInternal_SendAwaitingResponse(int32_t RegistrationID, _Message* Message,
                                                    int32_t ReceiveNetID, HUBWND Waiter,
                                                    uint32_t TimeOutMs) {
    if (!isRegistered(RegistrationID)) {
        return VEK_ERR_NOT_REGISTERED;
    }
    if (Message == nullptr || !isSendable(*Message) || Waiter == plat::kNoWindow) {
        return VEK_ERR_BAD_ARG;
    }
    Awaiting awaiting{ReceiveNetID, Waiter, TimeOutMs};
    return sendOne(RegistrationID, *Message, &awaiting);
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
