// Property requests: get, set, multi-set, the paged property listing and
// change registrations.
#include <algorithm>
#include <functional>

#include "protocol/tarn_device_properties.h"
#include "protocol/tarn_items.h"
#include "protocol/tarn_reply_pages.h"
#include "protocol/tarn_request_decoders.h"
#include "protocol/tarn_requests.h"
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

void forEachListedProperty(const DeviceObject& object,
                           const std::function<bool(const DeviceProperty&)>& visit) {
    const DeviceProperty owner = identityProperty(objscope::kPropOwnerHandle, 69, object.owner);
    if (!visit(identityProperty(objscope::kPropClassId, 68, object.classId)) ||
        !visit(identityProperty(objscope::kPropObjectHandle, 69, object.handle)))
        return;
    bool ownerPlaced = false;
    for (const auto& property : object.properties) {
        if (!ownerPlaced && property.id > objscope::kPropOwnerHandle) {
            ownerPlaced = true;
            if (!visit(owner))
                return;
        }
        if (!visit(property))
            return;
    }
    if (!ownerPlaced)
        visit(owner);
}

std::vector<DeviceProperty> listedProperties(const DeviceObject& object) {
    std::vector<DeviceProperty> list;
    list.reserve(object.properties.size() + 3);
    forEachListedProperty(object, [&](const DeviceProperty& property) {
        list.push_back(property);
        return true;
    });
    return list;
}

std::optional<DeviceProperty> listedProperty(const DeviceObject& object, uint16_t id) {
    id &= objscope::kPropertyIdMask;
    switch (id) {
        case objscope::kPropClassId:
            return identityProperty(id, 68, object.classId);
        case objscope::kPropObjectHandle:
            return identityProperty(id, 69, object.handle);
        case objscope::kPropOwnerHandle:
            return identityProperty(id, 69, object.owner);
        default:
            break;
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
    size_t limit =
        options_.listingPageBytes ? options_.listingPageBytes : objscope::kMaxTarnReplyBytes;
    // Only the entries one page can carry, and one more to tell that more
    // follow.
    std::vector<objscope::PropertyListEntry> entries;
    size_t index = 0;
    size_t bytes = objscope::kListingEntriesOffset;
    forEachListedProperty(object, [&](const DeviceProperty& property) {
        if (index++ < *start)
            return true;
        entries.push_back({property.typeCode, objscope::encodeItem(property.id, property.value)});
        bytes += 1 + entries.back().item.size();
        return bytes <= limit && entries.size() <= objscope::kMaxListingEntries;
    });
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
