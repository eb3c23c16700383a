// Reading and setting the numeric properties of an audio object in the
// object tests, and the table of limits a class keeps.
#pragma once

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "model/object_root.h"
#include "values/property_multi_value.h"

namespace objscope_audio_test {

inline objscope::TU32MultiValue& Number(const objscope::TVEKroot& object, uint16_t id) {
    auto* number = dynamic_cast<objscope::TU32MultiValue*>(object.FindProperty(id));
    if (!number)
        throw std::runtime_error("no number " + std::to_string(id));
    return *number;
}

// One value set on a property and what the property keeps of it.
struct LimitCase {
    const char* what;
    const objscope::TVEKroot& object;
    uint16_t id;
    double set, kept;
};

template <size_t N>
void ExpectLimits(const LimitCase (&cases)[N]) {
    for (const LimitCase& c : cases) {
        objscope::TU32MultiValue& number = Number(c.object, c.id);
        number.SetData(c.set);
        EXPECT_DOUBLE_EQ(number.GetData(), c.kept) << c.what;
    }
}

// A property's default value.
struct DefaultCase {
    const char* what;
    const objscope::TVEKroot& object;
    uint16_t id;
    double value;
};

template <size_t N>
void ExpectDefaults(const DefaultCase (&cases)[N]) {
    for (const DefaultCase& c : cases)
        EXPECT_DOUBLE_EQ(Number(c.object, c.id).GetData(), c.value) << c.what;
}

}  // namespace objscope_audio_test
