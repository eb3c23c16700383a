// Every numeric type code: engineering value -> item bytes -> engineering
// value, and the display text with its unit.
#include <gtest/gtest.h>

#include "values/property_factory.h"
#include "values/property_multi_value.h"
#include "values/property_typed_values.h"
#include "property_test_support.h"

namespace objscope {
namespace {

using test::Bytes;
using test::Hex;
using test::Packed;

constexpr uint16_t kId = 5;

struct NumericCase {
    uint8_t code;
    double value;
    const char* item;  // header 05 xx [len] + value bytes
    const char* display;
};

const NumericCase kNumericCases[] = {
    {1, 200, "05 00 C8", "200"},
    {2, 65535, "05 40 FF FF", "65535"},
    {3, 16777215, "05 C0 03 FF FF FF", "16777215"},
    {4, 4294967295.0, "05 80 FF FF FF FF", "$FFFFFFFF"},
    {6, -128, "05 00 80", "-128"},
    {7, -2, "05 40 FE FF", "-2"},
    {8, -1, "05 C0 03 FF FF FF", "-1"},
    {9, -2147483647, "05 80 01 00 00 80", "-2147483647"},
    {10, -5, "05 C0 08 FB FF FF FF FF FF FF FF", "-5"},
    {11, 123456, "05 80 40 E2 01 00", "123456"},
    {12, 7, "05 C0 08 07 00 00 00 00 00 00 00", "7"},
    {13, 1, "05 00 01", "True"},
    {131, -100, "05 00 00", "-100 dB"},
    {131, 0, "05 00 C8", "0 dB"},
    {131, 27.5, "05 00 FF", "27.5 dB"},
    {132, -3.5, "05 40 40 FE", "-3.5 dB"},
    {135, 1.5, "05 40 80 01", "1.5 dB/sec"},
    {136, -1.25, "05 00 FB", "-1.25 V"},
    {137, 2.5, "05 40 40 01", "2.5 V"},
    {140, 1000.5, "05 40 D1 07", "1000.5 Hz"},
    {141, 2, "05 00 A0", "2 Hz"},
    {142, 5, "05 40 50 C3", "10000 Hz"},
    {143, 0.5, "05 00 28", "0.5 dec"},
    {144, 0.25, "05 40 C4 09", "0.25 dec"},
    {151, 2.5, "05 00 14", "2.5"},
    {152, -0.5, "05 40 80 FF", "-0.5"},
    {153, -128, "05 C0 03 00 00 80", "-128"},
    {155, 1.0, "05 80 00 00 80 3F", "1"},
    {157, -1, "05 00 80", "-1"},
    {158, 0.5, "05 40 00 40", "0.5"},
    {161, 8, "05 00 01", "8 usec"},
    {161, -1024, "05 00 80", "-1024 usec"},
    {162, 1, "05 40 7D 00", "1 msec"},
    {163, -1, "05 C0 03 18 FC FF", "-1 msec"},
    {164, 2.5, "05 80 C4 09 00 00", "2.5 msec"},
    {165, 0.5, "05 40 00 40", "0.5 fbisec"},
    {166, 4, "05 40 02 00", "4 bisec"},
    {167, 1, "05 40 80 00", "1 sec"},
    {170, 0x6000, "05 40 00 60", "12:00:00"},
    {171, 0x5D8A, "05 40 8A 5D", "12/10/2026"},
    {200, 16, "05 80 10 00 00 00", "$10"},
};

class NumericTypeCode : public testing::TestWithParam<NumericCase> {};

std::unique_ptr<TU32MultiValue> NewNumeric(uint8_t code) {
    auto property = CreatePropertyForType(code, false);
    auto* multi = dynamic_cast<TU32MultiValue*>(property.get());
    EXPECT_NE(multi, nullptr) << "type code " << int(code);
    property.release();
    return std::unique_ptr<TU32MultiValue>(multi);
}

TEST_P(NumericTypeCode, PacksUnpacksAndDisplays) {
    const NumericCase& c = GetParam();
    auto property = NewNumeric(c.code);
    property->SetPropertyID(kId);
    property->SetData(c.value);
    ASSERT_EQ(property->GetData(), c.value) << "value outside the type's limits";

    std::vector<uint8_t> item = Packed(*property);
    EXPECT_EQ(Hex(item), c.item);
    EXPECT_EQ(property->DisplayText(), c.display);

    auto decoded = NewNumeric(c.code);
    // Start from a value other than the case's, so that decoding must change it.
    decoded->SetData(c.value == decoded->Min() ? decoded->Max() : decoded->Min());
    EXPECT_EQ(UnPackData(Bytes(c.item), *decoded), item.size());
    EXPECT_EQ(decoded->GetData(), c.value);
}

INSTANTIATE_TEST_SUITE_P(AllCodes, NumericTypeCode, testing::ValuesIn(kNumericCases),
                         [](const testing::TestParamInfo<NumericCase>& info) {
                             return "code" + std::to_string(info.param.code) + "_" +
                                    std::to_string(info.index);
                         });

struct LimitCase {
    uint8_t code;
    uint32_t size;
    double steps;
    const char* unit;
    double min;
    double max;
    bool isSigned;
};

const LimitCase kLimitCases[] = {
    {1, 1, 1, "", 0, 255, false},
    {5, 8, 1, "", -1.845e19, 1.845e19, true},
    {9, 4, 1, "", -2147483647, 2147483647, true},
    {13, 1, 1, " (1=True)", 0, 1, false},
    {131, 1, 2, " dB", -100, 27.5, true},
    {132, 2, 128, " dB", -256, 255.9, true},
    {133, 0, 0, "", 0, 0, false},  // empty row of the table
    {142, 2, 10000, " Hz", 1, 65535, false},
    {155, 4, 16777216, "", -2147483647, 2147483647, true},
    {158, 2, 32768, "", -1, 0.9999, true},
    {161, 1, 0.125, " usec", -1024, 1016, true},
    {165, 2, 32768, " fbisec", 0, 1.999939, false},
    {167, 2, 128, " sec", 0, 511.992, false},
    {170, 2, 1, "", 0, 4294967294.0, false},
    {172, 2, 1, "", 0, 4294967294.0, false},  // outside the table: 170..173 are 2 bytes
    {50, 4, 1, "", 0, 4294967294.0, false},   // outside the table: 4 bytes
    {200, 4, 1, "", 0, 4294967294.0, false},
};

class NumericTypeLimits : public testing::TestWithParam<LimitCase> {};

TEST_P(NumericTypeLimits, VEKTypeLoadsTheRowOfTheTable) {
    const LimitCase& c = GetParam();
    TU32MultiValue property;
    property.SetVEKType(c.code);
    EXPECT_EQ(property.VEKtype(), c.code);
    EXPECT_EQ(property.Size(), c.size);
    EXPECT_EQ(property.StepsPerUnit(), c.steps);
    EXPECT_EQ(property.UnitText(), c.unit);
    EXPECT_EQ(property.Min(), c.min);
    EXPECT_EQ(property.Max(), c.max);
    EXPECT_EQ(property.RawIsSigned(), c.isSigned);
}

INSTANTIATE_TEST_SUITE_P(Rows, NumericTypeLimits, testing::ValuesIn(kLimitCases),
                         [](const testing::TestParamInfo<LimitCase>& info) {
                             return "code" + std::to_string(info.param.code);
                         });

// A value the type's limits allow but its wire size cannot hold is sent as
// the nearest value the item carries, never as its low bytes.
TEST(NumericTypes, ValuesPastTheWireSizeAreSentAsTheNearestOneItCarries) {
    struct Case {
        uint8_t code;
        double value;
        double readBack;
    };
    const Case cases[] = {
        {143, 4, 255.0 / 80},        // 1 byte of 80 steps: at most 3.1875
        {144, 10, 65535.0 / 10000},  // 2 bytes of 10000 steps
        {170, 70000, 65535},         // 2-byte time
        {11, -5, 0},                 // 4-byte unsigned
        {12, -5, 0},                 // 8-byte code, 32-bit unsigned range
        {4, 4294967295.0, 4294967295.0},
        {9, -2147483647, -2147483647},
        {144, 0.5, 0.5},  // within range: unchanged
    };
    for (const Case& c : cases) {
        auto property = NewNumeric(c.code);
        property->SetPropertyID(kId);
        property->SetData(c.value);
        auto decoded = NewNumeric(c.code);
        EXPECT_GT(UnPackData(Packed(*property), *decoded), 0u);
        EXPECT_DOUBLE_EQ(decoded->GetData(), c.readBack)
            << "code " << int(c.code) << " value " << c.value;
    }
}

TEST(NumericTypes, EngineeringValuesAreClampedToTheTypeLimits) {
    TU32VEKDB1 db1;
    db1.SetData(30);
    EXPECT_EQ(db1.GetData(), 27.5);
    db1.SetData(-200);
    EXPECT_EQ(db1.GetData(), -100);

    TU32ULWord three;
    three.SetValue(16777216);
    EXPECT_EQ(three.Value(), 16777215u);
    EXPECT_EQ(Packed(three).size(), 6u);  // size code 3 with length byte 3

    TU32SByte sbyte;
    sbyte.SetValue(-128);
    EXPECT_EQ(sbyte.Value(), -128);
}

TEST(NumericTypes, RoundingTiesGoToEven) {
    TU32UByte byte;
    byte.SetData(2.5);
    EXPECT_EQ(Hex(Packed(byte)), "00 00 02");
    byte.SetData(3.5);
    EXPECT_EQ(Hex(Packed(byte)), "00 00 04");
    EXPECT_EQ(byte.ValueToRaw(0.5), 0);
}

TEST(NumericTypes, DisplayRoundsToTheResolution) {
    TU32VEKDB2 db2;  // 128 steps per dB
    db2.SetData(1.0 / 3);
    EXPECT_EQ(db2.DisplayText(), "0.3359375 dB");
    TU32VEKDB1 db1;
    db1.SetData(-0.2);  // half-dB steps
    EXPECT_EQ(db1.DisplayText(), "0 dB");
}

TEST(NumericTypes, TypedStartValues) {
    EXPECT_EQ(TU32VEKDecade2().GetFrequency(), 1000.0);
    EXPECT_EQ(TU32VEKBandWidth1().GetData(), 0.1);
    EXPECT_EQ(TU32VEKBandWidth2().GetData(), 0.1);
    EXPECT_EQ(TU32VEKRatio1().GetData(), 1.0);
    EXPECT_EQ(TU32VEKDB2().GetData(), 0.0);
    TU32MultiValue generic;
    EXPECT_TRUE(generic.HasMinMax());
    EXPECT_EQ(generic.Min(), -2147483647);
    EXPECT_EQ(generic.Max(), 2147483647);
    TU32BooleanRaw raw;
    EXPECT_EQ(raw.Max(), 255);
    raw.SetValue(200);
    EXPECT_EQ(raw.Value(), 200);
}

TEST(NumericTypes, Decade2StoresDecadesOfTheFrequency) {
    TU32VEKDecade2 decade;
    decade.SetModified(false);
    decade.SetFrequency(1000);
    EXPECT_EQ(decade.GetData(), 4);
    EXPECT_EQ(Hex(Packed(decade)), "00 40 40 9C");  // 40000
    EXPECT_EQ(decade.GetFrequency(), 1000.0);
    EXPECT_FALSE(decade.Modified());

    decade.SetFrequency(500000);
    EXPECT_DOUBLE_EQ(decade.GetData(), std::log10(3577000.0));
    EXPECT_EQ(decade.GetFrequency(), 357700.0);
    decade.SetFrequency(0.01);
    EXPECT_EQ(decade.GetData(), 0);  // 0.1 Hz, below the stored limit, unchecked
}

}  // namespace
}  // namespace objscope
