#include "device_model.h"

#include <algorithm>

#include "model/class_catalogue.h"
#include "protocol/tarn_device_properties.h"
#include "property_values.h"

namespace tarnsim {
namespace {

// Adds the common properties an object lacks, in their listing order, in
// front of its own ones.
void completeCommonProperties(DeviceObject& object) {
    std::vector<DeviceProperty> common;
    for (const auto& spec : objscope::CommonDeviceProperties()) {
        if (objscope::IsIdentityProperty(spec.id))
            continue;
        if (const DeviceProperty* existing = object.find(spec.id)) {
            common.push_back(*existing);
            continue;
        }
        DeviceProperty property;
        property.id = spec.id;
        property.typeCode = spec.typeCode;
        if (spec.id == objscope::kPropObjectName) {
            std::string name = objscope::LookupClass(object.classId).displayName;
            property.value.assign(name.begin(), name.end());
        } else if (spec.id == objscope::kPropEnableState) {
            property.value = {1};
        } else if (fixedWireSize(spec.typeCode) != 0) {
            property.value.assign(fixedWireSize(spec.typeCode), 0);
        }
        common.push_back(property);
    }
    for (auto& property : object.properties) {
        bool isCommon = std::any_of(common.begin(), common.end(),
                                    [&](const DeviceProperty& c) { return c.id == property.id; });
        if (!isCommon)
            common.push_back(std::move(property));
    }
    object.properties = std::move(common);
}

// A size property's value, kept to 0..65535 (sizes of a data block).
size_t sizeProperty(const DeviceObject& object, uint16_t id) {
    const DeviceProperty* property = object.find(id);
    if (!property)
        return 0;
    auto value = engineeringValue(property->typeCode, property->value);
    return value ? static_cast<size_t>(std::clamp(*value, 0.0, 65535.0)) : 0;
}

// Gives every class with methods the state those methods work on.
void completeMethodState(DeviceObject& object) {
    if (hasDataBlockMethods(object.classId) && !object.dataBlock) {
        size_t size = isLinkedListClass(object.classId)
                          ? sizeProperty(object, 3072)
                          : sizeProperty(object, 3072) * sizeProperty(object, 3073);
        object.dataBlock.emplace(std::min<size_t>(size, kMaxDataBlockSize), 0);
    }
    if (isMatrixClass(object.classId) && !object.matrix) {
        MatrixState matrix;
        matrix.inputs = matrix.outputs = 2;
        matrix.connected = {{1, 1}, {2, 2}};
        object.matrix = matrix;
    }
    if (object.classId == kClassTestManager && !object.tests)
        object.tests = makeSampleTests(3, 6, 8);
}

}  // namespace

void completeObject(DeviceObject& object) {
    completeCommonProperties(object);
    completeMethodState(object);
}

double DeviceProperty::lowerLimit() const {
    return min.value_or(typeLowerLimit(typeCode));
}

double DeviceProperty::upperLimit() const {
    return max.value_or(typeUpperLimit(typeCode));
}

DeviceProperty* DeviceObject::find(uint16_t id) {
    auto it = std::find_if(properties.begin(), properties.end(),
                           [id](const DeviceProperty& p) { return p.id == (id & 0x3FFF); });
    return it == properties.end() ? nullptr : &*it;
}

const DeviceProperty* DeviceObject::find(uint16_t id) const {
    return const_cast<DeviceObject*>(this)->find(id);
}

DeviceObject* DeviceContents::find(uint16_t handle) {
    auto it = std::find_if(objects.begin(), objects.end(),
                           [handle](const DeviceObject& o) { return o.handle == handle; });
    return it == objects.end() ? nullptr : &*it;
}

const DeviceObject* DeviceContents::find(uint16_t handle) const {
    return const_cast<DeviceContents*>(this)->find(handle);
}

std::set<uint16_t> DeviceContents::ownedTree(uint16_t handle) const {
    std::set<uint16_t> tree{handle};
    bool grew = true;
    while (grew) {
        grew = false;
        for (const auto& object : objects) {
            if (object.owner != kNoOwner && tree.count(object.owner) != 0 &&
                tree.insert(object.handle).second)
                grew = true;
        }
    }
    return tree;
}

bool hasDataBlockMethods(uint16_t classId) {
    return objscope::IsBlobBearingClass(classId);
}

bool isLinkedListClass(uint16_t classId) {
    return classId == 254 || classId == 255;
}

bool isMatrixClass(uint16_t classId) {
    return classId == kClassMatrixRouter || classId == kClassMatrixCombiner;
}

DeviceObject makeDeviceObject(uint16_t classId) {
    DeviceObject device;
    device.handle = objscope::kDeviceObjectHandle;
    device.classId = classId;
    for (const auto& spec : objscope::DeviceObjectProperties()) {
        DeviceProperty property;
        property.id = spec.id;
        property.typeCode = spec.typeCode;
        property.value.assign(fixedWireSize(spec.typeCode), 0);
        device.properties.push_back(property);
    }
    return device;
}

TestManagerState makeSampleTests(uint16_t runs, uint16_t resultsPerRun, uint16_t eobRecords) {
    TestManagerState state;
    for (uint16_t r = 0; r < runs; ++r) {
        TestRun run;
        run.record.serial = state.nextSerial++;
        run.record.sequence = static_cast<uint16_t>(1 + r % 8);
        run.record.modeFlags = 0x10;
        run.record.dateTime = objscope::packDateTime(2026, 1 + r % 12, 1 + r % 28, 8 + r % 10,
                                                     (r * 7) % 60, (r * 13) % 60);
        for (uint16_t k = 0; k < resultsPerRun; ++k) {
            objscope::TestResultRecord result;
            result.elapsed = static_cast<uint16_t>(16 * (k + 1));
            result.pointId = static_cast<uint16_t>(k + 1);
            result.settingCode = 1;
            result.setLevel = static_cast<int16_t>(-448);
            result.testLevel = static_cast<int16_t>(-448 - (k % 3));
            result.resultBits = (k % 5 == 4) ? 0x01 : 0x00;
            run.results.push_back(result);
        }
        run.record.failCount = static_cast<uint16_t>(resultsPerRun / 5);
        run.record.passCount = static_cast<uint16_t>(resultsPerRun - run.record.failCount);
        state.runs.push_back(std::move(run));
    }
    for (uint16_t e = 0; e < eobRecords; ++e) {
        objscope::EobResultRecord record;
        record.channel = static_cast<uint8_t>(1 + e % 4);
        record.branch = static_cast<uint8_t>(1 + e / 4);
        record.setValue = -448;
        record.lastReading = static_cast<int16_t>(-448 + (e % 3) - 1);
        record.lastResult = e % 7 == 6 ? 1 : 0;
        record.filteredResult = record.lastResult;
        record.faultCount = static_cast<uint16_t>(e % 7 == 6 ? 2 : 0);
        record.successiveFaults = record.faultCount;
        state.eobResults.push_back(record);
    }
    return state;
}

}  // namespace tarnsim
