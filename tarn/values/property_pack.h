// PackData / UnPackData: a property value as a property item (header with ID
// and size code, optional length byte, value bytes) and back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "values/property_base.h"

namespace objscope {

// Appends the property's item to `out` and returns the item length. Returns
// 0 and appends nothing when the type code has no wire form (after showing
// ">>> PackData:  Unknown Property_Type >>>" + code) or when the value is
// too long for an item's length byte (after showing
// ">>> PackData:  Value Too Long For An Item >>>" + its length), so a
// download that leaves the item out says why.
size_t PackData(std::vector<uint8_t>& out, const TVEKPropertyBase& property);

// Decodes the item at the start of `item` into `property` and returns the
// item length (header + wire size), so that the caller can go on with the
// next item. An unknown type code shows
// ">>> UnPackData:  Unknown Property_Type >>>" + code and leaves the
// property unchanged. Returns 0 when the item is cut off: its header or its
// value runs past the end of `item`; nothing is decoded then.
size_t UnPackData(std::span<const uint8_t> item, TVEKPropertyBase& property);

}  // namespace objscope
