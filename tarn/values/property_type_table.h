// The value type codes of numeric properties: wire size, raw steps per
// engineering unit, signedness, unit text and limits.
#pragma once

#include <cstdint>

namespace objscope {

enum class RawSign : uint8_t { Unsigned, Signed, Float };

struct NumericTypeInfo {
    uint32_t size = 0;  // wire size in bytes
    RawSign sign = RawSign::Unsigned;
    double steps = 0;  // raw steps per engineering unit
    const char* unit = "";
    double min = 0;
    double max = 0;
};

// Type codes with a special meaning in the conversions.
constexpr uint8_t kTypeQuadWord = 5;
constexpr uint8_t kTypeBoolean = 13;
constexpr uint8_t kTypeString = 14;
constexpr uint8_t kTypeDB1 = 131;
constexpr uint8_t kTypeCoefficient = 155;
constexpr uint8_t kTypeBitSet = 174;
constexpr uint8_t kTypeNumberList = 175;
constexpr uint8_t kTypeByteArray = 176;
constexpr uint8_t kTypeRelPtr = 200;
constexpr uint8_t kTypeDecade2 = 142;
constexpr uint8_t kTypeDate = 171;
constexpr uint8_t kTypeTime = 170;
constexpr uint8_t kTypeUDWord = 4;

// The row of the numeric type table for `code`. Empty rows of the table
// (e.g. 133) have size 0, steps 0 and limits 0..0; codes outside 1..13 and
// 131..167 are 4-byte unsigned values (2 bytes for 170..173), steps 1,
// limits 0..4294967294, no unit.
NumericTypeInfo NumericTypeFor(uint8_t code);

// Offset added to the raw byte of code 131 (dB1): -100 dB is raw 0.
constexpr int kDB1RawOffset = 200;

// Codes whose raw integer is scaled by steps when packing and unpacking.
bool IsScaledPackCode(uint8_t code);
bool IsScaledUnpackCode(uint8_t code);

}  // namespace objscope
