// Opening, writing and closing the serial ports of the clients.
#include <algorithm>
#include <chrono>
#include <new>

#include "client_registry.h"
#include "debuglog.h"
#include "serial.h"
#include "serial_line_settings.h"
#include "serial_list.h"
#include "serial_port_names.h"

namespace hub {
namespace {

constexpr uint32_t kLastCommID = 2147483647;
constexpr int32_t kCloseNotFound = 1;

uint32_t takeCommID(CommList& list) {
    uint32_t id = list.NextCommID;
    list.NextCommID = id >= kLastCommID ? 1 : id + 1;
    return id;
}

bool validRequest(int32_t clientID, const _CommRegInfo& request) {
    return request.CommPortNumber != 0 && request.Info.BaudRate != 0 &&
           request.Info.DataBits != 0 && FindClient(clientID).has_value();
}

// With the lock held: the device an existing entry of `path` uses, when the
// request may share it; nullptr when the device is not open; nullopt when
// it is open and may not be shared.
std::optional<std::shared_ptr<SerialDevice>> sharedDevice(CommList& list, const std::string& path,
                                                          const COMM_INFORMATION& info) {
    auto it = std::find_if(list.entries.begin(), list.entries.end(),
                           [&](const _comm_info& e) { return e.PhysCommHandle->path() == path; });
    if (it == list.entries.end()) {
        return std::shared_ptr<SerialDevice>();
    }
    if (it->Shareable != 0 && info.Shareable != 0 && it->BaudRate == info.BaudRate) {
        return it->PhysCommHandle;
    }
    return std::nullopt;
}

std::shared_ptr<SerialDevice> openDevice(const std::string& path, const COMM_INFORMATION& info) {
    std::optional<LineSettings> settings = lineSettingsFrom(info);
    if (!settings) {
        return nullptr;
    }
    std::shared_ptr<SerialDevice> device = SerialDevice::open(path, *settings);
    const SerialDevice* key = device.get();
    if (device && !device->startReader(
                      [key](std::span<const uint8_t> block) { deliverCommBlock(key, block); })) {
        device->close();
        return nullptr;
    }
    return device;
}

void closeAll(const DeviceList& devices) {
    for (const auto& d : devices) {
        d->close();
    }
}

}  // namespace

CommList& commList() {
    static CommList* list = new CommList;  // reader threads may outlive static objects
    return *list;
}

int32_t InitCommInterface(plat::Hwnd, const std::string& iniName) {
    CommList& list = commList();
    {
        std::lock_guard<std::mutex> guard(list.lock);
        if (list.CommInstalled) {
            return 0;
        }
        list.entries.clear();
        list.NextCommID = 1;
        list.ShuttingDown = false;
        list.iniName = iniName;
        list.CommInstalled = true;
    }
    SetClientPortsCloser(DeleteCommEntryID);
    _Debug_Internal(0, "   ** HUBSERVER (EXE) Started... (COM Interface).\n");
    return 1;
}

void RemoveCommInterface() {
    CommList& list = commList();
    DeviceList devices;
    {
        std::lock_guard<std::mutex> guard(list.lock);
        if (!list.CommInstalled) {
            return;
        }
        list.ShuttingDown = true;
        devices = eraseEntries(list, [](const _comm_info&) { return true; });
        list.CommInstalled = false;
    }
    SetClientPortsCloser(nullptr);
    closeAll(devices);
    _Debug_Internal(0, "   ** HUBSERVER (EXE) Shutting Down... (COM Interface).\n");
}

int32_t RegisterCommPortClient(int32_t clientID, const _CommRegInfo& request) {
    if (!validRequest(clientID, request)) {
        return wire::kResultBadRequest;
    }
    CommList& list = commList();
    std::optional<std::string> path = resolvedCommDevice(request.CommPortNumber, list.iniName);
    if (!path) {
        return wire::kResultBadRequest;
    }
    std::lock_guard<std::mutex> guard(list.lock);
    if (!list.CommInstalled || list.ShuttingDown) {
        return wire::kResultBadRequest;
    }
    std::optional<std::shared_ptr<SerialDevice>> shared = sharedDevice(list, *path, request.Info);
    if (!shared) {
        return wire::kResultBadRequest;
    }
    std::shared_ptr<SerialDevice> device = *shared ? *shared : openDevice(*path, request.Info);
    if (!device) {
        return wire::kResultBadRequest;
    }
    try {
        _comm_info entry;
        entry.CommID = takeCommID(list);
        entry.PhysCommHandle = device;
        entry.Shareable = request.Info.Shareable;
        entry.BaudRate = request.Info.BaudRate;
        entry.RegistrationID = clientID;
        list.entries.push_front(entry);
        return static_cast<int32_t>(entry.CommID);
    } catch (const std::bad_alloc&) {
        if (!*shared) {
            device->close();
        }
        return wire::kResultOutOfMemory;
    }
}

int32_t DeRegisterCommPortClient(uint32_t portID) {
    CommList& list = commList();
    DeviceList unused;
    bool found = false;
    {
        std::lock_guard<std::mutex> guard(list.lock);
        if (!list.CommInstalled) {
            return kCloseNotFound;
        }
        found = std::any_of(list.entries.begin(), list.entries.end(),
                            [&](const _comm_info& e) { return e.CommID == portID; });
        unused = eraseEntries(list, [&](const _comm_info& e) { return e.CommID == portID; });
    }
    closeAll(unused);
    return found ? 0 : kCloseNotFound;
}

int32_t SendActualCommData(int32_t clientID, uint32_t commID, std::span<const uint8_t> data) {
    if (!FindClient(clientID)) {
        return 0;
    }
    CommList& list = commList();
    // The lock stays held for the whole write: a slow device delays the
    // delivery of every device, within the write's bound.
    std::lock_guard<std::mutex> guard(list.lock);
    if (!list.CommInstalled || list.ShuttingDown) {
        return 0;
    }
    auto it = std::find_if(list.entries.begin(), list.entries.end(),
                           [&](const _comm_info& e) { return e.CommID == commID; });
    if (it == list.entries.end()) {
        return 0;
    }
    size_t written =
        it->PhysCommHandle->write(data, std::chrono::milliseconds(kSerialWriteBoundMs));
    return static_cast<int32_t>(std::min<size_t>(written, INT32_MAX));
}

void DeleteCommEntryID(int32_t clientID) {
    CommList& list = commList();
    DeviceList unused;
    {
        std::lock_guard<std::mutex> guard(list.lock);
        if (!list.CommInstalled) {
            return;
        }
        unused =
            eraseEntries(list, [&](const _comm_info& e) { return e.RegistrationID == clientID; });
    }
    closeAll(unused);
}

size_t CommEntryCount() {
    CommList& list = commList();
    std::lock_guard<std::mutex> guard(list.lock);
    return list.entries.size();
}

}  // namespace hub
