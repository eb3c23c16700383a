// Opens a file for appending, writes, and closes it again, so the file can be
// read, copied or deleted between writes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hub {

// Bytes written; 0 when the file cannot be opened (the text is lost). A
// symbolic link at `path` is never followed.
size_t appendToFile(const std::string& path, std::string_view text);

}  // namespace hub
