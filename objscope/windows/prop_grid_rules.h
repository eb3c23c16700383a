// The text rules of the property grid: the value text of each property kind,
// the property tag of a row label, the edit mask offered while a value is
// edited, the normalising of an edited text before it goes into its cell,
// and the parsing of a cell back into its property. No Qt here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "values/property_base.h"

namespace objscope {

// " [" + page + "p" + number + "]": page = bits 10..13, number = ID & 0x2FF.
std::string PropertyTag(uint16_t propertyId);

// The value text of the grid's column 1.
std::string GridValueText(const TVEKPropertyBase& property);

// What kind of editor a property gets.
enum class GridEditorKind { Boolean, Value };
GridEditorKind EditorKindFor(const TVEKPropertyBase& property);

// The edit mask for the value editor ("" = free entry): "!" or "!#", the
// digit positions, ";1; " for whole-unit values; dates "99/99/9999;1",
// times "99:99:99;1".
std::string EditMaskFor(const TVEKPropertyBase& property);

// The text the value editor starts with: numbers reduced to their number.
std::string EditorStartText(const TVEKPropertyBase& property, std::string_view cellText);

// The edited text as it goes into the cell (the property is not changed).
std::string NormaliseEditedText(const TVEKPropertyBase& property, std::string_view edited);

// Parses a cell into its property (the grid's "apply all" per row).
void ParseCellIntoProperty(TVEKPropertyBase& property, std::string_view cellText);

}  // namespace objscope
