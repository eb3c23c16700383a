// How the audio object classes declare their numeric properties: a listed
// property with its display name, ID, default value and limits. The limits
// are set before the value, so the default is kept as given.
#pragma once

#include <string_view>

#include "model/object_root.h"

namespace objscope::audio {

// A listed property with the limits of its type and a default value.
template <class T>
T* AddNumber(TVEKroot& object, std::string_view name, uint16_t id, double value) {
    T* property = object.AddProperty<T>(name, id);
    property->SetData(value);
    return property;
}

// A listed property limited to min..max.
template <class T>
T* AddLimited(TVEKroot& object, std::string_view name, uint16_t id, double value, double min,
              double max) {
    T* property = object.AddProperty<T>(name, id);
    property->SetMin(min);
    property->SetMax(max);
    property->SetHasMinMax(true);
    property->SetData(value);
    return property;
}

// A listed property of at least `min` (its type's maximum above).
template <class T>
T* AddAtLeast(TVEKroot& object, std::string_view name, uint16_t id, double value, double min) {
    return AddLimited<T>(object, name, id, value, min, T().Max());
}

// A measurement the device reports: listed read-only.
template <class T>
T* AddReading(TVEKroot& object, std::string_view name, uint16_t id, double value) {
    T* property = AddNumber<T>(object, name, id, value);
    property->SetReadOnly(true);
    return property;
}

}  // namespace objscope::audio
