// The object-class catalogue: device class ID -> display name and the class
// that represents such objects here (or none), and the variant letters that
// pick a specialised class from the first character of an object's User Data.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace objscope {

struct TClassCatalogueRow {
    int32_t classId;
    const char* displayName;
    const char* className;  // nullptr: objects of this class are not built
};

// All rows in their fixed order; the first is the "<unknown>" fallback (ID -1).
std::span<const TClassCatalogueRow> ClassCatalogue();

// The first row with this class ID, else the "<unknown>" row.
const TClassCatalogueRow& LookupClass(int32_t classId);

// The class named by the first character of `text` (case-sensitive), or
// nullptr.
const char* LookupVariant(std::string_view text);

}  // namespace objscope
