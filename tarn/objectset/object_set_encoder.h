// From the text of an object set file to what a device is sent: each
// property group encoded by its type code (the value's wire bytes), an object
// line into the set-object-properties record, a BLOB line into its chunk.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace objscope {

struct EncodedProperty {
    uint16_t propertyId = 0;  // 14 bits
    uint8_t typeCode = 0;
    std::vector<uint8_t> value;  // the item's value bytes
    std::string text;            // the value as the file wrote it
};

enum class GroupVerdict {
    Encoded,
    Skipped,    // too few fields, ID and type 0, a type without a file form
    Refused,    // a value the device record cannot carry (too many items)
    Malformed,  // a value that does not read as its type's value
};

struct GroupResult {
    GroupVerdict verdict = GroupVerdict::Skipped;
    EncodedProperty property;
    std::string reason;  // for Refused and Malformed
};

// One group's text (without its parentheses): type code, property ID, value.
// Numbers out of a type's range are clamped to its limits, never wrapped.
GroupResult EncodePropertyGroup(std::string_view group);

struct ObjectRecord {
    size_t line = 0;  // 1-based line of the file
    uint16_t classId = 0;
    uint16_t objectId = 0;
    uint16_t ownerId = 0;
    uint16_t maxBlobEntries = 0;
    std::vector<EncodedProperty> properties;
    // Not empty: the object cannot be sent, and this says why.
    std::string refusal;
};

struct BlobRecord {
    size_t line = 0;
    uint16_t objectId = 0;
    uint16_t start = 0;
    std::vector<uint8_t> bytes;
};

// What became of one line.
struct LineResult {
    enum Kind { Record, Skipped, Malformed } kind = Skipped;
    std::string reason;  // Malformed
};

// An object line: nothing (Skipped) with fewer than five fields.
LineResult EncodeObjectLine(std::string_view line, ObjectRecord& record);
// A BLOB line: Skipped with fewer than four fields; Malformed when the count
// asks for more bytes than the line has or a byte is above 255.
LineResult EncodeBlobLine(std::string_view line, BlobRecord& record);

// The items of the record's properties as sent (header and value each).
size_t EncodedItemsSize(const std::vector<EncodedProperty>& properties);
// The set-object-properties payload: class, object, owner and property
// count (16-bit LE each), then the items.
std::vector<uint8_t> ConfirmObjectPayload(const ObjectRecord& record);
// The write of a BLOB chunk: start, count (16-bit LE), the bytes.
std::vector<uint8_t> BlobWritePayload(const BlobRecord& record);

}  // namespace objscope
