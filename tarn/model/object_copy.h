// Navigation in an object tree (owners and owned objects) and copies of
// objects, so that a window that stays open works on its own copy and never
// writes one object's data into another.
#pragma once

#include <memory>
#include <vector>

#include "model/object_root.h"

namespace objscope {

// The object in the trees below `roots` that directly owns `object`;
// nullptr for a root or an object that is not in the trees.
TVEKroot* FindOwnerObject(const ObjectList& roots, const TVEKroot* object);

// A new object of the same class with the same identity (class ID, address,
// owner handle, name), the same property values and copies of its owned
// objects. Nothing when the class cannot be created here.
std::unique_ptr<TVEKroot> CopyObject(const TVEKroot& source);

}  // namespace objscope
