// The property list of one page of a "get all properties" reply: one
// property per entry, of the class its type code names, called
// "P" + number + " " + type label.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "values/property_base.h"
#include "protocol/tarn_replies.h"

namespace objscope {

using OwnedPropertyList = std::vector<std::unique_ptr<TVEKPropertyBase>>;

// Appends one property per entry of `page` to `list`. Entries are numbered
// from `startIndex` on. A type code without a class gives a byte array
// labelled "(Unknown)" that keeps the item's bytes; Boolean items give raw
// Booleans when `rawBoolean` is set.
void AppendListedProperties(const ListingPage<PropertyEntry>& page, uint16_t startIndex,
                            bool rawBoolean, OwnedPropertyList& list);

}  // namespace objscope
