// TVEKRootPlus: the work object of the property list window. It carries the
// class ID, name and address of a listed object and takes the property list
// read from the device as its own list, replacing its built-in properties so
// that no row appears twice.
#pragma once

#include <memory>
#include <vector>

#include "model/object_root.h"

namespace objscope {

class TVEKRootPlus : public TVEKroot {
  public:
    std::string ClassName() const override { return "TVEKRootPlus"; }

    // Takes over `properties` as the listed properties (the previous list
    // is freed). The owner handle follows property 7 when the list has it.
    void SetPropertyList(std::vector<std::unique_ptr<TVEKPropertyBase>> properties);

    // Copies class ID, object name and the three address handles of a
    // listed record.
    void TakeIdentity(const TVEKroot& listed);
};

}  // namespace objscope
