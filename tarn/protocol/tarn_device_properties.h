// The properties a Tarn device answers for every object, and those of the
// device itself (object 0). The first three (class ID, object handle, owner
// handle) mirror the object's identity: a device lists them with the others,
// so a requester rebuilding an object from its property list learns them.
#pragma once

#include <cstdint>
#include <span>

#include "protocol/property_id.h"

namespace objscope {

struct DevicePropertySpec {
    uint16_t id;       // bits 0..13
    uint8_t typeCode;  // value type code
    const char* name;
    bool readOnly;
};

constexpr uint16_t kPropClassId = 0;
constexpr uint16_t kPropObjectHandle = 1;
constexpr uint16_t kPropObjectName = 2;
constexpr uint16_t kPropEnableState = 6;
constexpr uint16_t kPropOwnerHandle = 7;
constexpr uint16_t kPropUserData = 8;
constexpr uint16_t kPropTagField = 11;

// Device object (handle 0).
constexpr uint16_t kDeviceObjectHandle = 0;
constexpr uint16_t kPropDownloadFlag = 2062;       // one byte: 1 while a download runs
constexpr uint16_t kPropBootFlags = 2068;          // one byte of boot flags
constexpr uint8_t kBootFlagDefaultObjects = 0x08;  // next reset reverts to default objects

// Every object's common properties, in listing order: class ID (0), object
// handle (1), object name (2), enable state (6), owner handle (7), user data
// (8), tag field (11).
std::span<const DevicePropertySpec> CommonDeviceProperties();

// The device object's own properties after the common ones: download flag
// (2062) and boot flags (2068).
std::span<const DevicePropertySpec> DeviceObjectProperties();

// Classes whose objects keep a data block (BLOB) read and written by methods
// 3072 and 3073: BLOB, the tables and the linked lists.
std::span<const uint16_t> BlobBearingClasses();
bool IsBlobBearingClass(uint16_t classId);

// True for the IDs that mirror an object's identity (0, 1, 7).
constexpr bool IsIdentityProperty(uint16_t id) {
    uint16_t wire = id & kPropertyIdWireMask;
    return wire == kPropClassId || wire == kPropObjectHandle || wire == kPropOwnerHandle;
}

}  // namespace objscope
