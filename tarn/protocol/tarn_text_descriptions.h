// The answer of the class-text method (1031): the text descriptions of the
// properties of one class, a page at a time.
//
//   bytes 0..1  u16 class ID the page describes (not used by the requester)
//   bytes 2..3  u16 count of entries in this page
//   from 4      per entry: u16 property ID, 4 further bytes, u8 length,
//               that many characters of text
//
// The four further bytes are the property's type code, a flags byte
// (bit 0: read-only) and two reserved zero bytes; the requester skips them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace objscope {

struct TextDescription {
    uint16_t propertyId = 0;
    std::string text;
    bool operator==(const TextDescription&) const = default;
};

struct TextDescriptionPage {
    uint16_t declaredCount = 0;  // the count the device wrote
    // The whole entries that arrived, at most the declared count; an entry
    // that runs past the end of the answer ends the page.
    std::vector<TextDescription> entries;
};

TextDescriptionPage decodeTextDescriptions(std::span<const uint8_t> answer);

// What a device writes for one property.
struct PropertyDescription {
    uint16_t propertyId = 0;
    uint8_t typeCode = 0;
    bool readOnly = false;
    std::string text;
};

struct EncodedTextPage {
    std::vector<uint8_t> bytes;
    size_t entriesWritten = 0;  // from the front of the given entries
};

// Writes as many whole entries as fit `maxBytes` (texts longer than 255
// characters are cut to 255). Always writes the 4-byte head.
EncodedTextPage encodeTextDescriptions(uint16_t classId,
                                       std::span<const PropertyDescription> entries,
                                       size_t maxBytes);

}  // namespace objscope
