// The non-numeric value classes (texts, handles, 64-bit values, object
// addresses, arrays): item bytes both ways and display text.
#include <gtest/gtest.h>

#include <functional>

#include "values/property_arrays.h"
#include "values/property_factory.h"
#include "values/property_handle_value.h"
#include "values/property_object_address.h"
#include "values/property_quad_word.h"
#include "values/property_string_value.h"
#include "property_test_support.h"

namespace objscope {
namespace {

using test::Bytes;
using test::Hex;
using test::Packed;

struct ValueCase {
    const char* name;
    uint8_t code;  // the type code the device reports
    std::function<void(TVEKPropertyBase&)> set;
    const char* item;
    const char* display;
};

template <class T>
std::function<void(TVEKPropertyBase&)> Setter(std::function<void(T&)> set) {
    return [set](TVEKPropertyBase& p) { set(dynamic_cast<T&>(p)); };
}

const ValueCase kValueCases[] = {
    // A text of 1, 2 or 4 characters travels with a fixed size code.
    {"String", 14, Setter<TU32StringValue>([](auto& p) { p.SetData("AB"); }), "05 40 41 42", "AB"},
    {"String3", 14, Setter<TU32StringValue>([](auto& p) { p.SetData("ABC"); }), "05 C0 03 41 42 43",
     "ABC"},
    {"String67", 67, Setter<TU32StringValue>([](auto& p) { p.SetData("Main"); }),
     "05 80 4D 61 69 6E", "Main"},
    {"EmptyString", 14, Setter<TU32StringValue>([](auto& p) { p.SetData(""); }), "05 C0 00", ""},
    {"BitSet", 174,
     Setter<TU32StringValue>([](auto& p) { p.SetData(std::string("\x01\x00\xF0", 3)); }),
     "05 C0 03 01 00 F0", "$01 | $00 | $F0"},
    {"ClassID", 68, Setter<TU32UWord_int>([](auto& p) { p.SetData(0x1234); }), "05 40 34 12",
     "4660"},
    {"ObjHandle", 69, Setter<TU32UWord_int>([](auto& p) { p.SetData(7); }), "05 40 07 00", "7"},
    {"EventID", 80, Setter<TU32UWord_int>([](auto& p) { p.SetData(65535); }), "05 40 FF FF",
     "65535"},
    {"QuadWord", 5, Setter<TU32UQWord>([](auto& p) { p.SetData(-2); }),
     "05 C0 08 FE FF FF FF FF FF FF FF", "$FFFFFFFFFFFFFFFE"},
    {"ObjectAddress", 72, Setter<TVEKObject_Address>([](auto& p) { p.SetParts(0x00030002, 9); }),
     "05 C0 06 02 00 03 00 09 00", "2:3:9"},
    {"NumberList", 175, Setter<TU32VEKNumberList>([](auto& p) {
         p.SetNumbers({1, 0xFFFF, 300});
     }),
     "05 C0 06 01 00 FF FF 2C 01", "1 | -1 | 300"},
    {"ByteArray", 176, Setter<TU32VEKByteArray>([](auto& p) {
         p.SetBytes({0, 255, 16});
     }),
     "05 C0 03 00 FF 10", "0 | 255 | 16"},
};

class ValueClass : public testing::TestWithParam<ValueCase> {};

TEST_P(ValueClass, PacksUnpacksAndDisplays) {
    const ValueCase& c = GetParam();
    auto property = CreatePropertyForType(c.code, false);
    ASSERT_NE(property, nullptr);
    property->SetPropertyID(5);
    c.set(*property);

    EXPECT_EQ(Hex(Packed(*property)), c.item);
    EXPECT_EQ(property->DisplayText(), c.display);

    auto decoded = CreatePropertyForType(c.code, false);
    std::vector<uint8_t> item = Bytes(c.item);
    EXPECT_EQ(UnPackData(item, *decoded), item.size());
    EXPECT_TRUE(decoded->SameValue(*property)) << decoded->DisplayText();
}

INSTANTIATE_TEST_SUITE_P(Classes, ValueClass, testing::ValuesIn(kValueCases),
                         [](const testing::TestParamInfo<ValueCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(TextValues, TrailingZeroBytesAreCutExceptFromAnAllZeroText) {
    TU32StringValue text;
    UnPackData(Bytes("08 C0 04 41 42 00 00"), text);
    EXPECT_EQ(text.Data(), "AB");
    UnPackData(Bytes("08 C0 04 00 00 00 00"), text);
    EXPECT_EQ(text.Data(), std::string(4, '\0'));

    TU32VEKBitSet bits;  // a bit set keeps its zero bytes
    EXPECT_EQ(bits.Data(), std::string(32, '\0'));
    UnPackData(Bytes("08 C0 03 41 00 00"), bits);
    EXPECT_EQ(bits.Data(), std::string("A\0\0", 3));
}

TEST(TextValues, TextsAreCutTo128Characters) {
    TU32StringValue text;
    text.SetData(std::string(200, 'x'));
    EXPECT_EQ(text.Data().size(), 128u);

    std::vector<uint8_t> item = {0x08, 0xC0, 200};
    item.resize(3 + 200, 'y');
    EXPECT_EQ(UnPackData(item, text), item.size());
    EXPECT_EQ(text.Data(), std::string(128, 'y'));
}

TEST(HandleValues, ClampToTheirLimits) {
    TU32aesOBJ_Handle handle;
    handle.SetMax(100);
    handle.SetData(500);
    EXPECT_EQ(handle.Data(), 100);
    handle.SetHasMinMax(false);
    handle.SetData(500);
    EXPECT_EQ(handle.Data(), 500);
}

TEST(QuadWordValues, LimitsApplyOnlyWhenSwitchedOn) {
    TU32UQWord quad;
    EXPECT_FALSE(quad.HasMinMax());
    quad.SetMax(10);
    quad.SetData(20);
    EXPECT_EQ(quad.Data(), 20);
    quad.SetHasMinMax(true);
    quad.SetData(30);
    EXPECT_EQ(quad.Data(), 10);
}

}  // namespace
}  // namespace objscope
