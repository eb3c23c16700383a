#include "core/tarn_device_properties.h"

namespace objscope {
namespace {

constexpr DevicePropertySpec kCommon[] = {
    {kPropClassId, 68, "Class ID", true},          {kPropObjectHandle, 69, "Object Handle", true},
    {kPropObjectName, 14, "Object Name", false},   {kPropEnableState, 13, "Enable State", false},
    {kPropOwnerHandle, 69, "Owner Handle", false}, {kPropUserData, 14, "User Data", false},
    {kPropTagField, 1, "Tag Field", false},
};

constexpr DevicePropertySpec kDeviceObject[] = {
    {kPropDownloadFlag, 1, "Download Flag", false},
    {kPropBootFlags, 1, "Boot Flags", false},
};

}  // namespace

std::span<const DevicePropertySpec> CommonDeviceProperties() {
    return kCommon;
}

std::span<const DevicePropertySpec> DeviceObjectProperties() {
    return kDeviceObject;
}

}  // namespace objscope
