// Writing device files: the same keywords the reader takes, engineering
// values in their shortest form that reads back to the same wire bytes.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "model/class_catalogue.h"
#include "device_file.h"
#include "objectset/file_replacing.h"
#include "file_tokens.h"
#include "property_values.h"

namespace tarnsim {
namespace {

constexpr size_t kDataBytesPerLine = 32;

std::string shortestNumber(double value, uint8_t typeCode, std::span<const uint8_t> wire) {
    char text[64];
    for (int precision = 6; precision <= 17; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, value);
        auto back = wireBytesFor(typeCode, std::strtod(text, nullptr));
        if (back && std::equal(back->begin(), back->end(), wire.begin(), wire.end()))
            return text;
    }
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string limitText(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    for (int precision = 6; precision <= 17; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, value);
        if (std::strtod(text, nullptr) == value)
            break;
    }
    return text;
}

std::string hexByte(uint8_t byte) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

std::string valueText(const DeviceProperty& property) {
    const auto& v = property.value;
    switch (valueKindOf(property.typeCode)) {
        case ValueKind::Text:
            return quoteText({reinterpret_cast<const char*>(v.data()), v.size()});
        case ValueKind::Address: {
            uint32_t first = 0;
            for (size_t i = 0; i < 4 && i < v.size(); ++i)
                first |= static_cast<uint32_t>(v[i]) << (8 * i);
            unsigned second = v.size() >= 6 ? (v[4] | (v[5] << 8)) : 0;
            return std::to_string(first) + " " + std::to_string(second);
        }
        case ValueKind::Numbers: {
            std::string text;
            for (size_t i = 0; i + 1 < v.size(); i += 2) {
                if (!text.empty())
                    text += ' ';
                text += std::to_string(v[i] | (v[i + 1] << 8));
            }
            return text;
        }
        case ValueKind::Bytes: {
            std::string text;
            for (uint8_t byte : v) {
                if (!text.empty())
                    text += ' ';
                text += hexByte(byte);
            }
            return text;
        }
        default: {
            auto value = engineeringValue(property.typeCode, v);
            return value ? shortestNumber(*value, property.typeCode, v) : "0";
        }
    }
}

std::string propLine(const DeviceProperty& property) {
    std::string type = typeName(property.typeCode);
    if (type.empty())
        type = std::to_string(property.typeCode);
    std::string line = "  prop " + std::to_string(property.id) + " " + type;
    std::string value = valueText(property);
    if (!value.empty())
        line += " " + value;
    if (property.readOnly)
        line += " readonly";
    if (property.wiggle)
        line += " wiggle";
    if (property.min)
        line += " min " + limitText(*property.min);
    if (property.max)
        line += " max " + limitText(*property.max);
    if (!property.text.empty())
        line += " text " + quoteText(property.text);
    return line + "\n";
}

std::string objectLines(const DeviceObject& object) {
    std::string text =
        "object " + std::to_string(object.handle) + " class " + std::to_string(object.classId);
    if (object.owner != kNoOwner)
        text += " owner " + std::to_string(object.owner);
    text += "    # " + std::string(objscope::LookupClass(object.classId).displayName) + "\n";
    for (const auto& property : object.properties)
        text += propLine(property);
    if (object.dataBlock) {
        const auto& block = *object.dataBlock;
        if (block.empty())
            text += "  data\n";
        for (size_t i = 0; i < block.size(); i += kDataBytesPerLine) {
            text += "  data";
            for (size_t k = i; k < block.size() && k < i + kDataBytesPerLine; ++k) {
                text += ' ';
                text += hexByte(block[k]);
            }
            text += "\n";
        }
    }
    if (object.matrix) {
        text += "  matrix " + std::to_string(object.matrix->inputs) + " " +
                std::to_string(object.matrix->outputs);
        for (const auto& [input, output] : object.matrix->connected) {
            text += ' ';
            text += std::to_string(input);
            text += ':';
            text += std::to_string(output);
        }
        text += "\n";
    }
    if (object.tests) {
        size_t perRun = object.tests->runs.empty() ? 0 : object.tests->runs.front().results.size();
        text += "  tests " + std::to_string(object.tests->runs.size()) + " " +
                std::to_string(perRun) + " " + std::to_string(object.tests->eobResults.size()) +
                "\n";
    }
    return text;
}

}  // namespace

std::string formatDeviceFile(const DeviceContents& contents) {
    std::string text =
        "# tarnsim device file (see docs/tarnsim-device-files.md)\n"
        "# object HANDLE class CLASS [owner HANDLE]; prop ID TYPE VALUE [readonly] [wiggle]"
        " [min X] [max X] [text \"T\"]\n\n";
    for (const auto& object : contents.objects)
        text += objectLines(object) + "\n";
    return text;
}

void writeFileReplacing(const std::string& path, const std::string& text) {
    if (!objscope::WriteFileReplacing(path, text))
        throw std::runtime_error(path + ": cannot be written");
}

void saveDeviceFile(const DeviceContents& contents, const std::string& path) {
    writeFileReplacing(path, formatDeviceFile(contents));
}

}  // namespace tarnsim
