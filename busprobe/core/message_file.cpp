#include "message_file.h"

#include <cstdio>
#include <fstream>

#include "hex_text.h"
#include "platform/ini.h"

namespace busprobe {
namespace {

constexpr const char* kDescription = "Message Description";
constexpr const char* kData = "Message Data";

std::string idText(uint16_t value) {
    return "0x" + hexText(value, 4);
}

bool hasHexPrefix(const std::string& text) {
    return text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

}  // namespace

std::vector<uint8_t> messageData(const ComposedMessage& message) {
    std::vector<uint8_t> data;
    for (const auto& field : message.fields) {
        auto bytes = fieldBytes(field.type, field.text);
        data.insert(data.end(), bytes.begin(), bytes.end());
    }
    return data;
}

bool writeMessageFile(const std::string& path, const ComposedMessage& message) {
    std::remove(path.c_str());
    std::string text;
    text += "[" + std::string(kDescription) + "]\r\n";
    text += "Description=" + path + "\r\n";
    text += "\r\n[" + std::string(kData) + "]\r\n";
    text += "ObjectID=" + idText(message.objectId) + "\r\n";
    text += "MessageID=" + idText(message.messageId) + "\r\n";
    text += "NumberFields=" + std::to_string(message.fields.size()) + "\r\n";
    for (size_t i = 0; i < message.fields.size(); ++i) {
        const auto& field = message.fields[i];
        text +=
            "Field" + std::to_string(i + 1) + "=" + fieldFileText(field.type, field.text) + "\r\n";
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

MessageFileRead readMessageFile(const std::string& path) {
    MessageFileRead read;
    std::string objectText = plat::ini::getString(kData, "ObjectID", "GARBAGE", path);
    std::string messageText = plat::ini::getString(kData, "MessageID", "GARBAGE", path);
    if (!hasHexPrefix(objectText)) {
        read.error = "Invalid Object ID specified in Network Message File !!";
        return read;
    }
    if (!hasHexPrefix(messageText)) {
        read.error = "Invalid Message ID specified in Network Message File !!";
        return read;
    }
    int32_t count = plat::ini::getInt(kData, "NumberFields", -1, path);
    if (count > kMaxFields) {
        read.error = "Invalid Number of Fields specified in Network Message File !!";
        return read;
    }
    read.message.objectId = readHex16(std::string_view(objectText).substr(2));
    read.message.messageId = readHex16(std::string_view(messageText).substr(2));
    size_t total = 0;
    for (int k = 1; k <= count; ++k) {
        std::string fieldText = plat::ini::getString(kData, "Field" + std::to_string(k), "", path);
        ParsedField parsed = parseFieldFileText(fieldText);
        total += fieldBytes(parsed.type, parsed.text).size();
        if (total > kMaxMessageData ||
            parsed.text.size() > static_cast<size_t>(kMaxFieldTextLength)) {
            // Refused whole: a composer that held only part of it would save
            // a different message under the same name.
            read = {};
            read.error = "Field " + std::to_string(k) + " holds more than a message can carry (" +
                         std::to_string(kMaxMessageData) + " bytes) !!";
            return read;
        }
        read.message.fields.push_back({parsed.type, parsed.text});
        if (!parsed.complete) {
            read.badFields.push_back(k);
        }
    }
    return read;
}

}  // namespace busprobe
