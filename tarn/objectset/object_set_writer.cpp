#include "objectset/object_set_writer.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "objectset/object_set_format.h"
#include "values/property_arrays.h"
#include "values/property_handle_value.h"
#include "values/property_multi_value.h"
#include "values/property_number_text.h"
#include "values/property_object_address.h"
#include "values/property_quad_word.h"
#include "values/property_string_value.h"

namespace objscope {
namespace {

constexpr int kSignificantDigits = 15;

std::string NumberText(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general,
                                kSignificantDigits);
    return std::string(buffer, result.ptr);
}

std::string Word(uint16_t value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "$%04X", value);
    return buffer;
}

template <typename Number>
std::string Bracketed(const std::vector<Number>& items) {
    std::string text = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += ',';
        text += std::to_string(items[i]);
    }
    return text + "]";
}

std::string BitSetText(const std::string& bytes) {
    // An empty set is "[" alone; the reader takes it as empty.
    if (bytes.empty())
        return "[";
    std::vector<unsigned> items(bytes.begin(), bytes.end());
    for (auto& item : items)
        item &= 0xFF;
    return Bracketed(items);
}

std::string QuadWordText(int64_t value) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "$%04llX",
                  static_cast<unsigned long long>(static_cast<uint64_t>(value)));
    return buffer;
}

// A text as a file carries it. Zero bytes alone are an empty text: a device
// holds an empty text as one zero byte (that is how a download sends it), so
// both are written as "". Lines end with CR LF, so a CR LF inside a text
// would end the object's line: its LF becomes a blank (a lone CR or LF, as
// the variant letters of user data hold, stays).
std::string OneLine(std::string text) {
    if (std::all_of(text.begin(), text.end(), [](char c) { return c == '\0'; }))
        return {};
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i - 1] == '\r' && text[i] == '\n')
            text[i] = ' ';
    }
    return text;
}

uint16_t OwnerOf(const TVEKPropertyBase& property) {
    if (auto* handle = dynamic_cast<const TU32UWord_int*>(&property))
        return handle->Data();
    if (auto* number = dynamic_cast<const TU32MultiValue*>(&property))
        return static_cast<uint16_t>(RoundToInt64(number->GetData()));
    return kObjectSetNoOwner;
}

}  // namespace

std::string PropertyValueText(const TVEKPropertyBase& property) {
    if (auto* number = dynamic_cast<const TU32MultiValue*>(&property))
        return NumberText(number->GetData());
    if (auto* bits = dynamic_cast<const TU32VEKBitSet*>(&property))
        return BitSetText(bits->Data());
    if (auto* text = dynamic_cast<const TU32StringValue*>(&property))
        return "\"" + OneLine(text->Data()) + "\"";
    if (auto* handle = dynamic_cast<const TU32UWord_int*>(&property))
        return Word(handle->Data());
    if (auto* quad = dynamic_cast<const TU32UQWord*>(&property))
        return QuadWordText(quad->Data());
    if (auto* address = dynamic_cast<const TVEKObject_Address*>(&property))
        return Word(static_cast<uint16_t>(address->Part32() & 0xFFFF)) + ":" +
               Word(static_cast<uint16_t>(address->Part32() >> 16)) + ":" + Word(address->Part16());
    if (auto* list = dynamic_cast<const TU32VEKNumberList*>(&property)) {
        std::vector<int> items(list->Numbers().begin(), list->Numbers().end());
        for (auto& item : items)
            item = static_cast<int16_t>(item);
        return Bracketed(items);
    }
    if (auto* bytes = dynamic_cast<const TU32VEKByteArray*>(&property)) {
        std::vector<unsigned> items(bytes->Bytes().begin(), bytes->Bytes().end());
        return Bracketed(items);
    }
    return {};
}

std::string PropertyGroupText(const TVEKPropertyBase& property) {
    return "(" + std::to_string(property.VEKtype()) + "," +
           std::to_string(property.PropertyID() & 0x3FFF) + "," + PropertyValueText(property) + ")";
}

std::string ObjectLineFor(uint16_t classId, uint16_t objectId, uint16_t maxBlobEntries,
                          std::span<const TVEKPropertyBase* const> listed) {
    uint16_t owner = kObjectSetNoOwner;
    std::string groups;
    for (const TVEKPropertyBase* property : listed) {
        if (!property)
            continue;
        uint16_t id = property->PropertyID() & 0x3FFF;
        if (id == kObjectSetOwnerProperty) {
            owner = OwnerOf(*property);
            continue;
        }
        if (IsLeftOutProperty(classId, id))
            continue;
        groups += ',';
        groups += PropertyGroupText(*property);
    }
    return std::to_string(classId) + "," + std::to_string(objectId) + "," + std::to_string(owner) +
           "," + std::to_string(maxBlobEntries) + groups;
}

std::string BlobLine(uint16_t objectId, uint16_t start, std::span<const uint8_t> bytes) {
    std::string line = std::to_string(objectId) + "," + std::to_string(start) + "," +
                       std::to_string(bytes.size()) + ",(";
    if (bytes.empty())
        return line;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            line += ',';
        line += std::to_string(bytes[i]);
    }
    return line + ")";
}

}  // namespace objscope
