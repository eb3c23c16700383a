#include "windows/prop_grid_rules.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

#include "values/numbers.h"
#include "values/property_arrays.h"
#include "values/property_handle_value.h"
#include "values/property_number_text.h"
#include "values/property_object_address.h"
#include "values/property_quad_word.h"
#include "values/property_string_value.h"
#include "values/property_typed_values.h"
#include "windows/integer_text.h"

namespace objscope {
namespace {

constexpr char kUnknownTypeText[] = ">> Unknown Type >>";
constexpr char kDigitPositions[] = "999999999999999";
constexpr size_t kMaxDigitPositions = sizeof kDigitPositions - 1;
constexpr size_t kMaxCellText = 255;
constexpr double kDecadeMinHertz = 1.0;
constexpr double kDecadeMaxHertz = 40000.0;

const TU32MultiValue* AsNumber(const TVEKPropertyBase& property) {
    return dynamic_cast<const TU32MultiValue*>(&property);
}

bool HasType(const TVEKPropertyBase& property, uint8_t code) {
    return AsNumber(property) && property.VEKtype() == code;
}

bool IsKnownKind(const TVEKPropertyBase& p) {
    return AsNumber(p) || dynamic_cast<const TU32UWord_int*>(&p) ||
           dynamic_cast<const TU32UQWord*>(&p) || dynamic_cast<const TU32StringValue*>(&p) ||
           dynamic_cast<const TVEKObject_Address*>(&p) ||
           dynamic_cast<const TU32VEKNumberList*>(&p) || dynamic_cast<const TU32VEKByteArray*>(&p);
}

std::string Trimmed(std::string_view text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Keeps "$" and hex digits when the text holds "$", else "+-.E" and digits.
std::string FilterNumberText(std::string_view text) {
    bool hex = text.find('$') != std::string_view::npos;
    std::string kept;
    for (char c : text) {
        bool keep = hex ? (c == '$' || IsHexDigit(c))
                        : (c == '+' || c == '-' || c == '.' || c == 'E' || (c >= '0' && c <= '9'));
        if (keep)
            kept += c;
    }
    return kept;
}

std::optional<double> FloatText(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// A filtered number text: "$" text as a 64-bit hexadecimal integer, other
// text as a floating-point number; an empty text is 0.
std::optional<double> NumberOfFilteredText(const std::string& filtered) {
    if (filtered.empty())
        return 0.0;
    if (filtered.find('$') != std::string::npos) {
        auto value = IntegerLiteral(filtered);
        if (!value)
            return std::nullopt;
        return static_cast<double>(static_cast<uint64_t>(*value));
    }
    return FloatText(filtered);
}

double RoundToResolution(const TU32MultiValue& number, double value) {
    double steps = number.StepsPerUnit();
    if (steps == 0)
        return value;
    return static_cast<double>(RoundToInt64(value * steps)) / steps;
}

int DigitCount(double x) {
    if (x == 0)
        return 0;
    return static_cast<int>(std::llround(std::log10(std::fabs(x)) + 1));
}

std::string NumericMask(const TU32MultiValue& number) {
    if (RoundToInt64(number.StepsPerUnit()) >= 2)
        return {};
    std::string mask = number.Min() >= 0 ? "!" : "!#";
    int digits = std::max(DigitCount(number.Max()), DigitCount(number.Min()));
    if (digits <= 0)
        digits = 1;
    mask.append(kDigitPositions, std::min<size_t>(static_cast<size_t>(digits), kMaxDigitPositions));
    return mask + ";1; ";
}

// The number in characters `from`..`from + length - 1` (1-based) of `text`.
std::optional<int64_t> NumberAt(std::string_view text, size_t from, size_t length) {
    if (text.size() < from)
        return std::nullopt;
    return IntegerLiteral(Trimmed(text.substr(from - 1, length)));
}

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t at = text.find(separator, start);
        parts.push_back(
            Trimmed(text.substr(start, at == std::string_view::npos ? at : at - start)));
        if (at == std::string_view::npos)
            return parts;
        start = at + 1;
    }
}

int64_t PartOr(const std::vector<std::string>& parts, size_t index, int64_t fallback) {
    if (index >= parts.size())
        return fallback;
    return IntegerLiteral(parts[index]).value_or(fallback);
}

// The items of a " | " list, element by element: item i is the text up to
// its first blank, the rest starts after the first "|".
template <class Store>
void ForEachBarItem(std::string_view text, size_t count, Store store) {
    std::string rest = Trimmed(text);
    for (size_t i = 0; i < count; ++i) {
        size_t blank = rest.find(' ');
        if (auto value = IntegerLiteral(rest.substr(0, blank)))
            store(i, *value);
        size_t bar = rest.find('|');
        if (bar == std::string::npos)
            return;
        rest = Trimmed(std::string_view(rest).substr(bar + 1));
    }
}

std::string NormaliseDate(std::string_view text) {
    int64_t month = std::min<int64_t>(NumberAt(text, 1, 2).value_or(1), 12);
    int64_t day = std::min<int64_t>(NumberAt(text, 4, 2).value_or(1), 31);
    int64_t year = NumberAt(text, 7, 4).value_or(2000);
    return std::to_string(month) + "/" + std::to_string(day) + "/" + std::to_string(year);
}

std::string NormaliseTime(std::string_view text) {
    int64_t hours = NumberAt(text, 1, 2).value_or(1);
    int64_t minutes = NumberAt(text, 4, 2).value_or(0);
    int64_t seconds = NumberAt(text, 7, 2).value_or(0);
    char out[64];
    std::snprintf(out, sizeof out, "%lld:%02lld:%02lld", static_cast<long long>(hours),
                  static_cast<long long>(minutes), static_cast<long long>(seconds));
    return out;
}

std::string NormaliseNumber(const TU32MultiValue& number, std::string_view edited) {
    bool decade = number.VEKtype() == kTypeDecade2;
    auto* decadeValue = dynamic_cast<const TU32VEKDecade2*>(&number);
    double current = decadeValue ? decadeValue->GetFrequency() : number.GetData();
    double value = NumberOfFilteredText(FilterNumberText(edited)).value_or(current);
    if (decade) {
        value = std::clamp(std::round(value * 10) / 10, kDecadeMinHertz, kDecadeMaxHertz);
    } else {
        value = RoundToResolution(number, value);
        value = std::max(std::min(value, number.Max()), number.Min());
    }
    if (number.VEKtype() == kTypeUDWord) {
        std::string text = "$";
        text += HexWithoutLeadingZeros(
            static_cast<uint64_t>(std::max<int64_t>(RoundToInt64(value), 0)));
        return text;
    }
    return ShortestDecimal(value) + number.UnitText();
}

void ParseNumber(TU32MultiValue& number, std::string_view cell) {
    std::string filtered = FilterNumberText(CleanNumberText(cell));
    double value = NumberOfFilteredText(filtered).value_or(0.0);
    if (auto* decade = dynamic_cast<TU32VEKDecade2*>(&number))
        decade->SetFrequency(value);
    else
        number.SetData(value);
}

void ParseDate(TU32MultiValue& number, std::string_view cell) {
    auto parts = Split(cell, '/');
    int64_t month = PartOr(parts, 0, 1), day = PartOr(parts, 1, 1), year = PartOr(parts, 2, 2000);
    number.SetData(static_cast<double>(day + 32 * month + 512 * std::max<int64_t>(year - 1980, 0)));
}

void ParseTime(TU32MultiValue& number, std::string_view cell) {
    auto parts = Split(cell, ':');
    int64_t hours = PartOr(parts, 0, 1), minutes = PartOr(parts, 1, 1),
            seconds = PartOr(parts, 2, 0);
    number.SetData(static_cast<double>(seconds / 2 + 32 * minutes + 2048 * hours));
}

void ParseObjectAddress(TVEKObject_Address& address, std::string_view cell) {
    auto parts = Split(cell, ':');
    if (parts.size() != 3)
        return;
    std::optional<int64_t> values[3];
    for (size_t i = 0; i < 3; ++i) {
        values[i] = IntegerLiteral(parts[i]);
        if (!values[i] || *values[i] < 0 || *values[i] > 65535 || parts[i].starts_with('$'))
            return;
    }
    address.SetParts(static_cast<uint32_t>(*values[0] | *values[1] << 16),
                     static_cast<uint16_t>(*values[2]));
}

void ParseQuadWord(TU32UQWord& quad, std::string_view cell) {
    std::string filtered = FilterNumberText(CleanNumberText(cell));
    if (filtered.empty()) {
        quad.SetData(0);
        return;
    }
    if (auto value = IntegerLiteral(filtered))
        quad.SetData(*value);
}

void ParseBitSet(TU32VEKBitSet& bits, std::string_view cell) {
    std::string bytes = bits.Data();
    ForEachBarItem(cell, bytes.size(), [&](size_t i, int64_t value) {
        if (value >= 0 && value <= 255)
            bytes[i] = static_cast<char>(value);
    });
    bits.SetData(bytes);
}

void ParseNumberList(TU32VEKNumberList& list, std::string_view cell) {
    std::vector<uint16_t> numbers = list.Numbers();
    ForEachBarItem(cell, numbers.size(), [&](size_t i, int64_t value) {
        if (value >= INT16_MIN && value <= INT16_MAX)
            numbers[i] = static_cast<uint16_t>(static_cast<int16_t>(value));
    });
    list.SetNumbers(std::move(numbers));
}

void ParseByteArray(TU32VEKByteArray& array, std::string_view cell) {
    std::vector<uint8_t> bytes = array.Bytes();
    ForEachBarItem(cell, bytes.size(), [&](size_t i, int64_t value) {
        if (value >= 0 && value <= 255)
            bytes[i] = static_cast<uint8_t>(value);
    });
    array.SetBytes(std::move(bytes));
}

}  // namespace

std::string PropertyTag(uint16_t propertyId) {
    unsigned page = (propertyId >> 10) & 0xF;
    unsigned number = propertyId & 0x2FF;
    return " [" + std::to_string(page) + "p" + std::to_string(number) + "]";
}

std::string GridValueText(const TVEKPropertyBase& property) {
    if (HasType(property, kTypeBoolean))
        return AsNumber(property)->GetData() != 0 ? "True" : "False";
    if (!IsKnownKind(property))
        return kUnknownTypeText;
    return property.DisplayText();
}

GridEditorKind EditorKindFor(const TVEKPropertyBase& property) {
    return HasType(property, kTypeBoolean) ? GridEditorKind::Boolean : GridEditorKind::Value;
}

std::string EditMaskFor(const TVEKPropertyBase& property) {
    if (HasType(property, kTypeDate))
        return "99/99/9999;1";
    if (HasType(property, kTypeTime))
        return "99:99:99;1";
    const TU32MultiValue* number = AsNumber(property);
    if (!number || number->VEKtype() == kTypeUDWord)
        return {};
    return NumericMask(*number);
}

std::string EditorStartText(const TVEKPropertyBase& property, std::string_view cellText) {
    if (AsNumber(property) && !HasType(property, kTypeDate) && !HasType(property, kTypeTime))
        return CleanNumberText(cellText);
    return std::string(cellText);
}

std::string NormaliseEditedText(const TVEKPropertyBase& property, std::string_view edited) {
    if (HasType(property, kTypeDate))
        return NormaliseDate(edited);
    if (HasType(property, kTypeTime))
        return NormaliseTime(edited);
    if (HasType(property, kTypeBoolean))
        return std::string(edited);
    if (const TU32MultiValue* number = AsNumber(property))
        return NormaliseNumber(*number, edited);
    if (auto* handle = dynamic_cast<const TU32UWord_int*>(&property)) {
        int64_t value = IntegerLiteral(Trimmed(edited)).value_or(handle->Data());
        return std::to_string(std::clamp<int64_t>(value, handle->Min(), handle->Max()));
    }
    return std::string(edited);
}

void ParseCellIntoProperty(TVEKPropertyBase& property, std::string_view cell) {
    if (auto* number = dynamic_cast<TU32MultiValue*>(&property)) {
        if (number->VEKtype() == kTypeBoolean)
            number->SetData(cell == "True" ? 1 : 0);
        else if (number->VEKtype() == kTypeDate)
            ParseDate(*number, cell);
        else if (number->VEKtype() == kTypeTime)
            ParseTime(*number, cell);
        else
            ParseNumber(*number, cell);
    } else if (auto* handle = dynamic_cast<TU32UWord_int*>(&property)) {
        if (auto value = IntegerLiteral(Trimmed(cell)))
            handle->SetData(static_cast<uint16_t>(std::clamp<int64_t>(*value, 0, 65535)));
    } else if (auto* bits = dynamic_cast<TU32VEKBitSet*>(&property)) {
        ParseBitSet(*bits, cell);
    } else if (auto* text = dynamic_cast<TU32StringValue*>(&property)) {
        text->SetData(cell.substr(0, kMaxCellText));
    } else if (auto* address = dynamic_cast<TVEKObject_Address*>(&property)) {
        ParseObjectAddress(*address, cell);
    } else if (auto* list = dynamic_cast<TU32VEKNumberList*>(&property)) {
        ParseNumberList(*list, cell);
    } else if (auto* array = dynamic_cast<TU32VEKByteArray*>(&property)) {
        ParseByteArray(*array, cell);
    } else if (auto* quad = dynamic_cast<TU32UQWord*>(&property)) {
        ParseQuadWord(*quad, cell);
    }
}

}  // namespace objscope
