// One simulated Tarn device: takes the datagrams sent to it and produces its
// replies and the change notifications its registrations ask for. No
// sockets here: the serving loop (device_server.h) moves the bytes, so the
// device can be driven directly by tests and the fuzzer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "protocol/tarn_header.h"
#include "protocol/tarn_rejections.h"
#include "device_model.h"
#include "method_answers.h"
#include "wire/datagram.h"

namespace tarnsim {

struct Outgoing {
    uint32_t to = 0;  // IPv4 address, host order (sent to the device's own port)
    std::vector<uint8_t> datagram;
    bool isReply = false;  // false: a notification
};

struct DeviceOptions {
    uint16_t deviceNumber = 1;
    size_t listingPageBytes = 0;  // 0: as much as one datagram carries
    bool ignoreClassFilter = false;  // list every object whatever the filter
};

// A registration for change notifications.
struct Registration {
    uint32_t requester = 0;          // address the registration came from
    objscope::TarnAddress notifyTo;  // net, source ID, registration number
    uint16_t deviceNet = 0;          // the device's network number as addressed
    uint16_t object = 0;
    uint16_t propertyId = 0;
};

// Data block methods answer in chunks of at most this many bytes.
constexpr size_t kDataBlockChunk = 512;

class SimulatedDevice {
  public:
    SimulatedDevice(DeviceOptions options, DeviceContents contents);

    // Handles one datagram from `from`. Never throws and never reads past
    // the datagram, whatever it holds.
    std::vector<Outgoing> handleDatagram(uint32_t from, std::span<const uint8_t> datagram);

    // Moves the values marked to wiggle (meters and other live readings)
    // one random step and returns the notifications of the changes.
    std::vector<Outgoing> wiggleStep(std::mt19937& random);

    const DeviceContents& contents() const { return contents_; }
    uint16_t deviceNumber() const { return options_.deviceNumber; }
    const std::vector<Registration>& registrations() const { return registrations_; }

  private:
    struct Request {
        uint32_t from = 0;
        wire::DatagramHeader datagram;
        objscope::TarnHeader tarn{};
        std::span<const uint8_t> data;     // header and payload
        std::span<const uint8_t> payload;  // after the header
        bool wantsReply() const;
    };
    using Reply = std::vector<uint8_t>;  // Tarn data block; empty: no reply

    Reply dispatch(const Request& request);
    Reply status(const Request& request, objscope::DeviceVerdict verdict) const;
    Reply payloadReply(const Request& request, std::span<const uint8_t> payload,
                       bool partial = false) const;
    objscope::TarnAddress address(uint16_t object, uint16_t net) const;

    // Properties (handle_properties.cpp).
    Reply handleGet(const Request& request, const DeviceObject& object);
    Reply handleSet(const Request& request, DeviceObject& object);
    Reply handleSetMultiple(const Request& request, DeviceObject& object);
    Reply handleGetAllProps(const Request& request, const DeviceObject& object);
    Reply handleRegister(const Request& request, const DeviceObject& object);
    Reply handleUnregister(const Request& request);

    // Objects and device commands (handle_objects.cpp).
    Reply handleObjectListing(const Request& request, bool withNames);
    Reply handleClassListing(const Request& request);
    Reply handleConfirmObject(const Request& request);
    Reply handleDelete(const Request& request);
    Reply handleDeleteAll(const Request& request);
    Reply handleSoftReset(const Request& request);
    Reply handleSetDefaultData(const Request& request);
    Reply handleAddObject(const Request& request);
    Reply handleClassText(const Request& request);

    // Class methods (handle_methods.cpp, with test_manager_methods.cpp and
    // matrix_methods.cpp).
    Reply handleClassMethod(const Request& request, DeviceObject& object);
    void updateLinkedListSizes(DeviceObject& object);

    // Shared helpers.
    void notifyChange(const DeviceObject& object, const DeviceProperty& property);
    void forgetObjects(const std::set<uint16_t>& handles);
    DeviceObject newObject(uint16_t classId, uint16_t handle, uint16_t owner) const;
    uint16_t nextMessageNumber();

    DeviceOptions options_;
    DeviceContents contents_;
    DeviceContents defaults_;  // as loaded: "reset to default objects"
    DeviceContents saved_;     // "set default data": what a soft reset restores
    std::vector<Registration> registrations_;
    std::vector<Outgoing> pending_;  // notifications raised while handling
    uint16_t messageNumber_ = 0x8000;
};

// The property list a device reports for an object: class ID (0), object
// handle (1) and owner handle (7) among the stored ones. The visitor returns
// false to stop.
void forEachListedProperty(const DeviceObject& object,
                           const std::function<bool(const DeviceProperty&)>& visit);
std::vector<DeviceProperty> listedProperties(const DeviceObject& object);
// One listed property, identity ones included; nullptr-like empty when absent.
std::optional<DeviceProperty> listedProperty(const DeviceObject& object, uint16_t id);

// The verdict on writing `value` into `property` (size, read-only, limits).
objscope::DeviceVerdict judgeWrite(const DeviceProperty& property, std::span<const uint8_t> value);

}  // namespace tarnsim
