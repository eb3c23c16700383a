// Comma text: the list format of the settings file's device mappings. Items
// are separated by commas or blanks; an item in double quotes may hold both,
// and a doubled quote inside it stands for one quote; blanks around items are
// skipped; an empty item between two commas, or after a last comma, counts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace objscope {

std::vector<std::string> splitCommaText(std::string_view text);

}  // namespace objscope
