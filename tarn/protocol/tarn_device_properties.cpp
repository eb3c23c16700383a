#include "protocol/tarn_device_properties.h"

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

constexpr uint16_t kBlobBearing[] = {11,  133, 198, 199, 308, 309, 229, 230, 231, 232, 233,
                                     234, 235, 241, 252, 253, 251, 191, 192, 193, 194, 195,
                                     196, 197, 268, 269, 270, 271, 272, 254, 255};

}  // namespace

std::span<const uint16_t> BlobBearingClasses() {
    return kBlobBearing;
}

bool IsBlobBearingClass(uint16_t classId) {
    for (uint16_t id : kBlobBearing) {
        if (id == classId)
            return true;
    }
    return false;
}

std::span<const DevicePropertySpec> CommonDeviceProperties() {
    return kCommon;
}

std::span<const DevicePropertySpec> DeviceObjectProperties() {
    return kDeviceObject;
}

}  // namespace objscope
