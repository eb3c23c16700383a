// Writing object set lines: the value text of each kind of property, an
// object line from the properties a device listed, a BLOB line.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "values/property_base.h"

namespace objscope {

// The value as an object set file carries it: numbers in engineering units
// (up to 15 significant digits), texts in double quotes, handles as "$" and
// four hex digits, a quad word as "$" and at least four hex digits of its
// whole value, an object address as three such words joined by ":", lists,
// byte arrays and bit sets in brackets; nothing for another kind.
std::string PropertyValueText(const TVEKPropertyBase& property);

// "(type,property,value)"
std::string PropertyGroupText(const TVEKPropertyBase& property);

// The object line (without its line end) for the properties a device listed
// for the object: the owner property (7) gives field 3 (65535 without one),
// the properties an object line leaves out are dropped.
std::string ObjectLineFor(uint16_t classId, uint16_t objectId, uint16_t maxBlobEntries,
                          std::span<const TVEKPropertyBase* const> listed);

// "object,start,count,(b,b,...)"; with no bytes it ends with ",(".
std::string BlobLine(uint16_t objectId, uint16_t start, std::span<const uint8_t> bytes);

}  // namespace objscope
