// Builds the object tree of a device from its object listing: picks each
// object's class from the catalogue (or its variant letter), creates it,
// takes over the properties read from the device, and hands every object to
// its owner.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/object_root.h"

namespace objscope {

struct TListedObject {
    uint16_t objHandle = 0;
    uint16_t classId = 0;
    // All properties of the object as read from the device.
    std::vector<std::unique_ptr<TVEKPropertyBase>> properties;
};

// The class name for a listed object: the catalogue's class, overridden by
// the variant letter of a non-empty User Data text (property 8) when that
// names a class; nullptr when the object is not built.
const char* ChooseObjectClass(const TListedObject& listed);

// Builds the objects of one device and returns the top-level ones in listing
// order; owned objects live inside their owners. An object whose owner
// cannot keep it, or whose owner is not an earlier built object, stays top
// level. Objects without a class, and objects whose properties do not fit
// their class (a range error), are not built.
std::vector<std::unique_ptr<TVEKroot>> BuildObjects(uint16_t net, uint16_t dev,
                                                    const std::vector<TListedObject>& listing);

}  // namespace objscope
