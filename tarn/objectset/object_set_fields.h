// The field grammar of object set lines. A text is split at commas; an
// opening group character ends the current field and starts a group whose
// text (without the group characters) is one field, commas and all; a double
// quote starts a quoted text, whose quotes are dropped. Fields are trimmed of
// blanks and empty ones are dropped, except the last field, which always
// stays as it is; quoted texts are never trimmed.
//
// A quoted text ends at a double quote followed (after blanks) by a comma,
// the group's closing character or the end, so commas, brackets and
// parentheses inside a text, and quotes that are not followed by one of
// those, come back unchanged.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace objscope {

std::vector<std::string> SplitFields(std::string_view text, char open, char close);

// A whole line: groups in parentheses; a last field that is empty is removed.
std::vector<std::string> SplitObjectSetLine(std::string_view line);

// The text of one property group: lists in brackets.
std::vector<std::string> SplitPropertyGroup(std::string_view group);

// A bracketed list's text split at commas, blanks trimmed, empty items
// dropped ("1, 2,,3" gives 1, 2 and 3).
std::vector<std::string_view> SplitListItems(std::string_view list);

}  // namespace objscope
