// Property items: the unit in which a property value travels inside a Tarn
// payload.
//
//   u16  bits 0..13 property ID, bits 14..15 size code
//        (0 = 1-byte value, 1 = 2 bytes, 2 = 4 bytes, 3 = variable length)
//   u8   value length, only for size code 3
//   ...  the value bytes, little-endian for numbers
//
// The size code is always computed from the value's wire size when an item is
// written, whatever bits 14..15 of the stored property ID hold. The value
// bytes themselves come from the property value types (PackData/UnPackData);
// this unit only frames them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace objscope {

constexpr uint16_t kPropertyIdMask = 0x3FFF;
constexpr size_t kMaxVariableItemValue = 255;  // the length byte's range

enum class ItemSizeCode : uint8_t { OneByte = 0, TwoBytes = 1, FourBytes = 2, Variable = 3 };

// The size code an item of `wireSize` value bytes is written with:
// 1 -> 0, 2 -> 1, 4 -> 2, anything else -> 3 (with a length byte).
constexpr ItemSizeCode itemSizeCodeFor(size_t wireSize) {
    switch (wireSize) {
        case 1:
            return ItemSizeCode::OneByte;
        case 2:
            return ItemSizeCode::TwoBytes;
        case 4:
            return ItemSizeCode::FourBytes;
        default:
            return ItemSizeCode::Variable;
    }
}

// Header length (2, or 3 with the length byte) for a value of `wireSize` bytes.
constexpr size_t itemHeaderLength(size_t wireSize) {
    return itemSizeCodeFor(wireSize) == ItemSizeCode::Variable ? 3 : 2;
}

// The 16-bit header word: the low 14 bits of the ID with the computed size code.
constexpr uint16_t itemHeaderWord(uint16_t propertyId, size_t wireSize) {
    return static_cast<uint16_t>((propertyId & kPropertyIdMask) |
                                 (static_cast<unsigned>(itemSizeCodeFor(wireSize)) << 14));
}

// True when a value of this size can be framed (a variable value needs its
// length to fit the length byte).
constexpr bool itemValueSizeFits(size_t wireSize) {
    return itemSizeCodeFor(wireSize) != ItemSizeCode::Variable || wireSize <= kMaxVariableItemValue;
}

// Appends the item header (2 or 3 bytes) for a value of `wireSize` bytes.
// Returns the header length, or 0 (nothing appended) when the size cannot be
// framed.
size_t appendItemHeader(std::vector<uint8_t>& out, uint16_t propertyId, size_t wireSize);

// Appends a whole item (header and value). Returns the item length, or 0
// (nothing appended) when the value is too long for a length byte.
size_t appendItem(std::vector<uint8_t>& out, uint16_t propertyId, std::span<const uint8_t> value);

// The item as a vector (empty when the value cannot be framed).
std::vector<uint8_t> encodeItem(uint16_t propertyId, std::span<const uint8_t> value);

// One item as it lies in a received buffer; `value` points into that buffer.
struct ItemView {
    uint16_t headerWord = 0;  // as received, size code included
    ItemSizeCode sizeCode = ItemSizeCode::OneByte;
    size_t headerLength = 0;  // 2 or 3
    std::span<const uint8_t> value;

    uint16_t propertyId() const { return headerWord & kPropertyIdMask; }
    size_t wireSize() const { return value.size(); }
    size_t totalLength() const { return headerLength + value.size(); }
};

// Reads the item header at the start of `bytes`: the wire size it announces
// and the header length. Nothing when the header itself is cut off.
struct ItemHeader {
    uint16_t headerWord = 0;
    ItemSizeCode sizeCode = ItemSizeCode::OneByte;
    size_t headerLength = 0;
    size_t wireSize = 0;
};
std::optional<ItemHeader> readItemHeader(std::span<const uint8_t> bytes);

// Reads one item at the start of `bytes`. Nothing when the header or the value
// runs past the end of `bytes`.
std::optional<ItemView> readItem(std::span<const uint8_t> bytes);

}  // namespace objscope
