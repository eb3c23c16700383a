#include "protocol/tarn_requests.h"

#include <cmath>

#include "values/property_messages.h"
#include "protocol/tarn_bytes.h"
#include "protocol/tarn_items.h"

namespace objscope {
namespace {

// Type codes with a threshold other than 1.
constexpr uint8_t kTypeBoolean = 13;
constexpr uint8_t kTypeString = 14;
constexpr uint8_t kTypeBitSet = 174;
constexpr uint8_t kTypeDb2 = 132;

// Notification interval: 0.03125 s in units of 1/128 s, rounded.
const uint16_t kNotificationInterval = static_cast<uint16_t>(std::lround(0.03125 * 128));

TarnRequest startRequest(MessageKind kind, RequestMode mode, const TarnRequester& from,
                         const TarnAddress& target, uint16_t sourceObject) {
    TarnRequest request;
    request.kind = kind;
    request.messageId = messageIdForKind(kind).value_or(0);
    TarnAddress requester{from.net, from.sourceId, sourceObject};
    appendTarnHeader(request.data, makeRequestHeader(mode, target, requester));
    return request;
}

TarnRequest startRequest(MessageKind kind, RequestMode mode, const TarnRequester& from,
                         const TarnAddress& target) {
    return startRequest(kind, mode, from, target, static_cast<uint16_t>(kind));
}

std::optional<TarnRequest> checkedLength(TarnRequest request) {
    if (request.data.size() > kTarnMaxRequestLength)
        return std::nullopt;
    return request;
}

// Appends the u16 item count and the items. An empty item is a property
// whose value could not be packed (unknown type, too long for an item): it
// is left out with a message and not counted, so the other properties still
// reach the device.
void appendCountedItems(std::vector<uint8_t>& out, std::span<const std::vector<uint8_t>> items) {
    size_t countAt = out.size();
    ByteWriter(out).u16(0);
    uint16_t count = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].empty()) {
            ShowPropertyMessage(">>> Item " + std::to_string(i + 1) +
                                " left out: its value cannot be packed");
            continue;
        }
        out.insert(out.end(), items[i].begin(), items[i].end());
        ++count;
    }
    out[countAt] = static_cast<uint8_t>(count & 0xFF);
    out[countAt + 1] = static_cast<uint8_t>(count >> 8);
}

TarnRequest deviceCommand(MessageKind kind, const TarnRequester& from, uint16_t net, uint16_t dev,
                          uint16_t word) {
    TarnRequest request = startRequest(kind, RequestMode::ReplyWanted, from, {net, dev, 0});
    ByteWriter(request.data).u16(word);
    return request;
}

}  // namespace

uint16_t registrationThreshold(uint8_t typeCode) {
    switch (typeCode) {
        case kTypeBoolean:
        case kTypeString:
        case kTypeBitSet:
            return 0;
        case kTypeDb2:
            return 64;
        default:
            return 1;
    }
}

std::optional<TarnRequest> buildSet(const TarnRequester& from, const TarnAddress& target,
                                    bool replyWanted, std::span<const uint8_t> item) {
    if (item.empty())
        return std::nullopt;
    auto mode = replyWanted ? RequestMode::ReplyWanted : RequestMode::NoReply;
    TarnRequest request = startRequest(MessageKind::Set, mode, from, target);
    ByteWriter(request.data).bytes(item);
    return checkedLength(std::move(request));
}

std::optional<TarnRequest> buildGet(const TarnRequester& from, const TarnAddress& target,
                                    uint16_t propertyId, size_t wireSize) {
    if (!itemValueSizeFits(wireSize))
        return std::nullopt;
    TarnRequest request = startRequest(MessageKind::Get, RequestMode::Read, from, target);
    appendItemHeader(request.data, propertyId, wireSize);
    return request;
}

std::optional<TarnRequest> buildRegistration(const TarnRequester& from, const TarnAddress& target,
                                             uint16_t registrationNumber,
                                             const RegistrationProperty& property) {
    if (!itemValueSizeFits(property.wireSize))
        return std::nullopt;
    TarnRequest request =
        startRequest(MessageKind::Reg, RequestMode::ReplyWanted, from, target, registrationNumber);
    ByteWriter writer(request.data);
    writer.u16(0);
    // Where notifications go: a copy of the header's Src_Net, Src_Dev, Src_Obj.
    std::vector<uint8_t> source(request.data.begin() + kTarnSourceOffset,
                                request.data.begin() + kTarnHeaderSize);
    writer.bytes(source);
    writer.u16(0);
    writer.u16(kNotificationInterval);
    writer.u16(property.propertyId & kPropertyIdMask);
    writer.u16(registrationThreshold(property.typeCode));
    writer.u8(property.typeCode);
    writer.u16(registrationNumber);
    writer.u8(static_cast<uint8_t>(itemHeaderLength(property.wireSize)));
    appendItemHeader(request.data, property.propertyId, property.wireSize);
    return request;
}

TarnRequest buildUnregister(const TarnRequester& from, const TarnAddress& target,
                            const TarnAddress& registrationSource) {
    TarnRequest request = startRequest(MessageKind::UnregAll, RequestMode::ReplyWanted, from,
                                       target, registrationSource.obj);
    ByteWriter writer(request.data);
    writer.u16(kUnregisterCode);
    writer.u16(registrationSource.net);
    writer.u16(registrationSource.dev);
    writer.u16(registrationSource.obj);
    return request;
}

std::optional<TarnRequest> buildConfirmObject(const TarnRequester& from, uint16_t net, uint16_t dev,
                                              uint16_t classId, uint16_t objectHandle,
                                              uint16_t ownerHandle,
                                              std::span<const std::vector<uint8_t>> items) {
    if (items.size() > UINT16_MAX)
        return std::nullopt;
    TarnRequest request =
        startRequest(MessageKind::ConfirmObject, RequestMode::ReplyWanted, from, {net, dev, 0});
    ByteWriter writer(request.data);
    writer.u16(classId);
    writer.u16(objectHandle);
    writer.u16(ownerHandle);
    appendCountedItems(request.data, items);
    return checkedLength(std::move(request));
}

TarnRequest buildDelete(const TarnRequester& from, uint16_t net, uint16_t dev,
                        uint16_t objectHandle) {
    return deviceCommand(MessageKind::Delete, from, net, dev, objectHandle);
}

std::optional<TarnRequest> buildSetMultipleProps(const TarnRequester& from,
                                                 const TarnAddress& target,
                                                 std::span<const std::vector<uint8_t>> items) {
    if (items.size() > UINT16_MAX)
        return std::nullopt;
    TarnRequest request =
        startRequest(MessageKind::SetMultipleProps, RequestMode::ReplyWanted, from, target);
    appendCountedItems(request.data, items);
    return checkedLength(std::move(request));
}

TarnRequest buildGetAllProps(const TarnRequester& from, const TarnAddress& target,
                             uint16_t startIndex) {
    TarnRequest request = startRequest(MessageKind::GetAllProps, RequestMode::Read, from, target);
    ByteWriter(request.data).u16(startIndex);
    return request;
}

TarnRequest buildGetAllObjs(const TarnRequester& from, uint16_t net, uint16_t dev,
                            uint16_t startIndex, std::optional<uint16_t> classFilter) {
    TarnRequest request =
        startRequest(MessageKind::GetAllObjs, RequestMode::Read, from, {net, dev, 0});
    ByteWriter writer(request.data);
    writer.u16(startIndex);
    if (classFilter)
        writer.u16(*classFilter);
    return request;
}

TarnRequest buildGetAllObjsPlus(const TarnRequester& from, uint16_t net, uint16_t dev,
                                uint16_t startIndex) {
    TarnRequest request =
        startRequest(MessageKind::GetAllObjsPlus, RequestMode::Read, from, {net, dev, 0});
    ByteWriter(request.data).u16(startIndex);
    return request;
}

TarnRequest buildDeleteAllObjs(const TarnRequester& from, uint16_t net, uint16_t dev) {
    return deviceCommand(MessageKind::DeleteAllObjs, from, net, dev, kDeleteAllObjsCode);
}

TarnRequest buildGetAllClasses(const TarnRequester& from, uint16_t net, uint16_t dev) {
    return startRequest(MessageKind::GetAllClasses, RequestMode::Read, from, {net, dev, 0});
}

TarnRequest buildSoftReset(const TarnRequester& from, uint16_t net, uint16_t dev) {
    return deviceCommand(MessageKind::SoftReset, from, net, dev, kResetKey);
}

TarnRequest buildSetDefaultData(const TarnRequester& from, uint16_t net, uint16_t dev) {
    return deviceCommand(MessageKind::SetDefaultData, from, net, dev, kResetKey);
}

std::optional<TarnRequest> buildMethod(const TarnRequester& from, const TarnAddress& target,
                                       uint16_t messageId, bool replyWanted,
                                       std::span<const uint8_t> payload) {
    auto mode = replyWanted ? RequestMode::ReplyWanted : RequestMode::MethodNoReply;
    TarnRequest request = startRequest(MessageKind::Method, mode, from, target);
    request.messageId = messageId;
    ByteWriter(request.data).bytes(payload);
    return checkedLength(std::move(request));
}

bool setListingStartIndex(std::vector<uint8_t>& request, uint16_t startIndex) {
    if (request.size() < kListingStartIndexOffset + 2)
        return false;
    request[kListingStartIndexOffset] = static_cast<uint8_t>(startIndex & 0xFF);
    request[kListingStartIndexOffset + 1] = static_cast<uint8_t>(startIndex >> 8);
    return true;
}

std::optional<uint16_t> listingStartIndex(std::span<const uint8_t> request) {
    ByteReader reader(request);
    reader.skip(kListingStartIndexOffset);
    uint16_t start = reader.u16();
    if (!reader.ok())
        return std::nullopt;
    return start;
}

}  // namespace objscope
