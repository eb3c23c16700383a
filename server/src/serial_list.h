// The list of open port entries (`CommList`, newest first) under its own
// lock, shared by the requests of the main thread and the reader threads.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "serial_device.h"

namespace hub {

struct _comm_info {
    uint32_t CommID = 0;
    std::shared_ptr<SerialDevice> PhysCommHandle;  // shared by the entries of one device
    uint32_t Shareable = 0;
    uint32_t BaudRate = 0;
    int32_t RegistrationID = 0;
};

struct CommList {
    std::mutex lock;
    std::list<_comm_info> entries;
    uint32_t NextCommID = 1;
    bool CommInstalled = false;
    bool ShuttingDown = false;
    std::string iniName;
    uint64_t drops = 0;  // blocks a full client queue did not take
};

CommList& commList();

using DeviceList = std::vector<std::shared_ptr<SerialDevice>>;

// With the lock held: removes the entries that match and returns the devices
// no entry uses any more, to be closed once the lock is released.
template <typename Match>
DeviceList eraseEntries(CommList& list, Match match) {
    DeviceList candidates;
    for (auto it = list.entries.begin(); it != list.entries.end();) {
        if (match(*it)) {
            candidates.push_back(it->PhysCommHandle);
            it = list.entries.erase(it);
        } else {
            ++it;
        }
    }
    DeviceList unused;
    for (const auto& device : candidates) {
        bool used = false;
        for (const _comm_info& e : list.entries) {
            used = used || e.PhysCommHandle == device;
        }
        bool listed = false;
        for (const auto& u : unused) {
            listed = listed || u == device;
        }
        if (!used && !listed) {
            unused.push_back(device);
        }
    }
    return unused;
}

// Reader thread: hands one block to every entry of `device`.
void deliverCommBlock(const SerialDevice* device, std::span<const uint8_t> block);

}  // namespace hub
