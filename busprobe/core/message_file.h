// Message files (*.MSG): the composed message as an INI text with CR LF line
// ends, read back with clear errors and per-field warnings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net_field.h"

namespace busprobe {

inline constexpr int kMaxFields = 50;

struct ComposedField {
    FieldType type = FieldType::Byte;
    std::string text;
    bool operator==(const ComposedField&) const = default;
};

struct ComposedMessage {
    uint16_t objectId = 0;
    uint16_t messageId = 0;
    std::vector<ComposedField> fields;
};

// The data bytes of the composed message: every field's bytes in order.
std::vector<uint8_t> messageData(const ComposedMessage& message);

// Replaces `path` with the message's keys in their order. Field texts are
// written whole, however long, so no element is ever cut. False when the file
// cannot be written.
bool writeMessageFile(const std::string& path, const ComposedMessage& message);

struct MessageFileRead {
    // Empty when the file was accepted; otherwise the message to show (the
    // composer must then stay as it is).
    std::string error;
    ComposedMessage message;
    // 1-based numbers of fields that did not parse (kept as far as they did).
    std::vector<int> badFields;
};

MessageFileRead readMessageFile(const std::string& path);

}  // namespace busprobe
