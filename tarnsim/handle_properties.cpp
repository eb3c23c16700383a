// Property requests: get, set, multi-set, the paged property listing and
// change registrations.
#include <algorithm>

#include "core/tarn_device_properties.h"
#include "core/tarn_items.h"
#include "core/tarn_reply_pages.h"
#include "core/tarn_request_decoders.h"
#include "core/tarn_requests.h"
#include "property_values.h"
#include "simulated_device.h"

namespace tarnsim {

using objscope::DeviceVerdict;
using objscope::MessageRejection;

namespace {

DeviceProperty identityProperty(uint16_t id, uint8_t typeCode, uint16_t value) {
    DeviceProperty property;
    property.id = id;
    property.typeCode = typeCode;
    property.value = {static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8)};
    property.readOnly = id != objscope::kPropOwnerHandle;
    return property;
}

std::optional<uint16_t> readStartIndex(std::span<const uint8_t> payload) {
    if (payload.size() < 2)
        return std::nullopt;
    return static_cast<uint16_t>(payload[0] | (payload[1] << 8));
}

}  // namespace

std::vector<DeviceProperty> listedProperties(const DeviceObject& object) {
    std::vector<DeviceProperty> list;
    list.reserve(object.properties.size() + 3);
    list.push_back(identityProperty(objscope::kPropClassId, 68, object.classId));
    list.push_back(identityProperty(objscope::kPropObjectHandle, 69, object.handle));
    bool ownerPlaced = false;
    for (const auto& property : object.properties) {
        if (!ownerPlaced && property.id > objscope::kPropOwnerHandle) {
            list.push_back(identityProperty(objscope::kPropOwnerHandle, 69, object.owner));
            ownerPlaced = true;
        }
        list.push_back(property);
    }
    if (!ownerPlaced)
        list.push_back(identityProperty(objscope::kPropOwnerHandle, 69, object.owner));
    return list;
}

std::optional<DeviceProperty> listedProperty(const DeviceObject& object, uint16_t id) {
    id &= objscope::kPropertyIdMask;
    if (objscope::IsIdentityProperty(id)) {
        for (auto& property : listedProperties(object)) {
            if (property.id == id)
                return property;
        }
    }
    if (const DeviceProperty* property = object.find(id))
        return *property;
    return std::nullopt;
}

DeviceVerdict judgeWrite(const DeviceProperty& property, std::span<const uint8_t> value) {
    if (property.readOnly)
        return DeviceVerdict::reject(MessageRejection::NotAllowedReadOnly);
    size_t fixed = fixedWireSize(property.typeCode);
    if (fixed != 0) {
        if (value.size() != fixed)
            return DeviceVerdict::reject(MessageRejection::PropertyWrongSize);
    } else {
        bool evenNeeded = valueKindOf(property.typeCode) == ValueKind::Numbers;
        if (value.size() > maxVariableSize(property.typeCode) || (evenNeeded && value.size() % 2))
            return DeviceVerdict::reject(MessageRejection::PropertyWrongSize);
    }
    if (auto number = engineeringValue(property.typeCode, value)) {
        if (!(*number >= property.lowerLimit() && *number <= property.upperLimit()))
            return DeviceVerdict::reject(MessageRejection::FieldInvalid);
    }
    return DeviceVerdict::ok();
}

namespace {

// Judges one item written into `object` and, when `apply` is set and it is
// acceptable, stores it. `changed` receives the property when its value
// changed.
DeviceVerdict writeItem(DeviceObject& object, const DeviceContents& contents,
                        const objscope::ItemView& item, bool apply,
                        std::vector<uint16_t>* changed) {
    uint16_t id = item.propertyId();
    if (id == objscope::kPropOwnerHandle) {
        if (item.wireSize() != 2)
            return DeviceVerdict::reject(MessageRejection::PropertyWrongSize);
        uint16_t owner = static_cast<uint16_t>(item.value[0] | (item.value[1] << 8));
        if (owner != kNoOwner && (owner == object.handle || !contents.find(owner)))
            return DeviceVerdict::reject(MessageRejection::FieldInvalid);
        if (apply)
            object.owner = owner;
        return DeviceVerdict::ok();
    }
    if (objscope::IsIdentityProperty(id))
        return DeviceVerdict::reject(MessageRejection::NotAllowedReadOnly);
    DeviceProperty* property = object.find(id);
    if (!property)
        return DeviceVerdict::reject(MessageRejection::PropertyInvalid);
    DeviceVerdict verdict = judgeWrite(*property, item.value);
    if (!verdict.isOk() || !apply)
        return verdict;
    if (!std::equal(property->value.begin(), property->value.end(), item.value.begin(),
                    item.value.end())) {
        property->value.assign(item.value.begin(), item.value.end());
        if (changed)
            changed->push_back(property->id);
    }
    return verdict;
}

}  // namespace

SimulatedDevice::Reply SimulatedDevice::handleGet(const Request& request,
                                                  const DeviceObject& object) {
    auto header = objscope::decodeGetRequest(request.data);
    if (!header)
        return status(request, DeviceVerdict::reject(MessageRejection::MessageWrongSize));
    auto property = listedProperty(object, header->headerWord);
    if (!property)
        return status(request, DeviceVerdict::reject(MessageRejection::PropertyInvalid));
    return payloadReply(request, objscope::encodeItem(property->id, property->value));
}

SimulatedDevice::Reply SimulatedDevice::handleSet(const Request& request, DeviceObject& object) {
    auto item = objscope::decodeSetRequest(request.data);
    if (!item)
        return status(request, DeviceVerdict::reject(MessageRejection::MessageWrongSize));
    std::vector<uint16_t> changed;
    DeviceVerdict verdict = writeItem(object, contents_, *item, true, &changed);
    for (uint16_t id : changed)
        notifyChange(object, *object.find(id));
    return status(request, verdict);
}

SimulatedDevice::Reply SimulatedDevice::handleSetMultiple(const Request& request,
                                                          DeviceObject& object) {
    auto list = objscope::decodeSetMultiplePropsRequest(request.data);
    if (!list || list->cutShort())
        return status(request, DeviceVerdict::reject(MessageRejection::MessageWrongSize));
    // All or nothing: judge every item before the first is stored.
    for (const auto& item : list->items) {
        DeviceVerdict verdict = writeItem(object, contents_, item, false, nullptr);
        if (!verdict.isOk())
            return status(request, verdict);
    }
    std::vector<uint16_t> changed;
    for (const auto& item : list->items)
        writeItem(object, contents_, item, true, &changed);
    for (uint16_t id : changed)
        notifyChange(object, *object.find(id));
    return status(request, DeviceVerdict::ok());
}

SimulatedDevice::Reply SimulatedDevice::handleGetAllProps(const Request& request,
                                                          const DeviceObject& object) {
    auto start = readStartIndex(request.payload);
    if (!start)
        return status(request, DeviceVerdict::reject(MessageRejection::MessageWrongSize));
    auto properties = listedProperties(object);
    std::vector<objscope::PropertyListEntry> entries;
    for (size_t i = *start; i < properties.size(); ++i)
        entries.push_back(
            {properties[i].typeCode, objscope::encodeItem(properties[i].id, properties[i].value)});
    size_t limit =
        options_.listingPageBytes ? options_.listingPageBytes : objscope::kMaxTarnReplyBytes;
    return objscope::buildPropertyListingPage(
               request.tarn, address(object.handle, request.tarn.Dest_Net), entries, limit)
        .data;
}

SimulatedDevice::Reply SimulatedDevice::handleRegister(const Request& request,
                                                       const DeviceObject& object) {
    auto block = objscope::decodeRegistrationRequest(request.data);
    if (!block)
        return status(request, DeviceVerdict::reject(MessageRejection::MessageWrongSize));
    if (!listedProperty(object, block->propertyId))
        return status(request, DeviceVerdict::reject(MessageRejection::PropertyInvalid));
    Registration registration{request.from, block->notifyTo, request.tarn.Dest_Net, object.handle,
                              static_cast<uint16_t>(block->propertyId & 0x3FFF)};
    // A registration number names one registration of its requester: a new
    // one with the same number replaces the old.
    std::erase_if(registrations_, [&](const Registration& r) {
        return r.requester == registration.requester && r.notifyTo == registration.notifyTo;
    });
    registrations_.push_back(registration);
    return status(request, DeviceVerdict::ok());
}

SimulatedDevice::Reply SimulatedDevice::handleUnregister(const Request& request) {
    auto cancel = objscope::decodeUnregisterRequest(request.data);
    if (!cancel)
        return status(request, DeviceVerdict::reject(MessageRejection::MessageWrongSize));
    if (cancel->code != objscope::kUnregisterCode)
        return status(request, DeviceVerdict::reject(MessageRejection::FieldInvalid));
    // Cancelling a registration that is already gone succeeds: the requester
    // only wants it gone.
    std::erase_if(registrations_, [&](const Registration& r) {
        return r.requester == request.from && r.notifyTo == cancel->registrationSource;
    });
    return status(request, DeviceVerdict::ok());
}

}  // namespace tarnsim
