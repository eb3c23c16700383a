#include "model/object_build.h"

#include "model/class_catalogue.h"
#include "model/object_factory.h"
#include "model/object_properties.h"
#include "protocol/property_id.h"
#include "values/property_string_value.h"

namespace objscope {
namespace {

constexpr uint16_t kUserDataIndex = 8;

const std::string* ListedUserData(const TListedObject& listed) {
    for (const auto& property : listed.properties) {
        if (!property || !SamePropertyID(property->PropertyID(), kUserDataIndex))
            continue;
        if (auto* text = dynamic_cast<const TU32StringValue*>(property.get()))
            return &text->Data();
    }
    return nullptr;
}

std::unique_ptr<TVEKroot> BuildOne(uint16_t net, uint16_t dev, const TListedObject& listed) {
    const char* className = ChooseObjectClass(listed);
    if (!className)
        return nullptr;
    auto object = CreateObjectOfClass(className, listed.classId);
    if (!object)
        return nullptr;
    // A class serves several class IDs (71 and 67 are both meters): the
    // object carries the ID the device listed, not its constructor's, so a
    // download sends that ID back.
    object->SetClassID(listed.classId);
    object->SetAddress(net, dev, listed.objHandle);
    if (AssignProperties(*object, listed.properties) != AssignResult::Done)
        return nullptr;
    return object;
}

// The nearest earlier built object with the given object handle.
TVEKroot* FindOwner(const std::vector<TVEKroot*>& built, size_t before, uint16_t handle) {
    for (size_t i = before; i-- > 0;) {
        if (built[i]->ObjHandle() == handle)
            return built[i];
    }
    return nullptr;
}

}  // namespace

const char* ChooseObjectClass(const TListedObject& listed) {
    const char* className = LookupClass(listed.classId).className;
    const std::string* userData = ListedUserData(listed);
    if (userData && !userData->empty()) {
        if (const char* variant = LookupVariant(*userData))
            className = variant;
    }
    return className;
}

std::vector<std::unique_ptr<TVEKroot>> BuildObjects(uint16_t net, uint16_t dev,
                                                    const std::vector<TListedObject>& listing) {
    std::vector<std::unique_ptr<TVEKroot>> built;
    for (const auto& listed : listing) {
        if (auto object = BuildOne(net, dev, listed))
            built.push_back(std::move(object));
    }
    std::vector<TVEKroot*> order;
    for (auto& object : built) {
        object->ClearOwnedObjects();
        order.push_back(object.get());
    }
    std::vector<std::unique_ptr<TVEKroot>> topLevel;
    for (size_t i = 0; i < built.size(); ++i) {
        std::unique_ptr<TVEKroot> object = std::move(built[i]);
        uint16_t ownerHandle = object->OwnerHandle();
        TVEKroot* owner = ownerHandle == kNoHandle ? nullptr : FindOwner(order, i, ownerHandle);
        if (owner)
            object = owner->AddOwnedObject(std::move(object));
        if (object)
            topLevel.push_back(std::move(object));
    }
    return topLevel;
}

}  // namespace objscope
