// The property class that represents a device-reported type code, and the
// type label used in generated property names ("P" + number + " " + label).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "values/property_base.h"

namespace objscope {

// A new property for the type code, or nothing for a code without a class.
// Code 13 gives a TU32BooleanRaw when `rawBoolean` is set; codes 8, 10, 11,
// 12 and 141 give a plain TU32MultiValue of that code; 200 gives a
// TU32UDWord (type code 4).
std::unique_ptr<TVEKPropertyBase> CreatePropertyForType(uint8_t code, bool rawBoolean);

// The label of the type code, e.g. "(dB2)"; empty for codes without one.
std::string PropertyTypeLabel(uint8_t code, bool rawBoolean);

// A property for an entry of a device's property listing: the class of the
// type code; for a code without a class in the table a TU32VEKByteArray that
// carries the item's bytes unchanged. Never nothing.
std::unique_ptr<TVEKPropertyBase> CreateListedProperty(uint8_t code, bool rawBoolean);

// The label in the name of a listed property: PropertyTypeLabel, or
// "(Unknown)" for the codes CreateListedProperty gives a byte array.
std::string ListedPropertyTypeLabel(uint8_t code, bool rawBoolean);

}  // namespace objscope
