#include "objectset/object_set_encoder.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>

#include "objectset/object_set_fields.h"
#include "objectset/object_set_format.h"
#include "protocol/tarn_bytes.h"
#include "protocol/tarn_items.h"
#include "protocol/tarn_method_codec.h"
#include "values/integer_literal.h"
#include "values/property_number_text.h"
#include "values/property_type_table.h"
#include "values/text_blanks.h"

namespace objscope {
namespace {

constexpr size_t kTextMax = 128;
constexpr size_t kMaxListBytes = 255;    // an item's length byte
constexpr size_t kMaxNumberItems = 127;  // 2 bytes each within that length
constexpr uint8_t kTypeText2 = 67;
constexpr uint8_t kTypeAddress = 72;

// An integer literal ("$" hexadecimal); nothing when the text does not
// convert.
std::optional<int64_t> Literal(std::string_view text) {
    return IntegerLiteral(TrimBlanks(text));
}

// A decimal number (an integer literal is taken too); nothing when the text
// is no finite number.
std::optional<double> Number(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (!text.empty() && error == std::errc() && end == text.data() + text.size() &&
        std::isfinite(value))
        return value;
    if (auto literal = Literal(text))
        return static_cast<double>(*literal);
    return std::nullopt;
}

void AppendLittleEndian(std::vector<uint8_t>& out, uint64_t raw, size_t size) {
    for (size_t i = 0; i < size; ++i)
        out.push_back(static_cast<uint8_t>(raw >> (8 * i)));
}

bool IsNumericCode(uint8_t code) {
    return (code >= 1 && code <= 4) || (code >= 6 && code <= 13) || (code >= 131 && code <= 167) ||
           code == kTypeTime || code == kTypeDate || code == kTypeRelPtr;
}

bool IsHandleCode(uint8_t code) {
    return (code >= 68 && code <= 71) || (code >= 75 && code <= 80);
}

// The raw range of a value of `size` bytes.
std::pair<int64_t, int64_t> RawRange(size_t size, bool isSigned) {
    if (size >= 8)
        return isSigned ? std::pair{std::numeric_limits<int64_t>::min(),
                                    std::numeric_limits<int64_t>::max()}
                        : std::pair{int64_t{0}, std::numeric_limits<int64_t>::max()};
    int64_t span = int64_t{1} << (8 * size);
    return isSigned ? std::pair{-span / 2, span / 2 - 1} : std::pair{int64_t{0}, span - 1};
}

GroupResult Malformed(std::string reason) {
    GroupResult result;
    result.verdict = GroupVerdict::Malformed;
    result.reason = std::move(reason);
    return result;
}

GroupResult Refused(std::string reason) {
    GroupResult result;
    result.verdict = GroupVerdict::Refused;
    result.reason = std::move(reason);
    return result;
}

GroupResult Encoded(std::vector<uint8_t> value) {
    GroupResult result;
    result.verdict = GroupVerdict::Encoded;
    result.property.value = std::move(value);
    return result;
}

GroupResult EncodeNumber(uint8_t code, std::string_view text) {
    NumericTypeInfo info = NumericTypeFor(code);
    if (info.size == 0)
        return Encoded({});  // a type that carries no value
    auto number = Number(text);
    if (!number)
        return Malformed("the value \"" + std::string(TrimBlanks(text)) + "\" is not a number");
    // Booleans travel raw (0 to 255) in these files.
    double high = code == kTypeBoolean ? 255 : info.max;
    double value = std::clamp(*number, info.min, high);
    std::vector<uint8_t> out;
    if (code == kTypeCoefficient) {
        AppendLittleEndian(out, std::bit_cast<uint32_t>(static_cast<float>(value)), 4);
        return Encoded(std::move(out));
    }
    int64_t raw = RoundToInt64(value * info.steps);
    bool isSigned = info.sign == RawSign::Signed;
    if (code == kTypeDB1) {
        raw += kDB1RawOffset;
        isSigned = false;
    }
    auto [low, highRaw] = RawRange(info.size, isSigned);
    raw = std::clamp(raw, low, highRaw);
    AppendLittleEndian(out, static_cast<uint64_t>(raw), info.size);
    return Encoded(std::move(out));
}

GroupResult EncodeText(std::string_view text) {
    if (text.empty())
        return Encoded({0});
    text = text.substr(0, kTextMax);
    return Encoded(std::vector<uint8_t>(text.begin(), text.end()));
}

GroupResult EncodeAddress(std::string_view text) {
    std::string parts(text);
    std::replace(parts.begin(), parts.end(), ':', ',');
    auto items = SplitListItems(parts);
    if (items.size() != 3)
        return {};
    std::vector<uint8_t> out;
    for (auto item : items) {
        auto word = Literal(item);
        if (!word || *word < 0 || *word > 0xFFFF)
            return {};
        AppendLittleEndian(out, static_cast<uint64_t>(*word), 2);
    }
    return Encoded(std::move(out));
}

// Bytes (bit sets, byte arrays) or 16-bit numbers (number lists).
GroupResult EncodeList(std::string_view text, size_t itemSize) {
    auto items = SplitListItems(text);
    size_t maxItems = itemSize == 1 ? kMaxListBytes : kMaxNumberItems;
    if (items.size() > maxItems)
        return Refused(std::to_string(items.size()) + " items, more than the " +
                       std::to_string(maxItems) + " a property holds");
    int64_t low = itemSize == 1 ? 0 : -32768;
    int64_t high = itemSize == 1 ? 255 : 65535;
    std::vector<uint8_t> out;
    for (auto item : items) {
        auto value = Literal(item);
        if (!value || *value < low || *value > high)
            return Malformed("the item \"" + std::string(item) + "\" is not a number from " +
                             std::to_string(low) + " to " + std::to_string(high));
        AppendLittleEndian(out, static_cast<uint64_t>(*value), itemSize);
    }
    return Encoded(std::move(out));
}

GroupResult EncodeValue(uint8_t code, std::string_view text) {
    if (IsNumericCode(code))
        return EncodeNumber(code, text);
    if (code == kTypeQuadWord) {
        std::vector<uint8_t> out;
        AppendLittleEndian(out, static_cast<uint64_t>(Literal(text).value_or(0)), 8);
        return Encoded(std::move(out));
    }
    if (code == kTypeString || code == kTypeText2)
        return EncodeText(text);
    if (IsHandleCode(code)) {
        std::vector<uint8_t> out;
        AppendLittleEndian(
            out, static_cast<uint64_t>(std::clamp<int64_t>(Literal(text).value_or(0), 0, 0xFFFF)),
            2);
        return Encoded(std::move(out));
    }
    if (code == kTypeAddress)
        return EncodeAddress(text);
    if (code == kTypeBitSet || code == kTypeByteArray)
        return EncodeList(text, 1);
    if (code == kTypeNumberList)
        return EncodeList(text, 2);
    return {};
}

// A header field: invalid text gives 0; nothing when it is beyond 16 bits.
std::optional<uint16_t> Word(std::string_view text) {
    int64_t value = Literal(text).value_or(0);
    if (value < 0 || value > 0xFFFF)
        return std::nullopt;
    return static_cast<uint16_t>(value);
}

LineResult LineMalformed(std::string reason) {
    return {LineResult::Malformed, std::move(reason)};
}

}  // namespace

GroupResult EncodePropertyGroup(std::string_view group) {
    auto fields = SplitPropertyGroup(group);
    if (fields.size() < 3)
        return {};
    int64_t code = Literal(fields[0]).value_or(0);
    int64_t id = Literal(fields[1]).value_or(0);
    if ((code == 0 && id == 0) || code < 0 || code > 255)
        return {};
    if (id < 0 || id > 0xFFFF)
        return Malformed("the property ID \"" + fields[1] + "\" is beyond 16 bits");
    GroupResult result = EncodeValue(static_cast<uint8_t>(code), fields[2]);
    result.property.typeCode = static_cast<uint8_t>(code);
    result.property.propertyId = static_cast<uint16_t>(id & 0x3FFF);
    result.property.text = fields[2];
    return result;
}

LineResult EncodeObjectLine(std::string_view line, ObjectRecord& record) {
    auto fields = SplitObjectSetLine(line);
    if (fields.size() < 5)
        return {};
    uint16_t* header[] = {&record.classId, &record.objectId, &record.ownerId,
                          &record.maxBlobEntries};
    for (size_t i = 0; i < 4; ++i) {
        auto word = Word(fields[i]);
        if (!word)
            return LineMalformed("field " + std::to_string(i + 1) + " (\"" + fields[i] +
                                 "\") is beyond 16 bits");
        *header[i] = *word;
    }
    record.properties.clear();
    record.refusal.clear();
    for (size_t i = 4; i < fields.size(); ++i) {
        GroupResult group = EncodePropertyGroup(fields[i]);
        switch (group.verdict) {
            case GroupVerdict::Encoded:
                record.properties.push_back(std::move(group.property));
                break;
            case GroupVerdict::Skipped:
                break;
            case GroupVerdict::Refused:
                if (record.refusal.empty())
                    record.refusal = "property " + std::to_string(group.property.propertyId) +
                                     ": " + group.reason;
                break;
            case GroupVerdict::Malformed:
                return LineMalformed("(" + fields[i] + "): " + group.reason);
        }
    }
    size_t size = EncodedItemsSize(record.properties);
    if (record.refusal.empty() && size > kObjectSetMaxRecordBytes)
        record.refusal = "its properties take " + std::to_string(size) + " bytes, more than the " +
                         std::to_string(kObjectSetMaxRecordBytes) + " of one record";
    return {LineResult::Record, {}};
}

LineResult EncodeBlobLine(std::string_view line, BlobRecord& record) {
    auto fields = SplitObjectSetLine(line);
    if (fields.size() < 4)
        return {};
    auto object = Word(fields[0]);
    auto start = Word(fields[1]);
    auto count = Word(fields[2]);
    if (!object || !start || !count)
        return LineMalformed("object, start or count is beyond 16 bits");
    if (*start + size_t{*count} > 0x10000)
        return LineMalformed("start " + std::to_string(*start) + " and count " +
                             std::to_string(*count) + " pass the end of a data block");
    auto items = SplitListItems(fields[3]);
    if (items.size() < *count)
        return LineMalformed("the count is " + std::to_string(*count) + " but the line has " +
                             std::to_string(items.size()) + " bytes");
    record.objectId = *object;
    record.start = *start;
    record.bytes.clear();
    for (size_t i = 0; i < *count; ++i) {
        auto value = Literal(items[i]);
        if (!value || *value < 0 || *value > 255)
            return LineMalformed("the byte \"" + std::string(items[i]) +
                                 "\" is not a number from 0 to 255");
        record.bytes.push_back(static_cast<uint8_t>(*value));
    }
    return {LineResult::Record, {}};
}

size_t EncodedItemsSize(const std::vector<EncodedProperty>& properties) {
    size_t size = 0;
    for (const auto& property : properties)
        size += itemHeaderLength(property.value.size()) + property.value.size();
    return size;
}

std::vector<uint8_t> ConfirmObjectPayload(const ObjectRecord& record) {
    std::vector<uint8_t> out;
    ByteWriter writer(out);
    writer.u16(record.classId);
    writer.u16(record.objectId);
    writer.u16(record.ownerId);
    writer.u16(static_cast<uint16_t>(record.properties.size()));
    for (const auto& property : record.properties)
        appendItem(out, property.propertyId, property.value);
    return out;
}

std::vector<uint8_t> BlobWritePayload(const BlobRecord& record) {
    // A line's count is 16-bit, so the write always has a payload.
    return dataBlockWritePayload(record.start, record.bytes).value_or(std::vector<uint8_t>{});
}

}  // namespace objscope
