#include "network_registrations.h"

#include <forward_list>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "client_registry.h"
#include "debuglog.h"
#include "network.h"
#include "platform/payload.h"
#include "win16_interface.h"

namespace hub {
namespace {

struct NetList {
    std::mutex lock;
    bool lockExists = false;
    std::forward_list<_net_info> entries;  // newest first
    uint32_t NextNetID = 1;
    uint64_t drops = 0;
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
void logDrop(NetList& list, const _net_info& entry) {
    uint64_t dropped = ++list.dropsPerNetID[entry.NetID];
    if ((dropped & (dropped - 1)) == 0) {
        _Debug_Internal(0,
                        "   ** HUBSERVER (EXE) Client %d does not read: message for NetID %u "
                        "dropped (%llu dropped).\n",
                        entry.RegistrationID, entry.NetID,
                        static_cast<unsigned long long>(dropped));
    }
}

// Hands one envelope to the application owning `entry`. Called with the list
// lock held; the registry lookup takes the registry lock briefly.
Delivery deliver(NetList& list, const _net_info& entry, const plat::Payload& payload) {
    std::optional<_Client> client = FindClient(entry.RegistrationID);
    if (!client || client->ClientHandle == plat::kNoWindow) {
        return Delivery::Skipped;  // nothing to reach it through
    }
    if (client->ClientType == win16_client) {
        if (!PostToWin16Interface(client->ClientHandle, entry.NetID, payload.bytes())) {
            ++list.drops;  // the interface thread is gone or its queue is full
        }
        return Delivery::Delivered;
    }
    switch (plat::postMessage(client->ClientHandle, kMsgNetworkMessage, entry.NetID, 0, payload)) {
        case plat::PostResult::Ok:
            return Delivery::Delivered;
        case plat::PostResult::Full:
            // This one message is lost for this client only.
            ++list.drops;
            logDrop(list, entry);
            return Delivery::Delivered;
        case plat::PostResult::Gone:
            break;
    }
    return Delivery::Gone;
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
    list.lockExists = false;
}

uint32_t addNetRegistration(int32_t clientID, int32_t type) {
    NetList& list = netList();
    std::lock_guard<std::mutex> guard(list.lock);
    if (!list.lockExists) {
        return 0;
    }
    uint32_t id = takeNetID(list);
    list.entries.push_front({id, type, clientID});
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
    // Every receiver gets its own copy of the same bytes; one payload serves
    // them all.
    plat::Payload payload = plat::Payload::copyOf(envelope.data(), envelope.size());
    auto before = list.entries.before_begin();
    for (auto it = list.entries.begin(); it != list.entries.end();) {
        if (deliver(list, *it, payload) == Delivery::Gone) {
            list.dropsPerNetID.erase(it->NetID);
            it = list.entries.erase_after(before);  // its window no longer exists
        } else {
            before = it++;
        }
    }
}

uint64_t netDispatchDrops() {
    NetList& list = netList();
    std::lock_guard<std::mutex> guard(list.lock);
    return list.drops;
}

}  // namespace hub
