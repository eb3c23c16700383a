// Synchronous exchanges and the device-level commands built on them.
//
// Every exchange has its own request and reply buffers: a handler that runs
// while another exchange waits may start one of its own without either
// overwriting the other's records.
#include <algorithm>

#include "comm/tarn_monitor.h"
#include "values/property_pack.h"

namespace objscope {
namespace {

constexpr size_t kSyncReplyCapacity = kTarnMaxRequestLength;

void logStatus(TTarn_Monitor& monitor, int32_t status) {
    monitor.LogLine(status == kStatusOk ? "   Status: OK" : "   Status: " + StatusText(status));
}

}  // namespace

int32_t TTarn_Monitor::SyncExchangeStatus(const TarnRequest& request, uint32_t timeoutMs,
                                          std::vector<uint8_t>* replyData,
                                          std::optional<uint32_t> addressOverride) {
    if (replyData != nullptr)
        replyData->clear();
    if (registrationId_ <= 0)
        return kStatusNotRegistered;
    if (request.data.size() > kTarnMaxRequestLength)
        return RefuseTooLong("request");
    auto header = readTarnHeader(request.data);
    VEKAddress_t address{};
    if (addressOverride) {
        address.AddressType = FullAddress;
        address.Address = *addressOverride;
    } else {
        auto mapped = header ? DestinationFor(header->Dest_Net, header->Dest_Dev) : std::nullopt;
        if (!mapped)
            return kStatusNoMapping;
        address = *mapped;
    }
    std::vector<uint8_t> data = request.data;
    VEKMessage_t message{};
    message.ObjectID = kTarnObjectId;
    message.MessageID = request.messageId;
    message.DataLength = static_cast<uint16_t>(data.size());
    message.DataPtr = data.data();
    message.Address = address;
    std::vector<uint8_t> buffer(kSyncReplyCapacity, 0);
    VEKMessageResponse_t reply{};
    reply.DataPtr = buffer.data();
    reply.MaxDataLength = static_cast<uint16_t>(buffer.size());
    reply.Status = MessageFailure;
    int32_t result = SendVEKMessage(registrationId_, timeoutMs, &message, &reply);
    if (result < 0)
        return result;
    if (timeoutMs == 0)
        return result;
    // Only a reply that arrived whole is read: a time-out leaves nothing to
    // judge (and nothing is decoded), a reply too long for the buffer is a
    // failure rather than a status read from what happened to fit.
    VEKMessageStatus_t outcome = reply.Status;
    int32_t status = kStatusOk;
    if (outcome == MessageResponseTimeOut) {
        status = kStatusTimeOut;
    } else if (outcome != MessageResponseSuccess) {
        status = kStatusReplyTooLong;
    } else {
        uint16_t length = reply.DataLength;
        std::span<const uint8_t> received(buffer.data(), std::min<size_t>(length, buffer.size()));
        status = replyStatusValue(received);
        if (replyData != nullptr)
            replyData->assign(received.begin(), received.end());
    }
    logStatus(*this, status);
    return status;
}

int32_t TTarn_Monitor::ConfirmObject(TVEKroot& object, bool skipSendLast) {
    if (registrationId_ <= 0)
        return kStatusNotRegistered;
    LogLine("Confirm Object: " + object.ObjectName());
    std::vector<std::vector<uint8_t>> items;
    for (const auto& property : object.Properties()) {
        if (property->ReadOnly() || (skipSendLast && property->SendLast()))
            continue;
        std::vector<uint8_t> item;
        if (PackData(item, *property) > 0)
            items.push_back(std::move(item));
    }
    auto request =
        buildConfirmObject(Requester(), object.NetHandle(), object.DevHandle(), object.ClassID(),
                           object.ObjHandle(), object.OwnerHandle(), items);
    if (!request)
        return RefuseTooLong("TarnConfirmObject");
    return SyncExchangeStatus(*request, static_cast<uint32_t>(requestTimeOut_), nullptr);
}

int32_t TTarn_Monitor::DeleteObject(TVEKroot& object) {
    if (registrationId_ <= 0)
        return kStatusNotRegistered;
    LogLine("Delete Obj: " + object.ObjectName());
    return SyncExchangeStatus(
        buildDelete(Requester(), object.NetHandle(), object.DevHandle(), object.ObjHandle()),
        static_cast<uint32_t>(requestTimeOut_), nullptr);
}

int32_t TTarn_Monitor::DeleteAllObjects(uint16_t net, uint16_t dev) {
    if (registrationId_ <= 0)
        return kStatusNotRegistered;
    LogLine("Delete All Objects");
    return SyncExchangeStatus(buildDeleteAllObjs(Requester(), net, dev),
                              static_cast<uint32_t>(requestTimeOut_), nullptr);
}

int32_t TTarn_Monitor::SoftResetFrame(uint16_t net, uint16_t dev) {
    if (registrationId_ <= 0)
        return kStatusNotRegistered;
    LogLine("Soft RESET of Frame");
    return SyncExchangeStatus(buildSoftReset(Requester(), net, dev),
                              static_cast<uint32_t>(requestTimeOut_), nullptr);
}

int32_t TTarn_Monitor::SetDefaultData(uint16_t net, uint16_t dev) {
    if (registrationId_ <= 0)
        return kStatusNotRegistered;
    LogLine("Set Default Data");
    return SyncExchangeStatus(buildSetDefaultData(Requester(), net, dev), kLongCommandTimeOut,
                              nullptr);
}

int32_t TTarn_Monitor::SetMultipleProps(const TarnAddress& object, const PropertyList& properties) {
    if (registrationId_ <= 0)
        return kStatusNotRegistered;
    LogLine("Set Multiple Props for Obj ID: " + std::to_string(object.obj));
    std::vector<std::vector<uint8_t>> items;
    for (TVEKPropertyBase* property : properties) {
        if (property == nullptr || property->ReadOnly())
            continue;
        std::vector<uint8_t> item;
        if (PackData(item, *property) > 0)
            items.push_back(std::move(item));
    }
    auto request = buildSetMultipleProps(Requester(), object, items);
    if (!request)
        return RefuseTooLong("TarnSetMultipleProps");
    return SyncExchangeStatus(*request, kLongCommandTimeOut, nullptr);
}

int32_t TTarn_Monitor::ActivateMethod(const TarnAddress& object, uint16_t messageId,
                                      std::span<const uint8_t> bytes,
                                      std::vector<uint8_t>& replyBytes, bool replyWanted) {
    replyBytes.clear();
    if (registrationId_ <= 0)
        return kStatusNotRegistered;
    auto request = buildMethod(Requester(), object, messageId, replyWanted, bytes);
    if (!request)
        return RefuseTooLong("method");
    if (!replyWanted)
        return SyncExchangeStatus(*request, 0, nullptr);
    std::vector<uint8_t> reply;
    int32_t status = SyncExchangeStatus(*request, static_cast<uint32_t>(requestTimeOut_), &reply);
    if ((status == kStatusOk || status == kStatusPartialResponse) && reply.size() > kTarnHeaderSize)
        replyBytes.assign(reply.begin() + kTarnHeaderSize, reply.end());
    return status;
}

}  // namespace objscope
