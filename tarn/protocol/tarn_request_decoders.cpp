#include "protocol/tarn_request_decoders.h"

#include "protocol/tarn_bytes.h"

namespace objscope {
namespace {

ByteReader payloadReader(std::span<const uint8_t> data) {
    if (data.size() < kTarnHeaderSize)
        return ByteReader({});
    return ByteReader(data.subspan(kTarnHeaderSize));
}

bool hasHeader(std::span<const uint8_t> data) {
    return data.size() >= kTarnHeaderSize;
}

TarnAddress readAddress(ByteReader& reader) {
    TarnAddress address;
    address.net = reader.u16();
    address.dev = reader.u16();
    address.obj = reader.u16();
    return address;
}

}  // namespace

ItemList readItems(std::span<const uint8_t> bytes, uint16_t count) {
    ItemList list;
    list.declaredCount = count;
    for (uint16_t i = 0; i < count; ++i) {
        auto item = readItem(bytes);
        if (!item)
            break;
        list.items.push_back(*item);
        bytes = bytes.subspan(item->totalLength());
    }
    return list;
}

std::optional<RegistrationRequest> decodeRegistrationRequest(std::span<const uint8_t> data) {
    if (!hasHeader(data))
        return std::nullopt;
    ByteReader reader = payloadReader(data);
    RegistrationRequest request;
    reader.u16();
    request.notifyTo = readAddress(reader);
    reader.u16();
    request.interval = reader.u16();
    request.propertyId = reader.u16() & kPropertyIdMask;
    request.threshold = reader.u16();
    request.typeCode = reader.u8();
    request.registrationNumber = reader.u16();
    uint8_t headerLength = reader.u8();
    auto itemHeaderBytes = reader.bytes(headerLength);
    if (!reader.ok())
        return std::nullopt;
    auto header = readItemHeader(itemHeaderBytes);
    if (!header || header->headerLength != headerLength)
        return std::nullopt;
    request.itemHeader = *header;
    return request;
}

std::optional<UnregisterRequest> decodeUnregisterRequest(std::span<const uint8_t> data) {
    if (!hasHeader(data))
        return std::nullopt;
    ByteReader reader = payloadReader(data);
    UnregisterRequest request;
    request.code = reader.u16();
    request.registrationSource = readAddress(reader);
    if (!reader.ok())
        return std::nullopt;
    return request;
}

std::optional<ConfirmObjectRequest> decodeConfirmObjectRequest(std::span<const uint8_t> data) {
    if (!hasHeader(data))
        return std::nullopt;
    ByteReader reader = payloadReader(data);
    ConfirmObjectRequest request;
    request.classId = reader.u16();
    request.objectHandle = reader.u16();
    request.ownerHandle = reader.u16();
    uint16_t count = reader.u16();
    if (!reader.ok())
        return std::nullopt;
    request.properties = readItems(reader.bytes(reader.remaining()), count);
    return request;
}

std::optional<ItemList> decodeSetMultiplePropsRequest(std::span<const uint8_t> data) {
    if (!hasHeader(data))
        return std::nullopt;
    ByteReader reader = payloadReader(data);
    uint16_t count = reader.u16();
    if (!reader.ok())
        return std::nullopt;
    return readItems(reader.bytes(reader.remaining()), count);
}

std::optional<ItemHeader> decodeGetRequest(std::span<const uint8_t> data) {
    if (!hasHeader(data))
        return std::nullopt;
    return readItemHeader(data.subspan(kTarnHeaderSize));
}

std::optional<ItemView> decodeSetRequest(std::span<const uint8_t> data) {
    if (!hasHeader(data))
        return std::nullopt;
    return readItem(data.subspan(kTarnHeaderSize));
}

std::optional<ObjectListingRequest> decodeObjectListingRequest(std::span<const uint8_t> data) {
    if (!hasHeader(data))
        return std::nullopt;
    ByteReader reader = payloadReader(data);
    ObjectListingRequest request;
    request.startIndex = reader.u16();
    if (!reader.ok())
        return std::nullopt;
    uint16_t filter = reader.u16();
    if (reader.ok())
        request.classFilter = filter;
    return request;
}

std::optional<uint16_t> decodeCommandWord(std::span<const uint8_t> data) {
    if (!hasHeader(data))
        return std::nullopt;
    ByteReader reader = payloadReader(data);
    uint16_t word = reader.u16();
    if (!reader.ok())
        return std::nullopt;
    return word;
}

}  // namespace objscope
