// The answer of the class-text method (1031): the text descriptions of the
// properties of one class, a page at a time.
//
//   bytes 0..1  (not used here)
//   bytes 2..3  u16 count of entries in this page
//   from 4      per entry: u16 property ID, 4 further bytes, u8 length,
//               that many characters of text
#pragma once

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

}  // namespace objscope
