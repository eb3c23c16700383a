#include "net_field.h"

#include <array>

#include "hex_text.h"

namespace busprobe {
namespace {

struct TypeInfo {
    std::string_view name;
    std::string_view label;
    int elementSize;
    int maxDigits;
};

constexpr std::array<TypeInfo, kFieldTypeCount> kTypes{{
    {"Byte", "[Byte]", 1, 2},
    {"Word", "[Word]", 2, 4},
    {"DWord", "[DWord]", 4, 8},
    {"Text", "[Text]", 1, 0},
    {"ByteList", "[Byte List ]", 1, 2},
    {"WordList", "[Word List ]", 2, 4},
    {"DWordList", "[DWord List]", 4, 8},
}};

const TypeInfo& info(FieldType type) {
    return kTypes[static_cast<size_t>(type)];
}

void appendLittleEndian(std::vector<uint8_t>& out, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

// Splits at commas; "" gives one empty element.
std::vector<std::string_view> splitCommas(std::string_view text) {
    std::vector<std::string_view> parts;
    while (true) {
        size_t comma = text.find(',');
        parts.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos) {
            return parts;
        }
        text.remove_prefix(comma + 1);
    }
}

uint32_t elementMask(int size) {
    return size >= 4 ? 0xFFFFFFFFu : (1u << (8 * size)) - 1;
}

}  // namespace

std::optional<FieldType> fieldTypeFromCode(int code) {
    if (code < 0 || code >= kFieldTypeCount) {
        return std::nullopt;
    }
    return static_cast<FieldType>(code);
}

std::string_view fieldTypeName(FieldType type) {
    return info(type).name;
}

std::string_view fieldTypeLabel(FieldType type) {
    return info(type).label;
}

int fieldElementSize(FieldType type) {
    return info(type).elementSize;
}

int fieldMaxDigits(FieldType type) {
    return info(type).maxDigits;
}

bool isListType(FieldType type) {
    return type == FieldType::ByteList || type == FieldType::WordList ||
           type == FieldType::DWordList;
}

FieldType baseFieldType(FieldType type) {
    return isListType(type) ? static_cast<FieldType>(fieldTypeCode(type) - 4) : type;
}

std::vector<uint8_t> fieldBytes(FieldType type, std::string_view text) {
    std::vector<uint8_t> bytes;
    if (type == FieldType::Text) {
        bytes.assign(text.begin(), text.end());
        return bytes;
    }
    int size = fieldElementSize(type);
    if (!isListType(type)) {
        appendLittleEndian(bytes, readHex(text), size);
        return bytes;
    }
    for (auto element : splitCommas(text)) {
        appendLittleEndian(bytes, readHex(element), size);
    }
    return bytes;
}

std::string fieldFileText(FieldType type, std::string_view text) {
    std::string out(fieldTypeName(type));
    if (type == FieldType::Text) {
        out.append(", \"").append(text).append("\"");
        return out;
    }
    int size = fieldElementSize(type);
    std::vector<std::string_view> elements =
        isListType(type) ? splitCommas(text) : std::vector<std::string_view>{text};
    for (auto element : elements) {
        out += ", 0x" + hexText(readHex(element) & elementMask(size), 2 * size);
    }
    return out;
}

ParsedField parseFieldFileText(std::string_view fieldText) {
    static constexpr std::array<FieldType, kFieldTypeCount> kOrder{
        FieldType::DWordList, FieldType::WordList, FieldType::ByteList, FieldType::Text,
        FieldType::DWord,     FieldType::Word,     FieldType::Byte};
    ParsedField parsed;
    for (FieldType type : kOrder) {
        if (fieldText.substr(0, fieldTypeName(type).size()) == fieldTypeName(type)) {
            parsed.type = type;
            parsed.typeKnown = true;
            break;
        }
    }
    if (!parsed.typeKnown) {
        return parsed;
    }
    size_t comma = fieldText.find(',');
    std::string_view value =
        comma == std::string_view::npos ? std::string_view{} : fieldText.substr(comma + 1);
    if (parsed.type == FieldType::Text) {
        size_t quote = value.find('"');
        if (quote == std::string_view::npos || value.back() != '"') {
            return parsed;
        }
        size_t end = value.size() - 1;
        parsed.text = quote < end ? std::string(value.substr(quote + 1, end - quote - 1)) : "";
        parsed.complete = true;
        return parsed;
    }
    int size = fieldElementSize(parsed.type);
    std::vector<std::string_view> items = splitCommas(value);
    for (auto item : items) {
        size_t prefix = item.find("0x");
        if (prefix == std::string_view::npos) {
            prefix = item.find("0X");
        }
        if (prefix == std::string_view::npos) {
            return parsed;
        }
        // An element with more significant digits than its size holds is
        // refused rather than silently cut.
        std::string_view digits = item.substr(prefix + 2);
        size_t count = 0;
        while (count < digits.size() && hexDigit(digits[count])) {
            ++count;
        }
        size_t firstSignificant = digits.substr(0, count).find_first_not_of('0');
        size_t significant =
            firstSignificant == std::string_view::npos ? 0 : count - firstSignificant;
        if (significant > static_cast<size_t>(2 * size)) {
            return parsed;
        }
        if (!parsed.text.empty()) {
            parsed.text += ',';
        }
        parsed.text += hexText(readHex(digits), 2 * size);
        if (!isListType(parsed.type)) {
            // A single value with more items: the first is kept, the rest reported.
            parsed.complete = items.size() == 1;
            return parsed;
        }
    }
    parsed.complete = true;
    return parsed;
}

bool fieldAcceptsKey(FieldType type, std::string_view text, size_t selectionStart,
                     size_t selectionLength, char c) {
    if (c == '\b' || type == FieldType::Text) {
        return true;
    }
    bool list = isListType(type);
    if (list && c == ',') {
        return true;
    }
    if (!hexDigit(c)) {
        return false;
    }
    size_t maxDigits = static_cast<size_t>(fieldMaxDigits(type));
    if (!list) {
        return text.size() - selectionLength + 1 <= maxDigits;
    }
    // The element around the caret: between the nearest commas, without the
    // selected characters.
    size_t selectionEnd = std::min(text.size(), selectionStart + selectionLength);
    size_t before =
        text.rfind(',', selectionStart == 0 ? std::string_view::npos : selectionStart - 1);
    size_t begin = (selectionStart == 0 || before == std::string_view::npos) ? 0 : before + 1;
    size_t after = text.find(',', selectionEnd);
    size_t end = after == std::string_view::npos ? text.size() : after;
    size_t kept = (selectionStart - begin) + (end - selectionEnd);
    return kept + 1 <= maxDigits;
}

bool idBoxAcceptsKey(std::string_view text, size_t selectionLength, char c) {
    if (c == '\b') {
        return true;
    }
    return hexDigit(c).has_value() && text.size() - selectionLength + 1 <= 4;
}

}  // namespace busprobe
