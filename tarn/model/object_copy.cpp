#include "model/object_copy.h"

#include "model/object_factory.h"
#include "model/object_root_plus.h"

namespace objscope {
namespace {

std::unique_ptr<TVEKroot> CreateSameClass(const TVEKroot& source) {
    if (dynamic_cast<const TVEKRootPlus*>(&source))
        return std::make_unique<TVEKRootPlus>();
    return CreateObjectOfClass(source.ClassName(), source.ClassID());
}

// Every listed property of `source` into the copy's property of the same ID;
// a TVEKRootPlus copy takes clones of the whole list instead.
void CopyProperties(const TVEKroot& source, TVEKroot& copy) {
    if (auto* plus = dynamic_cast<TVEKRootPlus*>(&copy)) {
        std::vector<std::unique_ptr<TVEKPropertyBase>> clones;
        for (const auto& property : source.Properties()) {
            clones.push_back(property->Clone());
            clones.back()->SetModified(property->Modified());
        }
        plus->SetPropertyList(std::move(clones));
        return;
    }
    for (const auto& property : source.Properties()) {
        if (TVEKPropertyBase* target = copy.FindProperty(property->PropertyID())) {
            target->Assign(*property);
            target->SetModified(property->Modified());
        }
    }
}

}  // namespace

TVEKroot* FindOwnerObject(const ObjectList& roots, const TVEKroot* object) {
    for (TVEKroot* root : roots) {
        ObjectList owned = root->OwnedObjectList();
        for (TVEKroot* child : owned) {
            if (child == object)
                return root;
        }
        if (TVEKroot* owner = FindOwnerObject(owned, object))
            return owner;
    }
    return nullptr;
}

std::unique_ptr<TVEKroot> CopyObject(const TVEKroot& source) {
    auto copy = CreateSameClass(source);
    if (!copy)
        return nullptr;
    // The placement goes first: it rewrites part of the User Data text, which
    // the property copy then sets to the source's text.
    copy->SetPlacement(source.GetPlacement());
    copy->SetClassID(source.ClassID());
    copy->SetAddress(source.NetHandle(), source.DevHandle(), source.ObjHandle());
    copy->SetOwnerHandle(source.OwnerHandle());
    copy->SetObjectName(source.ObjectName());
    CopyProperties(source, *copy);
    // A new object of a complex class comes with default owned objects; the
    // copy holds the source's and nothing else.
    const ObjectList sourceOwned = source.OwnedObjectList();
    if (!sourceOwned.empty())
        copy->ClearOwnedObjects();
    for (TVEKroot* owned : sourceOwned) {
        if (auto ownedCopy = CopyObject(*owned))
            copy->AddOwnedObject(std::move(ownedCopy));
    }
    return copy;
}

}  // namespace objscope
