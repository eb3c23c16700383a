// Single-property requests, change registrations and notifications.
#include <algorithm>

#include "comm/tarn_monitor.h"
#include "values/property_pack.h"
#include "protocol/tarn_notification.h"
#include "protocol/tarn_replies.h"

namespace objscope {
namespace {

TarnAddress linkAddress(const TTarn_Property_Link& link) {
    return {link.Dest_Net, link.Dest_Dev, link.Dest_Obj};
}

std::string propertyName(const TTarn_Property_Link& link) {
    return link.Property() != nullptr ? link.Property()->Name() : std::string();
}

// The property's item (header and value); empty when it has none.
std::vector<uint8_t> packedItem(const TTarn_Property_Link& link) {
    std::vector<uint8_t> item;
    if (link.Property() != nullptr)
        PackData(item, *link.Property());
    return item;
}

}  // namespace

int32_t TTarn_Monitor::SetProperty(const TTarn_Property_Link& link) {
    if (registrationId_ <= 0)
        return kStatusNotRegistered;
    LogLine("Set Property: " + propertyName(link));
    auto request = buildSet(Requester(), linkAddress(link), false, packedItem(link));
    if (!request)
        return RefuseTooLong("TarnSet");
    auto address = DestinationFor(link.Dest_Net, link.Dest_Dev);
    if (!address)
        return kStatusNoMapping;
    VEKMessage_t message{};
    message.ObjectID = kTarnObjectId;
    message.MessageID = request->messageId;
    message.DataLength = static_cast<uint16_t>(request->data.size());
    message.DataPtr = request->data.data();
    message.Address = *address;
    VEKMessageResponse_t unused{};
    return SendVEKMessage(registrationId_, 0, &message, &unused);
}

int32_t TTarn_Monitor::SetPropertyChecked(const TTarn_Property_Link& link, TNotifyEvent callback) {
    if (registrationId_ <= 0)
        return kStatusNotRegistered;
    if (link.Property() == nullptr)
        return kStatusBadRequest;
    LogLine("Set Property: " + propertyName(link));
    auto request = buildSet(Requester(), linkAddress(link), true, packedItem(link));
    if (!request)
        return RefuseTooLong("TarnSet");
    auto ticket = NewTicket(MessageKind::Set, linkAddress(link), std::move(callback));
    DescribeLink(*ticket, link);
    return SubmitTicket(std::move(ticket), "TarnSet", *request, kDefaultReplyBufferSize);
}

int32_t TTarn_Monitor::SetPropertyWait(const TTarn_Property_Link& link) {
    if (registrationId_ <= 0)
        return kStatusNotRegistered;
    LogLine("Set Property: " + propertyName(link));
    auto request = buildSet(Requester(), linkAddress(link), true, packedItem(link));
    if (!request)
        return RefuseTooLong("TarnSet");
    return SyncExchangeStatus(*request, static_cast<uint32_t>(requestTimeOut_), nullptr);
}

int32_t TTarn_Monitor::PrepareGet(const TTarn_Property_Link& link, TarnRequest& request) {
    if (registrationId_ <= 0)
        return kStatusNotRegistered;
    TVEKPropertyBase* property = link.Property();
    if (property == nullptr)
        return kStatusBadRequest;
    auto built = buildGet(Requester(), linkAddress(link), property->PropertyID(), property->Size());
    if (!built)
        return RefuseTooLong("TarnGet");
    request = std::move(*built);
    return kStatusOk;
}

bool TTarn_Monitor::DecodeItemInto(std::span<const uint8_t> data, TVEKPropertyBase& property) {
    auto item = decodeItemReply(data);
    return item && UnPackData(data.subspan(kTarnHeaderSize, item->totalLength()), property) > 0;
}

int32_t TTarn_Monitor::GetProperty(const TTarn_Property_Link& link, TNotifyEvent callback) {
    TarnRequest request;
    if (int32_t refused = PrepareGet(link, request); refused != kStatusOk)
        return refused;
    LogLine("GET Property: " + link.Property()->Name());
    auto ticket = NewTicket(MessageKind::Get, linkAddress(link), std::move(callback));
    DescribeLink(*ticket, link);
    return SubmitTicket(std::move(ticket), "Tarn_Get", request, kDefaultReplyBufferSize);
}

int32_t TTarn_Monitor::GetPropertyNow(const TTarn_Property_Link& link, uint32_t addressOverride) {
    TarnRequest request;
    if (int32_t refused = PrepareGet(link, request); refused != kStatusOk)
        return refused;
    LogLine("Get Property Stat: " + link.Property()->Name());
    std::vector<uint8_t> reply;
    std::optional<uint32_t> overrideAddress;
    if (addressOverride != 0)
        overrideAddress = addressOverride;
    int32_t status = SyncExchangeStatus(request, static_cast<uint32_t>(requestTimeOut_), &reply,
                                        overrideAddress);
    if (status == kStatusOk)
        DecodeItemInto(reply, *link.Property());
    return status;
}

int32_t TTarn_Monitor::RegisterProperty(const TTarn_Property_Link& link, TNotifyEvent callback) {
    if (registrationId_ <= 0)
        return kStatusNotRegistered;
    TVEKPropertyBase* property = link.Property();
    if (property == nullptr)
        return kStatusBadRequest;
    uint16_t number = tickets_.NextRegistrationNumber();
    RegistrationProperty watched{property->PropertyID(), property->VEKtype(), property->Size()};
    auto request = buildRegistration(Requester(), linkAddress(link), number, watched);
    if (!request)
        return RefuseTooLong("TarnReg");
    LogLine("REG Property: " + property->Name());
    auto ticket = NewTicket(MessageKind::Reg, linkAddress(link), std::move(callback));
    DescribeLink(*ticket, link);
    ticket->registrationLive = true;
    int32_t result = SubmitTicket(std::move(ticket), "TarnReg", *request, kDefaultReplyBufferSize);
    return result < 0 ? result : number;
}

void TTarn_Monitor::TarnDeReg(uint16_t registrationNumber) {
    if (registrationNumber < kFirstRegistrationNumber)
        return;
    TTarnTicket* registration = tickets_.FindLastRegistration(registrationNumber);
    if (registration == nullptr)
        return;
    uint64_t registrationSerial = registration->serial;
    // Pending reads of the same property lose their callback, so a control
    // that goes away is never called back.
    for (const auto& ticket : tickets_.Items()) {
        if (ticket->kind == MessageKind::Get && ticket->target == registration->target &&
            ticket->propertyId == registration->propertyId) {
            ticket->callback = {};
            ticket->registrationLive = false;
        }
    }
    auto source = readTarnHeader(registration->request);
    TarnAddress registrationSource{myNet_, sourceId_, registrationNumber};
    if (source)
        registrationSource = {source->Src_Net, source->Src_Dev, source->Src_Obj};
    TarnRequest request = buildUnregister(Requester(), registration->target, registrationSource);
    auto ticket = NewTicket(MessageKind::UnregAll, registration->target, {});
    ticket->hasLinkProperty = registration->hasLinkProperty;
    ticket->propertyName = registration->propertyName;
    ticket->propertyId = registration->propertyId;
    std::string name = registration->propertyName;
    LogLine("DeReg Property: " + name);
    SubmitTicket(std::move(ticket), "TarnUnReg", request, kDefaultReplyBufferSize);

    registration = tickets_.FindSerial(registrationSerial);
    if (registration == nullptr)
        return;
    registration->callback = {};
    registration->property = nullptr;
    registration->registrationLive = false;
    if (!registration->awaitingReply) {
        LogLine("Drop Reg Ticket: " + name);
        DisposeTicket(registrationSerial);
    }
}

void TTarn_Monitor::HandleNotification(uint16_t objectId, std::span<const uint8_t> data) {
    if (objectId != kTarnObjectId)
        return;
    NoteRx();
    auto notification = decodeNotification(data, sourceId_);
    if (!notification)
        return;
    TTarnTicket* ticket = tickets_.FindLiveRegistration(notification->registrationNumber);
    if (ticket == nullptr)
        return;
    if (!ticket->HasCallback() || ticket->property == nullptr) {
        uint64_t serial = ticket->serial;
        TarnDeReg(notification->registrationNumber);
        LogLine(">Drop Defunct Registration");
        if (TTarnTicket* still = tickets_.FindSerial(serial))
            DropTicket(*still);
        return;
    }
    if (!notification->item)
        return;
    DecodeItemInto(data, *ticket->property);
    if (monitor_ && view_ != nullptr)
        view_->ShowOperation("Async Callback: " + ticket->propertyName);
    CallBack(*ticket, ">>Exception in NetMsgHandler Callback");
}

}  // namespace objscope
