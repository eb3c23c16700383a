// TINI: reads one settings file (in this program, "Tarncom.ini" in the
// current directory) through the private-profile functions.
#pragma once

#include <string>
#include <vector>

#include "settings/vek_list.h"

namespace objscope {

using StringList = std::vector<std::string>;

class TINI {
  public:
    // Trims the name and makes it a full path against the current directory.
    // A non-empty name of a file that does not exist leaves the file name
    // empty, so every read then gives its default.
    void SetFileName(const std::string& name);
    const std::string& FileName() const { return fileName_; }

    // The value of a key, or `def` when there is no file, section or key.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) const;

    // One string list per key of `section` whose trimmed, upper-cased name
    // starts with the upper-cased `prefix`, in the section's key order. Each
    // list holds the trimmed key name, then the items of the key's value read
    // as comma text. Empty when there is no file name.
    TVEKList<StringList> ReadKeyLists(const std::string& section, const std::string& prefix) const;

  private:
    std::string fileName_;
};

}  // namespace objscope
