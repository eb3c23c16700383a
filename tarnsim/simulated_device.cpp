#include "simulated_device.h"

#include <algorithm>

#include "model/class_catalogue.h"
#include "protocol/tarn_device_properties.h"
#include "protocol/tarn_items.h"
#include "protocol/tarn_reply_builders.h"
#include "protocol/tarn_reply_pages.h"
#include "object_set_device.h"
#include "property_values.h"

namespace tarnsim {

using objscope::DeviceVerdict;
using objscope::MessageRejection;
using objscope::TransportRejection;

namespace {

enum MessageId : uint16_t {
    kGet = 1,
    kSet = 2,
    kRegister = 14,
    kSetMultiple = 17,
    kUnregister = 18,
    kGetAllProps = 19,
    kGetAllObjs = 1024,
    kGetAllClasses = 1025,
    kAddObject = 1027,
    kDelete = 1028,
    kConfirmObject = 1029,
    kDeleteAllObjs = 1030,
    kClassText = 1031,
    kGetAllObjsPlus = 1035,
    kSoftReset = 2054,
    kSetDefaultData = 2055,
    kFirstClassMethod = 3072,
};

// Requests for the device itself or for everybody are ours, as are those
// that leave the device number 0.
bool addressedToUs(uint16_t destDev, uint16_t deviceNumber) {
    return destDev == deviceNumber || destDev == 0 || destDev == objscope::kBroadcastSourceId;
}

}  // namespace

SimulatedDevice::SimulatedDevice(DeviceOptions options, DeviceContents contents)
    : options_(options), contents_(std::move(contents)) {
    defaults_ = contents_;
    saved_ = contents_;
    messageNumber_ = static_cast<uint16_t>(0x8000 | (std::random_device{}() & 0x7FFF));
}

bool SimulatedDevice::Request::wantsReply() const {
    auto mode = static_cast<objscope::RequestMode>(tarn.Mode);
    return mode != objscope::RequestMode::NoReply && mode != objscope::RequestMode::MethodNoReply;
}

objscope::TarnAddress SimulatedDevice::address(uint16_t object, uint16_t net) const {
    return {net, options_.deviceNumber, object};
}

SimulatedDevice::Reply SimulatedDevice::status(const Request& request,
                                               DeviceVerdict verdict) const {
    return objscope::buildStatusReply(request.tarn,
                                      address(request.tarn.Dest_Obj, request.tarn.Dest_Net),
                                      verdict.status, verdict.mode);
}

SimulatedDevice::Reply SimulatedDevice::payloadReply(const Request& request,
                                                     std::span<const uint8_t> payload,
                                                     bool partial) const {
    return objscope::buildPayloadReply(request.tarn,
                                       address(request.tarn.Dest_Obj, request.tarn.Dest_Net),
                                       payload, 0, partial ? objscope::kModePartial : 0);
}

uint16_t SimulatedDevice::nextMessageNumber() {
    uint16_t number = messageNumber_;
    messageNumber_ = messageNumber_ == 0xFFFF ? 0x8000 : static_cast<uint16_t>(messageNumber_ + 1);
    return number;
}

std::vector<Outgoing> SimulatedDevice::handleDatagram(uint32_t from,
                                                      std::span<const uint8_t> datagram) {
    pending_.clear();
    auto header = wire::readHeader(datagram);
    // Only Tarn requests: replies and other objects' messages are not ours.
    if (!header || header->objectId != objscope::kTarnObjectId || (header->messageId & 0x8000) != 0)
        return {};
    Request request;
    request.from = from;
    request.datagram = *header;
    request.data = wire::datagramData(datagram);
    auto tarn = objscope::readTarnHeader(request.data);
    if (!tarn)
        return {};  // too short to say whom to answer
    request.tarn = *tarn;
    request.payload = request.data.subspan(objscope::kTarnHeaderSize);

    Reply reply = dispatch(request);
    std::vector<Outgoing> out;
    if (!reply.empty() && request.wantsReply()) {
        wire::DatagramHeader answer = *header;
        answer.messageId = static_cast<uint16_t>(header->messageId | 0x8000);
        out.push_back({from, wire::buildDatagram(answer, reply), true});
    }
    for (auto& notification : pending_)
        out.push_back(std::move(notification));
    pending_.clear();
    return out;
}

SimulatedDevice::Reply SimulatedDevice::dispatch(const Request& request) {
    if (!addressedToUs(request.tarn.Dest_Dev, options_.deviceNumber))
        return status(request, DeviceVerdict::reject(TransportRejection::DeviceInvalid));
    const uint16_t id = request.datagram.messageId;
    switch (id) {
        case kGetAllObjs:
            return handleObjectListing(request, false);
        case kGetAllObjsPlus:
            return handleObjectListing(request, true);
        case kGetAllClasses:
            return handleClassListing(request);
        case kConfirmObject:
            return handleConfirmObject(request);
        case kDelete:
            return handleDelete(request);
        case kDeleteAllObjs:
            return handleDeleteAll(request);
        case kSoftReset:
            return handleSoftReset(request);
        case kSetDefaultData:
            return handleSetDefaultData(request);
        case kAddObject:
            return handleAddObject(request);
        case kClassText:
            return handleClassText(request);
        case kUnregister:
            return handleUnregister(request);
        default:
            break;
    }
    DeviceObject* object = contents_.find(request.tarn.Dest_Obj);
    if (!object)
        return status(request, DeviceVerdict::reject(TransportRejection::ObjectInvalid));
    switch (id) {
        case kGet:
            return handleGet(request, *object);
        case kSet:
            return handleSet(request, *object);
        case kSetMultiple:
            return handleSetMultiple(request, *object);
        case kGetAllProps:
            return handleGetAllProps(request, *object);
        case kRegister:
            return handleRegister(request, *object);
        default:
            if (id >= kFirstClassMethod)
                return handleClassMethod(request, *object);
            return status(request, DeviceVerdict::reject(TransportRejection::MethodInvalid));
    }
}

void SimulatedDevice::notifyChange(const DeviceObject& object, const DeviceProperty& property) {
    auto item = objscope::encodeItem(property.id, property.value);
    if (item.empty())
        return;
    for (const auto& registration : registrations_) {
        if (registration.object != object.handle ||
            (registration.propertyId & 0x3FFF) != property.id)
            continue;
        auto data = objscope::buildNotification(
            registration.notifyTo, address(object.handle, registration.deviceNet), item);
        wire::DatagramHeader header{objscope::kTarnObjectId, kRegister, nextMessageNumber()};
        pending_.push_back({registration.requester, wire::buildDatagram(header, data), false});
    }
}

void SimulatedDevice::forgetObjects(const std::set<uint16_t>& handles) {
    std::erase_if(contents_.objects,
                  [&](const DeviceObject& o) { return handles.count(o.handle) != 0; });
    std::erase_if(registrations_,
                  [&](const Registration& r) { return handles.count(r.object) != 0; });
}

DeviceObject SimulatedDevice::newObject(uint16_t classId, uint16_t handle, uint16_t owner) const {
    DeviceObject object;
    // Objects of a class the device was loaded with start from that class's
    // first object: its properties, limits and flags; other classes from
    // their object in the default device, as a device's firmware knows them.
    bool found = false;
    for (const auto* source : {&defaults_, &contents_}) {
        auto it = std::find_if(
            source->objects.begin(), source->objects.end(),
            [&](const DeviceObject& o) { return o.classId == classId && o.handle != 0; });
        if (it != source->objects.end()) {
            object = *it;
            found = true;
            break;
        }
    }
    if (!found) {
        if (const DeviceObject* model = classTemplate(classId))
            object = *model;
    }
    object.classId = classId;
    object.handle = handle;
    object.owner = owner;
    object.dataBlock.reset();
    object.matrix.reset();
    object.tests.reset();
    completeObject(object);
    if (DeviceProperty* name = object.find(objscope::kPropObjectName)) {
        std::string text =
            std::string(objscope::LookupClass(classId).displayName) + " " + std::to_string(handle);
        if (text.size() > maxVariableSize(name->typeCode))
            text.resize(maxVariableSize(name->typeCode));
        name->value.assign(text.begin(), text.end());
    }
    return object;
}

std::vector<Outgoing> SimulatedDevice::wiggleStep(std::mt19937& random) {
    pending_.clear();
    std::uniform_real_distribution<double> step(-0.04, 0.04);
    for (auto& object : contents_.objects) {
        for (auto& property : object.properties) {
            if (!property.wiggle)
                continue;
            auto current = engineeringValue(property.typeCode, property.value);
            if (!current)
                continue;
            double low = property.lowerLimit();
            double high = property.upperLimit();
            double next = std::clamp(*current + step(random) * (high - low), low, high);
            auto wire = wireBytesFor(property.typeCode, next);
            if (!wire || *wire == property.value)
                continue;
            property.value = std::move(*wire);
            notifyChange(object, property);
        }
    }
    std::vector<Outgoing> out = std::move(pending_);
    pending_.clear();
    return out;
}

}  // namespace tarnsim
