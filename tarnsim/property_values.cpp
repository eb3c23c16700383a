#include "property_values.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>

#include "values/property_factory.h"
#include "values/property_type_table.h"

namespace tarnsim {

using objscope::NumericTypeFor;
using objscope::NumericTypeInfo;
using objscope::RawSign;

namespace {

constexpr size_t kMaxTextLength = 128;
constexpr size_t kMaxArrayBytes = 255;

bool isHandleCode(uint8_t code) {
    return (code >= 68 && code <= 71) || (code >= 75 && code <= 80);
}

int64_t readRaw(std::span<const uint8_t> wire, bool isSigned) {
    uint64_t raw = 0;
    for (size_t i = 0; i < wire.size(); ++i)
        raw |= static_cast<uint64_t>(wire[i]) << (8 * i);
    if (isSigned && !wire.empty() && wire.size() < 8 && (wire.back() & 0x80) != 0)
        raw |= ~uint64_t{0} << (8 * wire.size());
    return static_cast<int64_t>(raw);
}

std::vector<uint8_t> writeRaw(int64_t raw, size_t size) {
    std::vector<uint8_t> out(size);
    auto bits = static_cast<uint64_t>(raw);
    for (size_t i = 0; i < size; ++i)
        out[i] = static_cast<uint8_t>(bits >> (8 * i));
    return out;
}

bool rawFits(int64_t raw, size_t size, bool isSigned) {
    if (size >= 8)
        return true;
    int bits = static_cast<int>(8 * size);
    if (isSigned)
        return raw >= -(int64_t{1} << (bits - 1)) && raw < (int64_t{1} << (bits - 1));
    return raw >= 0 && raw < (int64_t{1} << bits);
}

// The file name of a type: its label without brackets and blanks.
std::string nameFromLabel(const std::string& label) {
    std::string name;
    for (char c : label) {
        if (c != '(' && c != ')' && c != ' ')
            name += c;
    }
    return name;
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

const std::map<std::string, uint8_t>& namesToCodes() {
    static const std::map<std::string, uint8_t> table = [] {
        std::map<std::string, uint8_t> names;
        for (int code = 1; code < 256; ++code) {
            auto typeCode = static_cast<uint8_t>(code);
            if (valueKindOf(typeCode) == ValueKind::Unsupported)
                continue;
            std::string name = nameFromLabel(objscope::PropertyTypeLabel(typeCode, false));
            if (!name.empty())
                names.emplace(lower(name), typeCode);  // the first code of a name wins
        }
        return names;
    }();
    return table;
}

}  // namespace

ValueKind valueKindOf(uint8_t code) {
    if (code == objscope::kTypeCoefficient)
        return ValueKind::Float;
    if (code == objscope::kTypeQuadWord)
        return ValueKind::QuadWord;
    if (code == objscope::kTypeString || code == 67 || code == objscope::kTypeBitSet)
        return ValueKind::Text;
    if (code == 72)
        return ValueKind::Address;
    if (code == objscope::kTypeNumberList)
        return ValueKind::Numbers;
    if (code == objscope::kTypeByteArray)
        return ValueKind::Bytes;
    if (isHandleCode(code))
        return ValueKind::Handle;
    if (objscope::IsScaledPackCode(code) && objscope::IsScaledUnpackCode(code)) {
        NumericTypeInfo info = NumericTypeFor(code);
        if (info.size > 0 && info.steps > 0)
            return ValueKind::Scaled;
    }
    return ValueKind::Unsupported;
}

size_t fixedWireSize(uint8_t code) {
    switch (valueKindOf(code)) {
        case ValueKind::Scaled:
            return code == objscope::kTypeRelPtr ? 4 : NumericTypeFor(code).size;
        case ValueKind::Float:
            return 4;
        case ValueKind::QuadWord:
            return 8;
        case ValueKind::Handle:
            return 2;
        case ValueKind::Address:
            return 6;
        default:
            return 0;
    }
}

size_t maxVariableSize(uint8_t code) {
    switch (valueKindOf(code)) {
        case ValueKind::Text:
            return kMaxTextLength;
        case ValueKind::Numbers:
            return kMaxArrayBytes - 1;  // whole numbers only
        case ValueKind::Bytes:
            return kMaxArrayBytes;
        default:
            return 0;
    }
}

std::optional<double> engineeringValue(uint8_t code, std::span<const uint8_t> wire) {
    if (wire.size() != fixedWireSize(code) || wire.empty())
        return std::nullopt;
    switch (valueKindOf(code)) {
        case ValueKind::Scaled: {
            NumericTypeInfo info = NumericTypeFor(code);
            if (code == objscope::kTypeDB1)
                return (static_cast<double>(wire[0]) - objscope::kDB1RawOffset) / 2.0;
            int64_t raw = readRaw(wire, info.sign == RawSign::Signed);
            return static_cast<double>(raw) / info.steps;
        }
        case ValueKind::Float: {
            auto bits = static_cast<uint32_t>(readRaw(wire, false));
            return static_cast<double>(std::bit_cast<float>(bits));
        }
        case ValueKind::QuadWord:
            return static_cast<double>(readRaw(wire, true));
        case ValueKind::Handle:
            return static_cast<double>(readRaw(wire, false));
        default:
            return std::nullopt;
    }
}

std::optional<std::vector<uint8_t>> wireBytesFor(uint8_t code, double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    size_t size = fixedWireSize(code);
    switch (valueKindOf(code)) {
        case ValueKind::Scaled: {
            NumericTypeInfo info = NumericTypeFor(code);
            double scaled = std::nearbyint(value * info.steps);  // ties to even
            if (std::fabs(scaled) > 9.2e18)
                return std::nullopt;
            auto raw = static_cast<int64_t>(scaled);
            if (code == objscope::kTypeDB1) {
                raw = static_cast<int64_t>(std::nearbyint(value * 2)) + objscope::kDB1RawOffset;
                if (raw < 0 || raw > 255)
                    return std::nullopt;
                return writeRaw(raw, 1);
            }
            if (!rawFits(raw, size, info.sign == RawSign::Signed))
                return std::nullopt;
            return writeRaw(raw, size);
        }
        case ValueKind::Float: {
            if (std::fabs(value) > std::numeric_limits<float>::max())
                return std::nullopt;
            auto single = static_cast<float>(value);
            return writeRaw(std::bit_cast<uint32_t>(single), 4);
        }
        case ValueKind::QuadWord: {
            if (std::fabs(value) > 9.2e18 || value != std::trunc(value))
                return std::nullopt;
            return writeRaw(static_cast<int64_t>(value), 8);
        }
        case ValueKind::Handle: {
            if (value < 0 || value > 65535 || value != std::trunc(value))
                return std::nullopt;
            return writeRaw(static_cast<int64_t>(value), 2);
        }
        default:
            return std::nullopt;
    }
}

double typeLowerLimit(uint8_t code) {
    switch (valueKindOf(code)) {
        case ValueKind::Scaled:
        case ValueKind::Float:
            return NumericTypeFor(code).min;
        case ValueKind::QuadWord:
            return -9.2e18;
        default:
            return 0;
    }
}

double typeUpperLimit(uint8_t code) {
    switch (valueKindOf(code)) {
        case ValueKind::Scaled:
        case ValueKind::Float:
            return NumericTypeFor(code).max;
        case ValueKind::QuadWord:
            return 9.2e18;
        case ValueKind::Handle:
            return 65535;
        default:
            return 0;
    }
}

std::string typeName(uint8_t code) {
    std::string name = nameFromLabel(objscope::PropertyTypeLabel(code, false));
    if (name.empty())
        return {};
    auto found = namesToCodes().find(lower(name));
    return found != namesToCodes().end() && found->second == code ? name : std::string{};
}

std::optional<uint8_t> typeCodeFromText(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    if (std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); })) {
        if (text.size() > 3)
            return std::nullopt;
        int code = std::stoi(text);
        if (code < 1 || code > 255)
            return std::nullopt;
        return static_cast<uint8_t>(code);
    }
    auto found = namesToCodes().find(lower(text));
    if (found == namesToCodes().end())
        return std::nullopt;
    return found->second;
}

}  // namespace tarnsim
