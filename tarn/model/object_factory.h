// Creates objects by class name. The base classes of the object model are
// built in; the specialised audio classes register their factories when
// their units start (RegisterObjectClass). Until a class is registered its
// objects are built as the nearest base class, carrying the device's class
// ID, so that they can be listed, edited property by property and
// downloaded.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "model/object_root.h"

namespace objscope {

using ObjectFactory = std::function<std::unique_ptr<TVEKroot>()>;
// A factory that sees the class ID asked for: one class name of the
// catalogue may stand for several IDs whose objects differ.
using ClassIdObjectFactory = std::function<std::unique_ptr<TVEKroot>(uint16_t classId)>;

// Registers (or replaces) the factory of a class name.
void RegisterObjectClass(std::string className, ObjectFactory factory);
void RegisterObjectClass(std::string className, ClassIdObjectFactory factory);
// Removes a registration (the built-in or fallback class applies again).
void UnregisterObjectClass(std::string_view className);

// A new object of the class: the registered factory or the fallback base of
// a known specialised class (whose class ID is then set to `classId`), or a
// built-in base class (keeping its own ID). Nothing for unknown class names.
std::unique_ptr<TVEKroot> CreateObjectOfClass(std::string_view className, uint16_t classId);

}  // namespace objscope
