#include "network_registrations.h"

#include <algorithm>
#include <bit>
#include <forward_list>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "client_registry.h"
#include "debuglog.h"
#include "network.h"
#include "network_awaited.h"
#include "platform/payload.h"
#include "win16_interface.h"
#include "wire/datagram.h"
#include "wire/ipc.h"

namespace hub {
namespace {

// The envelopes a receive pass dispatched, kept for the registrations that
// take batches: all of them, and those receive-only registrations want.
struct Collected {
    std::vector<uint8_t> bytes;  // envelopes one after the other
    size_t count = 0;

    void add(std::span<const uint8_t> envelope) {
        bytes.insert(bytes.end(), envelope.begin(), envelope.end());
        ++count;
    }
    void clear() {
        bytes.clear();
        count = 0;
    }
};

struct PendingBatch {
    int depth = 0;  // open NetDispatchBatch objects
    Collected all;
    Collected forReceivers;
};

struct NetList {
    std::mutex lock;
    bool lockExists = false;
    std::forward_list<_net_info> entries;  // newest first
    uint32_t NextNetID = 1;
    uint64_t drops = 0;
    PendingBatch batch;
    std::unordered_map<uint32_t, uint64_t> dropsPerNetID;  // of registrations that exist
};

NetList& netList() {
    static NetList list;
    return list;
}

uint32_t takeNetID(NetList& list) {
    uint32_t id = list.NextNetID;
    list.NextNetID = id >= kLastNetID ? 1 : id + 1;
    return id;
}

enum class Delivery { Delivered, Skipped, Gone };

// A client that does not read loses messages; each registration's losses
// are logged at the 1st, 2nd, 4th, 8th ... so the log shows them without
// growing with the flood.
void logDrop(NetList& list, const _net_info& entry, size_t count) {
    uint64_t before = list.dropsPerNetID[entry.NetID];
    uint64_t dropped = before + count;
    list.dropsPerNetID[entry.NetID] = dropped;
    // Logged when the count passes a power of two.
    if (std::bit_width(before) != std::bit_width(dropped)) {
        _Debug_Internal(0,
                        "   ** HUBSERVER (EXE) Client %d does not read: message for NetID %u "
                        "dropped (%llu dropped).\n",
                        entry.RegistrationID, entry.NetID,
                        static_cast<unsigned long long>(dropped));
    }
}

// The envelope as a receive registration sees it: set when a registration
// that asked only for received messages for application objects (ObjectID
// not 0) is posted it.
struct ForReceivers {
    uint32_t source = 0;
    wire::DatagramHeader header;
};

std::optional<ForReceivers> forReceivers(std::span<const uint8_t> envelope) {
    std::optional<wire::EnvelopeView> view = wire::readEnvelope(envelope);
    if (!view || !wire::receiveSubscribersWant(*view)) {
        return std::nullopt;
    }
    std::optional<wire::DatagramHeader> header = wire::readHeader(view->datagram);
    if (!header) {
        return std::nullopt;
    }
    return ForReceivers{view->address, *header};
}

// Posts a response a thread waits for (request 1636) straight to that
// thread. Returns the NetID of the receive registration it replaces, 0 when
// nobody waits for it or the waiter cannot take it (then it goes the usual
// way).
uint32_t handToWaiter(const ForReceivers& received, const plat::Payload& payload) {
    std::optional<AwaitedResponse> awaited = takeAwaitedResponse(received.source, received.header);
    if (!awaited) {
        return 0;
    }
    plat::PostResult posted =
        plat::postMessage(awaited->waiter, wire::kMsgAwaitedResponse, awaited->netID, 0, payload);
    return posted == plat::PostResult::Ok ? awaited->netID : 0;
}

// Posts `count` envelopes to a Win32 client: one as 1624, more as 1626. A
// full queue loses them for this client only.
Delivery post(NetList& list, const _Client& client, const _net_info& entry,
              const plat::Payload& payload, size_t count) {
    uint32_t msg = count == 1 ? kMsgNetworkMessage : kMsgNetworkBatch;
    switch (plat::postMessage(client.ClientHandle, msg, entry.NetID, 0, payload)) {
        case plat::PostResult::Ok:
            return Delivery::Delivered;
        case plat::PostResult::Full:
            list.drops += count;
            logDrop(list, entry, count);
            return Delivery::Delivered;
        case plat::PostResult::Gone:
            break;
    }
    return Delivery::Gone;
}

// Hands one envelope to the application owning `entry`. Called with the list
// lock held; the registry lookup takes the registry lock briefly.
Delivery deliver(NetList& list, const _net_info& entry, const plat::Payload& payload,
                 bool receiversWantIt) {
    std::optional<_Client> client = FindClient(entry.RegistrationID);
    if (!client || client->ClientHandle == plat::kNoWindow) {
        return Delivery::Skipped;  // nothing to reach it through
    }
    if (!receiversWantIt && entry.options.copies == NetCopies::ReceivedForObjects) {
        return Delivery::Skipped;  // a copy it did not ask for
    }
    if (client->ClientType == win16_client) {
        if (!PostToWin16Interface(client->ClientHandle, entry.NetID, payload.bytes())) {
            ++list.drops;  // the interface thread is gone or its queue is full
        }
        return Delivery::Delivered;
    }
    return post(list, *client, entry, payload, 1);
}

// Calls `step` for every entry that `which` selects; entries whose window is
// gone are deleted.
template <typename Which, typename Step>
void forEachEntry(NetList& list, Which which, Step step) {
    auto before = list.entries.before_begin();
    for (auto it = list.entries.begin(); it != list.entries.end();) {
        if (which(*it) && step(*it) == Delivery::Gone) {
            list.dropsPerNetID.erase(it->NetID);
            it = list.entries.erase_after(before);  // its window no longer exists
        } else {
            before = it++;
        }
    }
}

bool takesBatches(const _net_info& entry) {
    return entry.options.batches;
}

// Posts every batch-taking registration what was collected for it, in one
// message, and empties the batch.
void flushBatch(NetList& list) {
    PendingBatch& b = list.batch;
    if (b.all.count == 0) {
        return;
    }
    plat::Payload all = plat::Payload::fromBytes(std::move(b.all.bytes));
    plat::Payload forReceivers = plat::Payload::fromBytes(std::move(b.forReceivers.bytes));
    size_t allCount = b.all.count;
    size_t receiverCount = b.forReceivers.count;
    b.all.clear();
    b.forReceivers.clear();
    forEachEntry(list, takesBatches, [&](const _net_info& entry) {
        bool receiveOnly = entry.options.copies == NetCopies::ReceivedForObjects;
        size_t count = receiveOnly ? receiverCount : allCount;
        std::optional<_Client> client = FindClient(entry.RegistrationID);
        if (count == 0 || !client || client->ClientHandle == plat::kNoWindow ||
            client->ClientType == win16_client) {
            return Delivery::Skipped;
        }
        return post(list, *client, entry, receiveOnly ? forReceivers : all, count);
    });
}

// Adds the envelope to the open batch; false when it must be posted on its
// own (larger than one batch message may be).
bool collect(NetList& list, std::span<const uint8_t> envelope, bool receiversWantIt) {
    if (envelope.size() > plat::kInlinePayloadMax) {
        flushBatch(list);  // what came before goes first
        return false;
    }
    PendingBatch& b = list.batch;
    if (b.all.bytes.size() + envelope.size() > plat::kInlinePayloadMax) {
        flushBatch(list);
    }
    b.all.add(envelope);
    if (receiversWantIt) {
        b.forReceivers.add(envelope);
    }
    return true;
}

}  // namespace

void openNetList() {
    NetList& list = netList();
    std::lock_guard<std::mutex> guard(list.lock);
    list.entries.clear();
    list.dropsPerNetID.clear();
    list.NextNetID = 1;
    list.lockExists = true;
}

void closeNetList() {
    NetList& list = netList();
    std::lock_guard<std::mutex> guard(list.lock);
    list.entries.clear();
    list.batch.all.clear();
    list.batch.forReceivers.clear();
    list.lockExists = false;
    forgetAllAwaitedResponses();
}

uint32_t addNetRegistration(int32_t clientID, int32_t type, NetOptions options) {
    NetList& list = netList();
    std::lock_guard<std::mutex> guard(list.lock);
    if (!list.lockExists) {
        return 0;
    }
    uint32_t id = takeNetID(list);
    list.entries.push_front({id, type, clientID, options});
    return id;
}

bool removeNetRegistration(uint32_t netID) {
    NetList& list = netList();
    std::lock_guard<std::mutex> guard(list.lock);
    if (!list.lockExists) {
        return false;
    }
    list.dropsPerNetID.erase(netID);
    return list.entries.remove_if([netID](const _net_info& e) { return e.NetID == netID; }) > 0;
}

void removeClientNetRegistrations(int32_t clientID) {
    forgetAwaitedResponsesOf(clientID);
    NetList& list = netList();
    std::lock_guard<std::mutex> guard(list.lock);
    if (list.lockExists) {
        list.entries.remove_if([&list, clientID](const _net_info& e) {
            bool owned = e.RegistrationID == clientID;
            if (owned) {
                list.dropsPerNetID.erase(e.NetID);
            }
            return owned;
        });
    }
}

bool isReceiveRegistrationOf(uint32_t netID, int32_t clientID) {
    NetList& list = netList();
    std::lock_guard<std::mutex> guard(list.lock);
    return std::any_of(list.entries.begin(), list.entries.end(), [&](const _net_info& e) {
        return e.NetID == netID && e.RegistrationID == clientID &&
               e.NetRegistrationType == NetworkRegistration;
    });
}

size_t netRegistrationCount() {
    NetList& list = netList();
    std::lock_guard<std::mutex> guard(list.lock);
    return static_cast<size_t>(std::distance(list.entries.begin(), list.entries.end()));
}

void dispatchToRegistrations(std::span<const uint8_t> envelope) {
    NetList& list = netList();
    std::lock_guard<std::mutex> guard(list.lock);
    if (!list.lockExists || list.entries.empty()) {
        return;
    }
    std::optional<ForReceivers> received = forReceivers(envelope);
    bool receiversWantIt = received.has_value();
    // Every receiver gets its own copy of the same bytes; one payload serves
    // them all.
    plat::Payload payload = plat::Payload::copyOf(envelope.data(), envelope.size());
    if (uint32_t replaced = received ? handToWaiter(*received, payload) : 0; replaced != 0) {
        // Out of the batch, so that one registration can be left out: what
        // was collected before goes first, in order.
        flushBatch(list);
        forEachEntry(
            list, [&](const _net_info& entry) { return entry.NetID != replaced; },
            [&](const _net_info& entry) { return deliver(list, entry, payload, true); });
        return;
    }
    bool collected = list.batch.depth > 0 && collect(list, envelope, receiversWantIt);
    forEachEntry(
        list, [&](const _net_info& entry) { return !collected || !takesBatches(entry); },
        [&](const _net_info& entry) { return deliver(list, entry, payload, receiversWantIt); });
}

void openDispatchBatch() {
    NetList& list = netList();
    std::lock_guard<std::mutex> guard(list.lock);
    ++list.batch.depth;
}

void closeDispatchBatch() {
    NetList& list = netList();
    std::lock_guard<std::mutex> guard(list.lock);
    if (--list.batch.depth == 0 && list.lockExists) {
        flushBatch(list);
    }
}

uint64_t netDispatchDrops() {
    NetList& list = netList();
    std::lock_guard<std::mutex> guard(list.lock);
    return list.drops;
}

NetDispatchBatch::NetDispatchBatch() {
    openDispatchBatch();
}

NetDispatchBatch::~NetDispatchBatch() {
    closeDispatchBatch();
}

}  // namespace hub
