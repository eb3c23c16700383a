// The property grid's text rules: value texts, tags, edit masks, normalising
// edited texts and parsing cells back into their properties.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "values/property_arrays.h"
#include "values/property_handle_value.h"
#include "values/property_object_address.h"
#include "values/property_quad_word.h"
#include "values/property_string_value.h"
#include "values/property_typed_values.h"
#include "windows/edit_mask.h"
#include "windows/prop_grid_rules.h"

namespace objscope {
namespace {

using Make = std::function<std::unique_ptr<TVEKPropertyBase>()>;

template <class T>
Make Of(std::function<void(T&)> setup = {}) {
    return [setup] {
        auto property = std::make_unique<T>();
        if (setup)
            setup(*property);
        return property;
    };
}

TEST(PropertyTag, PageAndNumber) {
    EXPECT_EQ(PropertyTag(2048), " [2p0]");
    EXPECT_EQ(PropertyTag(1031), " [1p7]");
    EXPECT_EQ(PropertyTag(7), " [0p7]");
    EXPECT_EQ(PropertyTag(0x3FFF), " [15p767]");
}

struct TextCase {
    const char* what;
    Make make;
    std::string text;
};

TEST(GridValueText, EachKind) {
    const TextCase cases[] = {
        {"dB rounded to the resolution with unit", Of<TU32VEKDB2>([](auto& p) { p.SetData(12.5); }),
         "12.5 dB"},
        {"decade as frequency", Of<TU32VEKDecade2>([](auto& p) { p.SetFrequency(125); }), "125 Hz"},
        {"unsigned double word in hex", Of<TU32UDWord>([](auto& p) { p.SetValue(0xBEEF); }),
         "$BEEF"},
        {"boolean", Of<TU32Boolean>([](auto& p) { p.SetValue(true); }), "True"},
        {"raw boolean reads as boolean", Of<TU32BooleanRaw>([](auto& p) { p.SetValue(0); }),
         "False"},
        {"date", Of<TU32VEKDate>([](auto& p) { p.SetData(31 + 32 * 12 + 512 * 20); }),
         "12/31/2000"},
        {"time", Of<TU32VEKTime>([](auto& p) { p.SetData(5 + 32 * 7 + 2048 * 13); }), "13:07:10"},
        {"bit set", Of<TU32VEKBitSet>([](auto& p) { p.SetData(std::string("\x01\xA0", 2)); }),
         "$01 | $A0"},
        {"text", Of<TU32StringValue>([](auto& p) { p.SetData("Zone 1"); }), "Zone 1"},
        {"handle", Of<TU32aesOBJ_Handle>([](auto& p) { p.SetData(760); }), "760"},
        {"quad word", Of<TU32UQWord>([](auto& p) { p.SetData(0x1234); }), "$1234"},
        {"object address", Of<TVEKObject_Address>([](auto& p) { p.SetParts(2 | 5 << 16, 9); }),
         "2:5:9"},
        {"number list", Of<TU32VEKNumberList>([](auto& p) {
             p.SetNumbers({1, 0xFFFF});
         }),
         "1 | -1"},
        {"byte array", Of<TU32VEKByteArray>([](auto& p) {
             p.SetBytes({3, 200});
         }),
         "3 | 200"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GridValueText(*c.make()), c.text) << c.what;
}

class OtherKind : public TVEKPropertyBase {};

TEST(GridValueText, UnknownKind) {
    EXPECT_EQ(GridValueText(OtherKind()), ">> Unknown Type >>");
}

TEST(EditMask, ByKindAndLimits) {
    TU32UByte byte;  // 0..255, whole units
    TU32SWord word;  // negative minimum
    TU32VEKDB2 db;   // tenths: free entry
    TU32VEKDate date;
    TU32VEKTime time;
    TU32UDWord dword;
    TU32StringValue text;
    TU32MultiValue zero;
    zero.SetMin(0);
    zero.SetMax(0);
    EXPECT_EQ(EditMaskFor(byte), "!999;1; ");
    EXPECT_EQ(EditMaskFor(word), "!#999999;1; ");  // log10(32768) + 1 rounds to 6
    EXPECT_EQ(EditMaskFor(db), "");
    EXPECT_EQ(EditMaskFor(date), "99/99/9999;1");
    EXPECT_EQ(EditMaskFor(time), "99:99:99;1");
    EXPECT_EQ(EditMaskFor(dword), "");
    EXPECT_EQ(EditMaskFor(text), "");
    EXPECT_EQ(EditMaskFor(zero), "!9;1; ");
}

TEST(EditMask, ValidatorFollowsThePositions) {
    EXPECT_TRUE(MaskAccepts("!#99999;1; ", "-1234"));
    EXPECT_TRUE(MaskAccepts("!999;1; ", "25"));
    EXPECT_FALSE(MaskAccepts("!999;1; ", "2555"));
    EXPECT_FALSE(MaskAccepts("!999;1; ", "-5"));
    EXPECT_TRUE(MaskAccepts("99/99/9999;1", "12/31/1975"));
    EXPECT_TRUE(MaskAccepts("99/99/9999;1", "12/3"));
    EXPECT_FALSE(MaskAccepts("99/99/9999;1", "12-31"));
    EXPECT_FALSE(MaskAccepts("99:99:99;1", "1a"));
}

TEST(EditorStartText, NumbersLoseTheirUnit) {
    TU32VEKDB2 db;
    TU32StringValue text;
    EXPECT_EQ(EditorStartText(db, "12.5 dB"), "12.5");
    EXPECT_EQ(EditorStartText(text, "12.5 dB"), "12.5 dB");
}

struct NormaliseCase {
    const char* what;
    Make make;
    std::string edited;
    std::string cell;
};

TEST(NormaliseEditedText, EachKind) {
    const NormaliseCase cases[] = {
        {"dB keeps its resolution and unit", Of<TU32VEKDB2>(), "12.5", "12.5 dB"},
        {"dB rounded to 1/256", Of<TU32VEKDB2>(), "12.54", "12.5390625 dB"},
        {"above the maximum gives the maximum", Of<TU32UByte>(), "999", "255"},
        {"below the minimum gives the minimum", Of<TU32SByte>(), "-999", "-128"},
        {"not a number keeps the value", Of<TU32UByte>([](auto& p) { p.SetValue(7); }), "--", "7"},
        {"empty is 0", Of<TU32UByte>([](auto& p) { p.SetValue(7); }), "", "0"},
        {"hex into a double word", Of<TU32UDWord>(), "$ff", "$FF"},
        {"decade limited to 40000", Of<TU32VEKDecade2>(), "99999", "40000 Hz"},
        {"decade rounded to tenths", Of<TU32VEKDecade2>(), "123.46", "123.5 Hz"},
        {"date limited", Of<TU32VEKDate>(), "13/40/1975", "12/31/1975"},
        {"date defaults", Of<TU32VEKDate>(), "", "1/1/2000"},
        {"time padded", Of<TU32VEKTime>(), " 7: 5: 3", "7:05:03"},
        {"time by position", Of<TU32VEKTime>(), "07:05:03", "7:05:03"},
        {"time defaults", Of<TU32VEKTime>(), "", "1:00:00"},
        {"handle limited", Of<TU32aesOBJ_Handle>(), "70000", "65535"},
        {"text unchanged", Of<TU32StringValue>(), "any text", "any text"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormaliseEditedText(*c.make(), c.edited), c.cell) << c.what;
}

TEST(ParseCell, DateAndTimeGiveTheirPackedValues) {
    TU32VEKDate date;
    ParseCellIntoProperty(date, "12/31/1975");
    EXPECT_EQ(date.GetData(), 31 + 32 * 12);  // the year field stays 0 before 1980
    ParseCellIntoProperty(date, "2/3");
    EXPECT_EQ(date.GetData(), 3 + 32 * 2 + 512 * 20);
    TU32VEKTime time;
    ParseCellIntoProperty(time, "13:07:10");
    EXPECT_EQ(time.GetData(), 5 + 32 * 7 + 2048 * 13);
}

TEST(ParseCell, NumbersTextsAndLists) {
    TU32VEKDB2 db;
    ParseCellIntoProperty(db, "12.5 dB");
    EXPECT_DOUBLE_EQ(db.GetData(), 12.5);
    ParseCellIntoProperty(db, "garbage");
    EXPECT_DOUBLE_EQ(db.GetData(), 0);

    TU32VEKDecade2 decade;
    ParseCellIntoProperty(decade, "1000 Hz");
    EXPECT_DOUBLE_EQ(decade.GetFrequency(), 1000);

    TU32Boolean boolean;
    ParseCellIntoProperty(boolean, "True");
    EXPECT_TRUE(boolean.Value());
    ParseCellIntoProperty(boolean, "true");
    EXPECT_FALSE(boolean.Value());

    TU32StringValue text;
    ParseCellIntoProperty(text, std::string(300, 'x'));
    EXPECT_LE(text.Data().size(), 255u);

    TU32VEKBitSet bits;
    bits.SetData(std::string("\x01\x02\x03", 3));
    ParseCellIntoProperty(bits, "$10 | zz | 255");
    EXPECT_EQ(bits.Data(), std::string("\x10\x02\xFF", 3));

    TU32VEKNumberList list;
    list.SetNumbers({1, 2, 3});
    ParseCellIntoProperty(list, "-5 | 40000 | 7 | 9");
    EXPECT_EQ(list.Numbers(), (std::vector<uint16_t>{0xFFFB, 2, 7}));

    TU32VEKByteArray bytes;
    bytes.SetBytes({1, 2});
    ParseCellIntoProperty(bytes, "300 | $0A");
    EXPECT_EQ(bytes.Bytes(), (std::vector<uint8_t>{1, 10}));

    TVEKObject_Address address;
    ParseCellIntoProperty(address, "2 : 5 : 9");
    EXPECT_EQ(address.DisplayText(), "2:5:9");
    ParseCellIntoProperty(address, "2:x:9");
    EXPECT_EQ(address.DisplayText(), "2:5:9");

    TU32UQWord quad;
    ParseCellIntoProperty(quad, "$1F");
    EXPECT_EQ(quad.Data(), 0x1F);
    ParseCellIntoProperty(quad, "1.5");
    EXPECT_EQ(quad.Data(), 0x1F);
    ParseCellIntoProperty(quad, "");
    EXPECT_EQ(quad.Data(), 0);

    TU32aesOBJ_Handle handle;
    ParseCellIntoProperty(handle, "760");
    EXPECT_EQ(handle.Data(), 760);
}

}  // namespace
}  // namespace objscope
