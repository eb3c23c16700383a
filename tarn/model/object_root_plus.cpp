#include "model/object_root_plus.h"

#include <optional>

#include "values/property_handle_value.h"
#include "values/property_multi_value.h"

namespace objscope {
namespace {

constexpr uint16_t kMaxHandle = 65535;

// The owner handle a property 7 of any numeric class carries.
std::optional<uint16_t> OwnerHandleOf(const TVEKPropertyBase& property) {
    if (auto* handle = dynamic_cast<const TU32UWord_int*>(&property))
        return handle->Data();
    if (auto* number = dynamic_cast<const TU32MultiValue*>(&property)) {
        double value = number->GetData();
        if (value >= 0 && value <= kMaxHandle)
            return static_cast<uint16_t>(value);
    }
    return std::nullopt;
}

}  // namespace

void TVEKRootPlus::SetPropertyList(std::vector<std::unique_ptr<TVEKPropertyBase>> properties) {
    ReplaceListedProperties(std::move(properties));
    if (TVEKPropertyBase* owner = FindProperty(kOwnerHandlePropertyID)) {
        if (auto handle = OwnerHandleOf(*owner))
            SetOwnerHandle(*handle);
    }
}

void TVEKRootPlus::TakeIdentity(const TVEKroot& listed) {
    SetClassID(listed.ClassID());
    SetObjectName(listed.ObjectName());
    SetAddress(listed.NetHandle(), listed.DevHandle(), listed.ObjHandle());
}

}  // namespace objscope
