// Operations on the property list of an object: links to single properties,
// collecting properties for a download, and taking over values read from a
// device.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "model/object_root.h"
#include "values/property_link.h"

namespace objscope {

// A link to the object's property `id` (bits 0..13) at the object's address;
// nothing when the object has no such property.
std::optional<TTarn_Property_Link> GetPropertyLink(const TVEKroot& object, uint16_t id);

// Appends the object's listed properties (all, or only the modified ones).
void CollectProperties(const TVEKroot& object, PropertyList& list, bool onlyModified);

enum class AssignResult { Done, RangeError };

// Takes over the values of `source` (e.g. read from a device): the owner
// handle by its ID, every other value into the own property of the same ID,
// converting between the numeric classes. A number outside 0..65535 for a
// 16-bit handle is a range error that stops the assignment there.
AssignResult AssignProperties(TVEKroot& object,
                              const std::vector<std::unique_ptr<TVEKPropertyBase>>& source);

}  // namespace objscope
