#include "core/tarn_text_descriptions.h"

namespace objscope {
namespace {

constexpr size_t kCountOffset = 2;
constexpr size_t kEntriesOffset = 4;
constexpr size_t kBytesBeforeText = 7;  // ID, four further bytes, length

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
        size_t length = answer[at + 6];
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

}  // namespace objscope
