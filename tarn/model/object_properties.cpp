#include "model/object_properties.h"

#include "values/property_multi_value.h"
#include "values/property_number_text.h"
#include "values/property_object_address.h"
#include "values/property_quad_word.h"

namespace objscope {
namespace {

bool AssignIntoMulti(TU32MultiValue& target, const TVEKPropertyBase& source) {
    if (auto* multi = dynamic_cast<const TU32MultiValue*>(&source))
        target.SetData(multi->GetData());
    else if (auto* handle = dynamic_cast<const TU32UWord_int*>(&source))
        target.SetData(handle->Data());
    return true;
}

bool AssignIntoHandle(TU32UWord_int& target, const TVEKPropertyBase& source) {
    if (auto* multi = dynamic_cast<const TU32MultiValue*>(&source)) {
        int64_t number = RoundToInt64(multi->GetData());
        if (number < 0 || number > 65535)
            return false;
        target.SetData(static_cast<uint16_t>(number));
    } else if (auto* handle = dynamic_cast<const TU32UWord_int*>(&source)) {
        target.SetData(handle->Data());
    }
    return true;
}

bool AssignIntoQuad(TU32UQWord& target, const TVEKPropertyBase& source) {
    if (auto* multi = dynamic_cast<const TU32MultiValue*>(&source))
        target.SetData(RoundToInt64(multi->GetData()));
    else if (auto* quad = dynamic_cast<const TU32UQWord*>(&source))
        target.SetData(quad->Data());
    return true;
}

// Copies the value of `source` into `target` where the classes allow it;
// false on a range error.
bool AssignValue(TVEKPropertyBase& target, const TVEKPropertyBase& source) {
    if (auto* multi = dynamic_cast<TU32MultiValue*>(&target))
        return AssignIntoMulti(*multi, source);
    if (auto* text = dynamic_cast<TU32StringValue*>(&target)) {
        if (auto* sourceText = dynamic_cast<const TU32StringValue*>(&source))
            text->SetData(sourceText->Data());
        return true;
    }
    if (auto* handle = dynamic_cast<TU32UWord_int*>(&target))
        return AssignIntoHandle(*handle, source);
    if (auto* quad = dynamic_cast<TU32UQWord*>(&target))
        return AssignIntoQuad(*quad, source);
    if (auto* address = dynamic_cast<TVEKObject_Address*>(&target)) {
        if (auto* sourceAddress = dynamic_cast<const TVEKObject_Address*>(&source))
            address->SetParts(sourceAddress->Part32(), sourceAddress->Part16());
    }
    return true;
}

}  // namespace

std::optional<TTarn_Property_Link> GetPropertyLink(const TVEKroot& object, uint16_t id) {
    TVEKPropertyBase* property = object.FindProperty(id);
    if (!property)
        return std::nullopt;
    return TTarn_Property_Link(object.NetHandle(), object.DevHandle(), object.ObjHandle(),
                               property);
}

void CollectProperties(const TVEKroot& object, PropertyList& list, bool onlyModified) {
    for (const auto& property : object.Properties()) {
        if (!onlyModified || property->Modified())
            list.push_back(property.get());
    }
}

AssignResult AssignProperties(TVEKroot& object,
                              const std::vector<std::unique_ptr<TVEKPropertyBase>>& source) {
    for (const auto& item : source) {
        if (!item)
            continue;
        if (SamePropertyID(item->PropertyID(), object.OwnerHandleProperty().PropertyID())) {
            if (!AssignIntoHandle(object.OwnerHandleProperty(), *item))
                return AssignResult::RangeError;
            continue;
        }
        TVEKPropertyBase* own = object.FindProperty(item->PropertyID());
        if (own && !AssignValue(*own, *item))
            return AssignResult::RangeError;
    }
    return AssignResult::Done;
}

}  // namespace objscope
