#include "object_set_device.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>

#include "device_file.h"
#include "objectset/object_set_file.h"
#include "objectset/object_set_format.h"
#include "objectset/object_set_writer.h"
#include "property_values.h"
#include "protocol/tarn_device_properties.h"
#include "simulated_device.h"
#include "values/property_factory.h"

namespace tarnsim {
namespace {

constexpr uint16_t kDeviceClass = 17;

// Class templates and the file's own values: the template's properties in
// their order, the file's values over them, the file's others after them.
DeviceObject objectFromRecord(const objscope::ObjectRecord& record) {
    DeviceObject object;
    if (const DeviceObject* model = classTemplate(record.classId)) {
        object.properties = model->properties;
    }
    object.handle = record.objectId;
    object.classId = record.classId;
    object.owner = record.ownerId;
    for (const auto& encoded : record.properties) {
        if (objscope::IsIdentityProperty(encoded.propertyId))
            continue;
        DeviceProperty* property = object.find(encoded.propertyId);
        if (!property) {
            object.properties.push_back({});
            property = &object.properties.back();
            property->id = encoded.propertyId;
        }
        property->typeCode = encoded.typeCode;
        property->value = encoded.value;
    }
    if (record.classId == objscope::kObjectSetBlobClass && record.maxBlobEntries != 0) {
        DeviceProperty* entries = object.find(objscope::kObjectSetMaxBlobProperty);
        if (entries) {
            if (auto wire = wireBytesFor(entries->typeCode, record.maxBlobEntries))
                entries->value = std::move(*wire);
        }
    }
    return object;
}

void addBlobData(DeviceContents& contents, const objscope::BlobRecord& blob) {
    DeviceObject* object = contents.find(blob.objectId);
    if (!object)
        throw DeviceFileError(blob.line, "object " + std::to_string(blob.objectId) +
                                             " of a BLOB line is not an object of this device");
    std::vector<uint8_t>& block =
        object->dataBlock ? *object->dataBlock : object->dataBlock.emplace();
    size_t end = blob.start + blob.bytes.size();
    if (end > kMaxDataBlockSize)
        throw DeviceFileError(blob.line, "the BLOB line passes the end of a data block");
    if (end > block.size())
        block.resize(end, 0);
    std::copy(blob.bytes.begin(), blob.bytes.end(), block.begin() + blob.start);
}

uint16_t maxBlobEntries(const DeviceObject& object) {
    if (object.classId != objscope::kObjectSetBlobClass)
        return 0;
    const DeviceProperty* entries = object.find(objscope::kObjectSetMaxBlobProperty);
    auto value = entries ? engineeringValue(entries->typeCode, entries->value) : std::nullopt;
    return value ? static_cast<uint16_t>(std::clamp(std::round(*value), 0.0, 65535.0)) : 0;
}

std::string objectLine(const DeviceObject& object) {
    std::vector<std::unique_ptr<objscope::TVEKPropertyBase>> owned;
    std::vector<const objscope::TVEKPropertyBase*> listed;
    forEachListedProperty(object, [&](const DeviceProperty& property) {
        auto value = objscope::CreateListedProperty(property.typeCode, true);
        value->UnPackValue(property.value);
        value->SetPropertyID(property.id);
        listed.push_back(value.get());
        owned.push_back(std::move(value));
        return true;
    });
    return objscope::ObjectLineFor(object.classId, object.handle, maxBlobEntries(object), listed);
}

void appendBlobLines(std::string& text, const DeviceObject& object) {
    static const std::vector<uint8_t> kEmpty;
    const std::vector<uint8_t>& block = object.dataBlock ? *object.dataBlock : kEmpty;
    size_t offset = 0;
    do {
        size_t count = std::min(kDataBlockChunk, block.size() - offset);
        text += objscope::BlobLine(object.handle, static_cast<uint16_t>(offset),
                                   std::span(block).subspan(offset, count));
        text += objscope::kObjectSetLineEnd;
        offset += count;
    } while (offset < block.size());
}

}  // namespace

const DeviceObject* classTemplate(uint16_t classId) {
    static const DeviceContents defaults = defaultDevice();
    for (const auto& object : defaults.objects) {
        if (object.classId == classId && object.handle != 0)
            return &object;
    }
    return nullptr;
}

DeviceContents parseObjectSetText(std::string_view text) {
    objscope::ObjectSetProblem problem;
    objscope::ObjectSetFile file = objscope::ReadObjectSet(text, problem);
    if (problem.line != 0)
        throw DeviceFileError(problem.line, problem.message);
    DeviceContents contents;
    for (const auto& record : file.objects) {
        if (!record.refusal.empty())
            throw DeviceFileError(record.line, record.refusal);
        if (contents.find(record.objectId))
            throw DeviceFileError(record.line,
                                  "object " + std::to_string(record.objectId) + " appears twice");
        if (record.objectId == 0) {
            DeviceObject device = makeDeviceObject(record.classId);
            DeviceObject values = objectFromRecord(record);
            for (const auto& property : values.properties) {
                if (DeviceProperty* kept = device.find(property.id))
                    *kept = property;
                else
                    device.properties.push_back(property);
            }
            device.owner = kNoOwner;
            contents.objects.insert(contents.objects.begin(), std::move(device));
            continue;
        }
        if (record.objectId == kNoOwner)
            throw DeviceFileError(record.line, "65535 cannot be an object's handle");
        contents.objects.push_back(objectFromRecord(record));
    }
    if (!contents.find(0))
        contents.objects.insert(contents.objects.begin(), makeDeviceObject(kDeviceClass));
    for (auto& object : contents.objects) {
        if (object.owner != kNoOwner && !contents.find(object.owner))
            throw DeviceFileError(0, "owner " + std::to_string(object.owner) + " of object " +
                                         std::to_string(object.handle) +
                                         " is not an object of this device");
    }
    for (const auto& blob : file.blobs)
        addBlobData(contents, blob);
    for (auto& object : contents.objects)
        completeObject(object);
    return contents;
}

DeviceContents loadObjectSetFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw DeviceFileError(0, "cannot be read", path);
    std::stringstream text;
    text << file.rdbuf();
    try {
        return parseObjectSetText(text.str());
    } catch (const DeviceFileError& error) {
        throw DeviceFileError(error.line(), error.message(), path);
    }
}

std::string formatObjectSetText(const DeviceContents& contents) {
    std::string text;
    for (const auto& object : contents.objects) {
        text += objectLine(object);
        text += objscope::kObjectSetLineEnd;
    }
    std::vector<const DeviceObject*> blobObjects;
    for (uint16_t classId : {objscope::kObjectSetBlobClass, objscope::kObjectSetLinkedListClass}) {
        for (const auto& object : contents.objects) {
            if (object.classId == classId)
                blobObjects.push_back(&object);
        }
    }
    if (blobObjects.empty())
        return text;
    text += objscope::kObjectSetMarkerLine;
    text += objscope::kObjectSetLineEnd;
    for (const DeviceObject* object : blobObjects)
        appendBlobLines(text, *object);
    return text;
}

void saveObjectSetFile(const DeviceContents& contents, const std::string& path) {
    writeFileReplacing(path, formatObjectSetText(contents));
}

bool isObjectSetPath(const std::string& path) {
    if (path.size() < 4)
        return false;
    std::string extension = path.substr(path.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".tob";
}

}  // namespace tarnsim
