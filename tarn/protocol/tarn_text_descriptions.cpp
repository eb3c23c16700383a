#include "protocol/tarn_text_descriptions.h"

#include <algorithm>

namespace objscope {
namespace {

constexpr size_t kCountOffset = 2;
constexpr size_t kEntriesOffset = 4;
constexpr size_t kBytesBeforeText = 7;  // ID, four further bytes, length
constexpr size_t kTypeOffset = 2;       // within an entry
constexpr size_t kFlagsOffset = 3;
constexpr size_t kLengthOffset = 6;
constexpr uint8_t kFlagReadOnly = 0x01;
constexpr size_t kMaxTextLength = 255;

void putWord(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

}  // namespace

TextDescriptionPage decodeTextDescriptions(std::span<const uint8_t> answer) {
    TextDescriptionPage page;
    if (answer.size() < kEntriesOffset)
        return page;
    page.declaredCount =
        static_cast<uint16_t>(answer[kCountOffset] | answer[kCountOffset + 1] << 8);
    size_t at = kEntriesOffset;
    for (uint16_t n = 0; n < page.declaredCount; ++n) {
        if (answer.size() - at < kBytesBeforeText)
            break;
        size_t length = answer[at + kLengthOffset];
        if (answer.size() - at - kBytesBeforeText < length)
            break;
        TextDescription entry;
        entry.propertyId = static_cast<uint16_t>(answer[at] | answer[at + 1] << 8);
        auto text = answer.subspan(at + kBytesBeforeText, length);
        entry.text.assign(text.begin(), text.end());
        page.entries.push_back(std::move(entry));
        at += kBytesBeforeText + length;
    }
    return page;
}

EncodedTextPage encodeTextDescriptions(uint16_t classId,
                                       std::span<const PropertyDescription> entries,
                                       size_t maxBytes) {
    EncodedTextPage page;
    std::vector<uint8_t>& out = page.bytes;
    putWord(out, classId);
    putWord(out, 0);  // the count, known at the end
    for (const auto& entry : entries) {
        size_t length = std::min(entry.text.size(), kMaxTextLength);
        if (out.size() + kBytesBeforeText + length > maxBytes || page.entriesWritten == UINT16_MAX)
            break;
        putWord(out, entry.propertyId);
        out.push_back(entry.typeCode);
        out.push_back(entry.readOnly ? kFlagReadOnly : 0);
        putWord(out, 0);
        out.push_back(static_cast<uint8_t>(length));
        out.insert(out.end(), entry.text.begin(),
                   entry.text.begin() + static_cast<ptrdiff_t>(length));
        ++page.entriesWritten;
    }
    out[kCountOffset] = static_cast<uint8_t>(page.entriesWritten);
    out[kCountOffset + 1] = static_cast<uint8_t>(page.entriesWritten >> 8);
    return page;
}

}  // namespace objscope
