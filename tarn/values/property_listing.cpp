#include "values/property_listing.h"

#include <string>

#include "values/property_arrays.h"
#include "values/property_factory.h"

namespace objscope {
namespace {

constexpr char kUnknownTypeLabel[] = "(Unknown)";

std::unique_ptr<TVEKPropertyBase> CreateListedProperty(const PropertyEntry& entry, uint32_t number,
                                                       bool rawBoolean) {
    std::string label = PropertyTypeLabel(entry.typeCode, rawBoolean);
    auto property = CreatePropertyForType(entry.typeCode, rawBoolean);
    if (property) {
        property->UnPackValue(entry.item.value);
    } else {
        // Kept as its bytes, so nothing of an unknown value is lost.
        auto bytes = std::make_unique<TU32VEKByteArray>();
        bytes->SetBytes({entry.item.value.begin(), entry.item.value.end()});
        property = std::move(bytes);
        label = kUnknownTypeLabel;
    }
    std::string name = "P";
    name += std::to_string(number);
    name += ' ';
    name += label;
    property->SetName(name);
    property->SetPropertyID(entry.item.propertyId());
    property->SetModified(false);
    return property;
}

}  // namespace

void AppendListedProperties(const ListingPage<PropertyEntry>& page, uint16_t startIndex,
                            bool rawBoolean, OwnedPropertyList& list) {
    uint32_t number = startIndex;
    for (const auto& entry : page.entries)
        list.push_back(CreateListedProperty(entry, number++, rawBoolean));
}

}  // namespace objscope
