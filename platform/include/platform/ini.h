// Private-profile (INI) files with the semantics applications of this system
// rely on: section and key names match without regard to case, the first
// match wins, integers are read from the leading digits, and writing a key
// keeps the rest of the file, its comments and its order.
//
// A file name without a '/' names a file in the config directory (dirs.h);
// a name with a '/' is used as it stands.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plat::ini {

// Full path for an INI file name as described above.
std::string resolvePath(const std::string& fileName);

// The value of `key` in `section`, or `def` when the file, the section or the
// key is missing. Surrounding blanks are trimmed; one pair of enclosing
// double quotes is removed.
std::string getString(const std::string& section, const std::string& key, const std::string& def,
                      const std::string& fileName);

// The value read as an integer: an optional '-', then the leading decimal
// digits ("123abc" gives 123); text without leading digits gives 0; a missing
// key gives `def`.
int32_t getInt(const std::string& section, const std::string& key, int32_t def,
               const std::string& fileName);

// Writes `key=value` into `section`, creating the file and the section as
// needed; an existing key is replaced in place. Returns false when the file
// cannot be written. The file is replaced atomically (write and rename).
bool writeString(const std::string& section, const std::string& key, const std::string& value,
                 const std::string& fileName);

// Removes one key (true also when it was not there).
bool deleteKey(const std::string& section, const std::string& key, const std::string& fileName);

// Removes a whole section with its keys.
bool eraseSection(const std::string& section, const std::string& fileName);

// The key names of a section in file order (empty when there is none).
std::vector<std::string> keys(const std::string& section, const std::string& fileName);

// The section names in file order.
std::vector<std::string> sections(const std::string& fileName);

}  // namespace plat::ini
