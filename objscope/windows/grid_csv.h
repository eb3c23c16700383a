// The CSV export of the property grid: one line per row, both cells in
// double quotes, separated by a comma, lines ended by CR LF.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace objscope {

using GridRowTexts = std::vector<std::pair<std::string, std::string>>;

// The whole file's bytes.
std::string GridCsvText(const GridRowTexts& rows);

// Writes the file through a temporary file in the same folder that is
// renamed over the target, so a failure leaves no partial file. Empty on
// success, else the reason.
std::string WriteGridCsv(const std::string& path, const GridRowTexts& rows);

}  // namespace objscope
