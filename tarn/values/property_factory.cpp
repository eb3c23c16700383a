#include "values/property_factory.h"

#include "values/property_arrays.h"
#include "values/property_handle_value.h"
#include "values/property_object_address.h"
#include "values/property_quad_word.h"
#include "values/property_string_value.h"
#include "values/property_typed_values.h"

namespace objscope {
namespace {

using Create = std::unique_ptr<TVEKPropertyBase> (*)();

template <class T>
std::unique_ptr<TVEKPropertyBase> Make() {
    return std::make_unique<T>();
}

// A text the device lists with type code 67: it keeps that code.
std::unique_ptr<TVEKPropertyBase> MakeText67() {
    auto text = std::make_unique<TU32StringValue>();
    text->SetVEKType(67);
    return text;
}

constexpr const char* kUnknownTypeLabel = "(Unknown)";

struct TypeClassRow {
    uint8_t code;
    Create create;
    const char* label;
};

const TypeClassRow kTypeClasses[] = {
    {1, Make<TU32UByte>, "(UByte)"},
    {2, Make<TU32UWord>, "(UWord)"},
    {3, Make<TU32ULWord>, "(ULWord)"},
    {4, Make<TU32UDWord>, "(UDWord)"},
    {5, Make<TU32UQWord>, "(UQWord)"},
    {6, Make<TU32SByte>, "(SByte)"},
    {7, Make<TU32SWord>, "(SWord)"},
    {8, nullptr, ""},
    {9, Make<TU32SDWord>, "(SDWord)"},
    {10, nullptr, ""},
    {11, nullptr, ""},
    {12, nullptr, ""},
    {13, Make<TU32Boolean>, "(Boolean)"},
    {14, Make<TU32StringValue>, "(String)"},
    {67, MakeText67, "(String)"},
    {68, Make<TU32aesClass_ID>, "(Class ID)"},
    {69, Make<TU32aesOBJ_Handle>, "(Obj Handle)"},
    {70, Make<TU32aesDEV_Handle>, "(Dev Handle)"},
    {71, Make<TU32aesNET_Handle>, "(Net Handle)"},
    {72, Make<TVEKObject_Address>, "(Obj Addr)"},
    {75, Make<TU32aesMember_ID>, "(Member ID)"},
    {76, Make<TU32aesMessage_ID>, "(Message ID)"},
    {77, Make<TU32aesStatus_Code>, "(Status Code)"},
    {78, Make<TU32aesProperty_ID>, "(Property ID)"},
    {79, Make<TU32aesMethod_ID>, "(Method ID)"},
    {80, Make<TU32aesEvent_ID>, "(Event ID)"},
    {131, Make<TU32VEKDB1>, "(dB1)"},
    {132, Make<TU32VEKDB2>, "(dB2)"},
    {135, Make<TU32VEKDB_Rate>, "(dB_Rate)"},
    {136, Make<TU32VEKVolt1>, "(Volt1)"},
    {137, Make<TU32VEKVolt2>, "(Volt2)"},
    {140, Make<TU32VEKHertz>, "(Hertz)"},
    {141, nullptr, ""},
    {142, Make<TU32VEKDecade2>, "(Decade2)"},
    {143, Make<TU32VEKBandWidth1>, "(BW1)"},
    {144, Make<TU32VEKBandWidth2>, "(BW2)"},
    {151, Make<TU32VEKRatio1>, "(Ratio1)"},
    {152, Make<TU32VEKRatio2>, "(Ratio2)"},
    {153, Make<TU32VEKRatio3>, "(Ratio3)"},
    {155, Make<TU32VEKCoefficient>, "(Coeff)"},
    {157, Make<TU32VEKScaler1>, "(Scaler1)"},
    {158, Make<TU32VEKScaler2>, "(Scaler2)"},
    {161, Make<TU32VEKUSEC1>, "(Usec1)"},
    {162, Make<TU32VEKUSEC2>, "(USec2)"},
    {163, Make<TU32VEKuSec3>, "(USec3)"},
    {164, Make<TU32VEKuSec4>, "(USec4)"},
    {165, Make<TU32VEKFSEC>, "(FSec)"},
    {166, Make<TU32VEKBiSEC>, "(BiSec)"},
    {167, Make<TU32VEKSEC>, "(Sec)"},
    {170, Make<TU32VEKTime>, "(Time)"},
    {171, Make<TU32VEKDate>, "(Date)"},
    {174, Make<TU32VEKBitSet>, "(BitSet)"},
    {175, Make<TU32VEKNumberList>, "(Number List)"},
    {176, Make<TU32VEKByteArray>, "(Byte Array)"},
    {200, Make<TU32UDWord>, "(RelPtr)"},
};

const TypeClassRow* FindRow(uint8_t code) {
    for (const auto& row : kTypeClasses) {
        if (row.code == code)
            return &row;
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<TVEKPropertyBase> CreatePropertyForType(uint8_t code, bool rawBoolean) {
    if (code == kTypeBoolean && rawBoolean)
        return std::make_unique<TU32BooleanRaw>();
    const TypeClassRow* row = FindRow(code);
    if (!row)
        return nullptr;
    if (row->create)
        return row->create();
    auto generic = std::make_unique<TU32MultiValue>();
    generic->SetVEKType(code);
    return generic;
}

std::unique_ptr<TVEKPropertyBase> CreateListedProperty(uint8_t code, bool rawBoolean) {
    if (auto property = CreatePropertyForType(code, rawBoolean))
        return property;
    return std::make_unique<TU32VEKByteArray>();
}

std::string ListedPropertyTypeLabel(uint8_t code, bool rawBoolean) {
    return FindRow(code) ? PropertyTypeLabel(code, rawBoolean) : kUnknownTypeLabel;
}

std::string PropertyTypeLabel(uint8_t code, bool rawBoolean) {
    if (code == kTypeBoolean && rawBoolean)
        return "(Raw Boolean)";
    const TypeClassRow* row = FindRow(code);
    return row ? row->label : "";
}

}  // namespace objscope
