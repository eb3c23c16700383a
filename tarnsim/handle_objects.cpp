// Object requests and device commands: listings, confirm (create or
// replace), delete, delete all, soft reset, set default data, add object and
// class texts.
#include <algorithm>
#include <cmath>

#include "model/class_catalogue.h"
#include "protocol/tarn_device_properties.h"
#include "protocol/tarn_method_codec.h"
#include "protocol/tarn_reply_builders.h"
#include "protocol/tarn_reply_pages.h"
#include "protocol/tarn_request_decoders.h"
#include "protocol/tarn_requests.h"
#include "protocol/tarn_text_descriptions.h"
#include "property_values.h"
#include "simulated_device.h"

namespace tarnsim {

using objscope::DeviceVerdict;
using objscope::MessageRejection;
using objscope::TransportRejection;

namespace {

constexpr uint16_t kBlobClass = 11;
constexpr uint16_t kDefaultBlobEntrySize = 8;

// The verdict on a one-word device command that must carry `expected` (a
// guard against commands sent by mistake).
DeviceVerdict judgeCommandWord(std::span<const uint8_t> data, uint16_t expected) {
    auto word = objscope::decodeCommandWord(data);
    if (!word)
        return DeviceVerdict::reject(MessageRejection::MessageWrongSize);
    if (*word != expected)
        return DeviceVerdict::reject(MessageRejection::FieldInvalid);
    return DeviceVerdict::ok();
}

bool validNewHandle(uint16_t handle) {
    return handle != objscope::kDeviceObjectHandle && handle != kNoOwner;
}

bool validOwner(const DeviceContents& contents, uint16_t owner, uint16_t self) {
    return owner == kNoOwner || (owner != self && contents.find(owner) != nullptr);
}

// The type a confirm's unknown property gets from its item size alone.
uint8_t typeForSize(size_t size) {
    switch (size) {
        case 1:
            return 1;  // UByte
        case 2:
            return 2;  // UWord
        case 4:
            return 4;  // UDWord
        default:
            return 176;  // byte array
    }
}

std::string objectName(const DeviceObject& object) {
    const DeviceProperty* name = object.find(objscope::kPropObjectName);
    if (!name)
        return {};
    std::string text(name->value.begin(), name->value.end());
    if (text.size() > 255)
        text.resize(255);
    return text;
}

void setNumber(DeviceObject& object, uint16_t id, double value) {
    DeviceProperty* property = object.find(id);
    if (!property) {
        DeviceProperty added;
        added.id = id;
        added.typeCode = 2;  // UWord
        object.properties.push_back(added);
        property = &object.properties.back();
    }
    if (auto wire = wireBytesFor(property->typeCode, value))
        property->value = std::move(*wire);
}

// The text a device gives for a property: the device file's own, else the
// name of a property every object (or the device object) has.
std::string descriptionOf(const DeviceProperty& property, bool& readOnly) {
    readOnly = property.readOnly;
    if (!property.text.empty())
        return property.text;
    for (auto specs : {objscope::CommonDeviceProperties(), objscope::DeviceObjectProperties()}) {
        for (const auto& spec : specs) {
            if (spec.id == property.id) {
                readOnly = readOnly || spec.readOnly;
                return spec.name;
            }
        }
    }
    return {};
}

// The descriptions of a class's properties, in listing order, as the
// class's first object holds them. Properties without a text are left out.
std::vector<objscope::PropertyDescription> classDescriptions(const DeviceContents& contents,
                                                             uint16_t classId) {
    std::vector<objscope::PropertyDescription> descriptions;
    auto first = std::find_if(contents.objects.begin(), contents.objects.end(),
                              [&](const DeviceObject& o) { return o.classId == classId; });
    if (first == contents.objects.end())
        return descriptions;
    forEachListedProperty(*first, [&](const DeviceProperty& property) {
        objscope::PropertyDescription entry;
        entry.propertyId = property.id;
        entry.typeCode = property.typeCode;
        entry.text = descriptionOf(property, entry.readOnly);
        if (!entry.text.empty())
            descriptions.push_back(std::move(entry));
        return true;
    });
    return descriptions;
}

}  // namespace

SimulatedDevice::Reply SimulatedDevice::handleObjectListing(const Request& request,
                                                            bool withNames) {
    auto listing = objscope::decodeObjectListingRequest(request.data);
    if (!listing)
        return status(request, DeviceVerdict::reject(MessageRejection::MessageWrongSize));
    size_t limit =
        options_.listingPageBytes ? options_.listingPageBytes : objscope::kMaxTarnReplyBytes;
    // Devices list from object 0 (the device itself) on. Only the entries one
    // page can carry are collected, and one more to tell that more follow.
    std::vector<objscope::ObjectEntry> entries;
    entries.reserve(withNames ? 128 : objscope::kMaxListingEntries + 1);
    size_t index = 0;
    size_t bytes = objscope::kListingEntriesOffset;
    for (const auto& object : contents_.objects) {
        if (!withNames && listing->classFilter && !options_.ignoreClassFilter &&
            object.classId != *listing->classFilter)
            continue;
        if (index++ < listing->startIndex)
            continue;
        entries.push_back({object.handle, object.classId, withNames ? objectName(object) : ""});
        bytes += withNames ? 5 + entries.back().name.size() : 4;
        if (bytes > limit || entries.size() > objscope::kMaxListingEntries)
            break;
    }
    auto device = address(objscope::kDeviceObjectHandle, request.tarn.Dest_Net);
    auto page = withNames
                    ? objscope::buildObjectPlusListingPage(request.tarn, device, entries, limit)
                    : objscope::buildObjectListingPage(request.tarn, device, entries, limit);
    return page.data;
}

SimulatedDevice::Reply SimulatedDevice::handleClassListing(const Request& request) {
    std::vector<uint16_t> classes;
    for (const auto& object : contents_.objects) {
        if (classes.size() < objscope::kMaxListingEntries &&
            std::find(classes.begin(), classes.end(), object.classId) == classes.end())
            classes.push_back(object.classId);
    }
    auto reply = objscope::buildClassListingReply(
        request.tarn, address(objscope::kDeviceObjectHandle, request.tarn.Dest_Net), classes);
    return reply ? *reply
                 : status(request, DeviceVerdict::reject(MessageRejection::CouldNotComplete));
}

SimulatedDevice::Reply SimulatedDevice::handleConfirmObject(const Request& request) {
    auto confirm = objscope::decodeConfirmObjectRequest(request.data);
    if (!confirm || confirm->properties.cutShort())
        return status(request, DeviceVerdict::reject(MessageRejection::MessageWrongSize));
    // Object 0 is the device itself: a confirm sets its properties, never its
    // class or an owner.
    const bool deviceObject = confirm->objectHandle == objscope::kDeviceObjectHandle;
    if (deviceObject && (confirm->classId != contents_.objects.front().classId ||
                         confirm->ownerHandle != kNoOwner))
        return status(request, DeviceVerdict::reject(MessageRejection::FieldInvalid));
    if ((!deviceObject && !validNewHandle(confirm->objectHandle)) ||
        !validOwner(contents_, confirm->ownerHandle, confirm->objectHandle))
        return status(request, DeviceVerdict::reject(MessageRejection::FieldInvalid));

    DeviceObject* existing = contents_.find(confirm->objectHandle);
    const bool replacesClass = existing && existing->classId != confirm->classId;
    // Work on a copy so that a refused confirm changes nothing.
    DeviceObject object =
        existing && !replacesClass
            ? *existing
            : newObject(confirm->classId, confirm->objectHandle, confirm->ownerHandle);
    object.owner = confirm->ownerHandle;
    std::vector<uint16_t> changed;
    bool keptReadOnly = false;
    for (const auto& item : confirm->properties.items) {
        uint16_t id = item.propertyId();
        if (objscope::IsIdentityProperty(id))
            continue;  // class, handle and owner come from the confirm itself
        DeviceProperty* property = object.find(id);
        if (!property) {
            DeviceProperty added;
            added.id = id;
            added.typeCode = typeForSize(item.wireSize());
            object.properties.push_back(added);
            property = &object.properties.back();
        }
        if (property->readOnly) {
            keptReadOnly = true;  // live readings are the device's, not the file's
            continue;
        }
        DeviceVerdict verdict = judgeWrite(*property, item.value);
        if (!verdict.isOk())
            return status(request, verdict);
        if (!std::equal(property->value.begin(), property->value.end(), item.value.begin(),
                        item.value.end())) {
            property->value.assign(item.value.begin(), item.value.end());
            changed.push_back(id);
        }
    }
    if (existing && !replacesClass) {
        *existing = std::move(object);
        for (uint16_t id : changed)
            notifyChange(*existing, *existing->find(id));
    } else if (existing) {
        forgetObjects({confirm->objectHandle});
        contents_.objects.push_back(std::move(object));
    } else {
        contents_.objects.push_back(std::move(object));
    }
    // Stored, but read-only values were left as they are: a warning the
    // requester accepts ("Not Allowed/Read-Only" on a confirm).
    return status(request, keptReadOnly
                               ? DeviceVerdict::reject(MessageRejection::NotAllowedReadOnly)
                               : DeviceVerdict::ok());
}

SimulatedDevice::Reply SimulatedDevice::handleDelete(const Request& request) {
    auto handle = objscope::decodeCommandWord(request.data);
    if (!handle)
        return status(request, DeviceVerdict::reject(MessageRejection::MessageWrongSize));
    if (*handle == objscope::kDeviceObjectHandle)
        return status(request, DeviceVerdict::reject(MessageRejection::NotAllowedReadOnly));
    if (!contents_.find(*handle))
        return status(request, DeviceVerdict::reject(TransportRejection::ObjectInvalid));
    // Owned objects go with their owner.
    forgetObjects(contents_.ownedTree(*handle));
    return status(request, DeviceVerdict::ok());
}

SimulatedDevice::Reply SimulatedDevice::handleDeleteAll(const Request& request) {
    if (DeviceVerdict verdict = judgeCommandWord(request.data, objscope::kDeleteAllObjsCode);
        !verdict.isOk())
        return status(request, verdict);
    std::set<uint16_t> all;
    for (const auto& object : contents_.objects) {
        if (object.handle != objscope::kDeviceObjectHandle)
            all.insert(object.handle);
    }
    forgetObjects(all);
    return status(request, DeviceVerdict::ok());
}

SimulatedDevice::Reply SimulatedDevice::handleSoftReset(const Request& request) {
    if (DeviceVerdict verdict = judgeCommandWord(request.data, objscope::kResetKey);
        !verdict.isOk())
        return status(request, verdict);
    Reply reply = status(request, DeviceVerdict::ok());
    // The boot flag "default objects" makes the restart ignore what was made
    // permanent; a restart forgets every registration.
    bool toDefaults = false;
    if (const DeviceProperty* flags = contents_.objects.front().find(objscope::kPropBootFlags))
        toDefaults = !flags->value.empty() && (flags->value[0] & objscope::kBootFlagDefaultObjects);
    contents_ = toDefaults ? defaults_ : saved_;
    registrations_.clear();
    return reply;
}

SimulatedDevice::Reply SimulatedDevice::handleSetDefaultData(const Request& request) {
    if (DeviceVerdict verdict = judgeCommandWord(request.data, objscope::kResetKey);
        !verdict.isOk())
        return status(request, verdict);
    saved_ = contents_;
    return status(request, DeviceVerdict::ok());
}

SimulatedDevice::Reply SimulatedDevice::handleAddObject(const Request& request) {
    auto add = objscope::decodeAddObjectRequest(request.payload);
    if (!add)
        return status(request, DeviceVerdict::reject(MessageRejection::MessageWrongSize));
    if (!validNewHandle(add->objectId) || contents_.find(add->objectId) ||
        !validOwner(contents_, add->ownerId, add->objectId) || contents_.objects.size() >= 65535)
        return status(request, DeviceVerdict::reject(MessageRejection::CouldNotCreateObject));
    DeviceObject object = newObject(add->classId, add->objectId, add->ownerId);
    if (add->classId == kBlobClass) {
        const DeviceProperty* size = object.find(3073);
        auto entrySize = size ? engineeringValue(size->typeCode, size->value) : std::nullopt;
        double bytesPerEntry = entrySize && *entrySize >= 1
                                   ? std::min(std::floor(*entrySize), 65535.0)
                                   : kDefaultBlobEntrySize;
        setNumber(object, 3072, add->maxBlobEntries);
        setNumber(object, 3073, bytesPerEntry);
        size_t blockSize = std::min<size_t>(
            static_cast<size_t>(add->maxBlobEntries) * static_cast<size_t>(bytesPerEntry),
            kMaxDataBlockSize);
        object.dataBlock.emplace(blockSize, 0);
    }
    contents_.objects.push_back(std::move(object));
    return status(request, DeviceVerdict::ok());
}

SimulatedDevice::Reply SimulatedDevice::handleClassText(const Request& request) {
    auto ask = objscope::decodeClassTextRequest(request.payload);
    if (!ask)
        return status(request, DeviceVerdict::reject(MessageRejection::MessageWrongSize));
    // The offset counts descriptions; one past the last gives an empty page,
    // which ends the requester's loop.
    auto descriptions = classDescriptions(contents_, ask->classId);
    std::span<const objscope::PropertyDescription> rest(descriptions);
    rest = rest.subspan(std::min<size_t>(ask->offset, rest.size()));
    auto page = objscope::encodeTextDescriptions(ask->classId, rest, kMethodPayloadRoom);
    return payloadReply(request, page.bytes, page.entriesWritten < rest.size());
}

}  // namespace tarnsim
