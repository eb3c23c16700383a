#include "protocol/tarn_items.h"

#include "protocol/tarn_bytes.h"

namespace objscope {

size_t appendItemHeader(std::vector<uint8_t>& out, uint16_t propertyId, size_t wireSize) {
    if (!itemValueSizeFits(wireSize))
        return 0;
    ByteWriter writer(out);
    writer.u16(itemHeaderWord(propertyId, wireSize));
    if (itemSizeCodeFor(wireSize) == ItemSizeCode::Variable) {
        writer.u8(static_cast<uint8_t>(wireSize));
    }
    return itemHeaderLength(wireSize);
}

size_t appendItem(std::vector<uint8_t>& out, uint16_t propertyId, std::span<const uint8_t> value) {
    size_t header = appendItemHeader(out, propertyId, value.size());
    if (header == 0)
        return 0;
    out.insert(out.end(), value.begin(), value.end());
    return header + value.size();
}

std::vector<uint8_t> encodeItem(uint16_t propertyId, std::span<const uint8_t> value) {
    std::vector<uint8_t> out;
    appendItem(out, propertyId, value);
    return out;
}

std::optional<ItemHeader> readItemHeader(std::span<const uint8_t> bytes) {
    ByteReader reader(bytes);
    ItemHeader header;
    header.headerWord = reader.u16();
    header.sizeCode = static_cast<ItemSizeCode>(header.headerWord >> 14);
    switch (header.sizeCode) {
        case ItemSizeCode::OneByte:
            header.wireSize = 1;
            break;
        case ItemSizeCode::TwoBytes:
            header.wireSize = 2;
            break;
        case ItemSizeCode::FourBytes:
            header.wireSize = 4;
            break;
        case ItemSizeCode::Variable:
            header.wireSize = reader.u8();
            break;
    }
    if (!reader.ok())
        return std::nullopt;
    header.headerLength = reader.position();
    return header;
}

std::optional<ItemView> readItem(std::span<const uint8_t> bytes) {
    auto header = readItemHeader(bytes);
    if (!header)
        return std::nullopt;
    ByteReader reader(bytes);
    reader.skip(header->headerLength);
    auto value = reader.bytes(header->wireSize);
    if (!reader.ok())
        return std::nullopt;
    return ItemView{header->headerWord, header->sizeCode, header->headerLength, value};
}

}  // namespace objscope
