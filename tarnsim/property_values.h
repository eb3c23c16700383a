// The value of a device property as the device keeps it: the wire bytes of
// its item, interpreted by the property's type code. Converts between those
// bytes and engineering values and judges the values a requester writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "protocol/tarn_rejections.h"

namespace tarnsim {

enum class ValueKind {
    Scaled,    // raw integer = engineering value x steps
    Float,     // IEEE single (155)
    QuadWord,  // signed 64-bit (5)
    Handle,    // u16 (68..71, 75..80)
    Text,      // characters (14, 67, 174)
    Address,   // u32 + u16 (72)
    Numbers,   // u16 list (175)
    Bytes,     // byte array (176)
    Unsupported,
};

ValueKind valueKindOf(uint8_t typeCode);

// The wire size of a fixed-size type; 0 for the variable kinds and for
// codes that cannot carry a value.
size_t fixedWireSize(uint8_t typeCode);

// Longest value of the variable kinds (texts hold at most 128 characters,
// arrays what an item's length byte can announce).
size_t maxVariableSize(uint8_t typeCode);

// The engineering value of wire bytes of a numeric type (Scaled, Float,
// QuadWord, Handle); nothing for the other kinds or a wrong size.
std::optional<double> engineeringValue(uint8_t typeCode, std::span<const uint8_t> wire);

// The wire bytes of an engineering value: rounded to the type's steps (ties
// to even). Nothing when the raw value does not fit the wire size.
std::optional<std::vector<uint8_t>> wireBytesFor(uint8_t typeCode, double value);

// The limits that apply to a numeric type without limits of its own.
double typeLowerLimit(uint8_t typeCode);
double typeUpperLimit(uint8_t typeCode);

// The name used for a type code in device files ("UWord", "dB2", ...), or
// empty when the code is written as a number.
std::string typeName(uint8_t typeCode);
// The type code of a name or number text; nothing when neither.
std::optional<uint8_t> typeCodeFromText(const std::string& text);

}  // namespace tarnsim
