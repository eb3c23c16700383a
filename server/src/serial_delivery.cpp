// Delivery of what a device read: one 2024 message per entry of the device,
// posted to the owner's window with the entry's port ID, the length and the
// bytes. An owner whose process or window is gone loses its entry; the last
// entry of a device gone that way closes the device and ends its reader.
#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <optional>

#include "client_registry.h"
#include "serial.h"
#include "serial_list.h"
#include "wire/datagram.h"

namespace hub {
namespace {

bool processAlive(uint32_t processID) {
    // A WIN16 client has no process of its own.
    return processID == 0 || ::kill(static_cast<pid_t>(processID), 0) == 0 || errno == EPERM;
}

plat::Payload commDataPayload(uint32_t commID, std::span<const uint8_t> block) {
    std::vector<uint8_t> bytes(sizeof(_CommDataInternal_t) + block.size());
    wire::writeLe32(&bytes[offsetof(_CommDataInternal_t, CommID)], commID);
    wire::writeLe32(&bytes[offsetof(_CommDataInternal_t, Length)],
                    static_cast<uint32_t>(block.size()));
    std::copy(block.begin(), block.end(), bytes.begin() + offsetof(_CommDataInternal_t, Data));
    return plat::Payload::fromBytes(std::move(bytes));
}

// False when the owner is gone and the entry must go.
bool deliverTo(CommList& list, const _comm_info& entry, std::span<const uint8_t> block) {
    std::optional<_Client> owner = FindClient(entry.RegistrationID);
    if (!owner || owner->ClientHandle == plat::kNoWindow || !processAlive(owner->ProcessID)) {
        return false;
    }
    plat::Payload payload;
    try {
        payload = commDataPayload(entry.CommID, block);
    } catch (const std::bad_alloc&) {
        return true;  // skipped for this block only
    }
    switch (plat::postMessage(owner->ClientHandle, wire::kMsgCommData,
                              static_cast<uint32_t>(owner->ClientID), 0, payload)) {
        case plat::PostResult::Ok:
            return true;
        case plat::PostResult::Full:
            ++list.drops;
            return true;
        case plat::PostResult::Gone:
            break;
    }
    return false;
}

}  // namespace

void deliverCommBlock(const SerialDevice* device, std::span<const uint8_t> block) {
    CommList& list = commList();
    std::lock_guard<std::mutex> guard(list.lock);
    std::vector<uint32_t> gone;
    for (const _comm_info& e : list.entries) {
        if (e.PhysCommHandle.get() == device && !deliverTo(list, e, block)) {
            gone.push_back(e.CommID);
        }
    }
    if (gone.empty()) {
        return;
    }
    DeviceList unused = eraseEntries(list, [&](const _comm_info& e) {
        return std::find(gone.begin(), gone.end(), e.CommID) != gone.end();
    });
    // Still under the lock: this thread is the device's reader, so closing
    // does not wait for it; nobody else can write meanwhile.
    for (const auto& d : unused) {
        d->close();
    }
}

}  // namespace hub
