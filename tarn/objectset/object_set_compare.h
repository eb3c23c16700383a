// What writing one object set into a device that holds another would
// change: objects only in one of them, and per object the header fields,
// properties and data blocks that differ. Values are compared as the device
// would be sent them (encoded), and shown as the files write them.
#pragma once

#include <string>
#include <vector>

#include "objectset/object_set_file.h"

namespace objscope {

struct ObjectSetDifferences {
    std::vector<std::string> lines;  // one per difference
    size_t count = 0;
    bool Equal() const { return count == 0; }
    // "3 differences", "1 difference" or "No differences".
    std::string TotalLine() const;
};

ObjectSetDifferences CompareObjectSets(const ObjectSetFile& file, const ObjectSetFile& device);

}  // namespace objscope
