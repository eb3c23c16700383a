// Listings: all properties of an object, all objects or classes of a device.
#include "comm/tarn_monitor.h"
#include "protocol/tarn_replies.h"

namespace objscope {

int32_t TTarn_Monitor::StartListing(std::unique_ptr<TTarnTicket> ticket, const char* label,
                                    const TarnRequest& request, size_t replySize) {
    bool wait = !ticket->callback.code;
    uint64_t serial = ticket->serial;
    // A caller without callback waits and hears how the listing ended: a
    // device that never answered is no success.
    int32_t outcome = kStatusOk;
    if (wait)
        ticket->outcome = &outcome;
    int32_t result = SubmitTicket(std::move(ticket), label, request, replySize);
    if (!wait || result < 1)
        return result;
    if (!WaitForTicket(serial))
        return kStatusTimeOut;
    return outcome;
}

int32_t TTarn_Monitor::GetAllProperties(const TarnAddress& object, TVEKList<TVEKPropertyBase>& list,
                                        TNotifyEvent callback) {
    if (registrationId_ <= 0)
        return kStatusNotRegistered;
    LogLine("Get ALL Properties for Obj ID: " + std::to_string(object.obj));
    auto ticket = NewTicket(MessageKind::GetAllProps, object, std::move(callback));
    ticket->properties = &list;
    return StartListing(std::move(ticket), "GetAll Objs", buildGetAllProps(Requester(), object, 0),
                        kPropertyListingReplySize);
}

int32_t TTarn_Monitor::GetAllObjects(const TarnAddress& device, TVEKList<TVEKroot>& list,
                                     std::optional<uint16_t> classFilter, TNotifyEvent callback) {
    if (registrationId_ <= 0)
        return kStatusNotRegistered;
    LogLine("Get ALL Objects for Dev ID: " + std::to_string(device.dev));
    auto ticket =
        NewTicket(MessageKind::GetAllObjs, {device.net, device.dev, 0}, std::move(callback));
    ticket->objects = &list;
    return StartListing(std::move(ticket), "GetAll_Objs",
                        buildGetAllObjs(Requester(), device.net, device.dev, 0, classFilter),
                        kListingReplySize);
}

int32_t TTarn_Monitor::GetAllObjectsPlus(const TarnAddress& device, TVEKList<TVEKroot>& list,
                                         TNotifyEvent callback) {
    if (registrationId_ <= 0)
        return kStatusNotRegistered;
    LogLine("Get ALL Objects PLUS for Dev ID: " + std::to_string(device.dev));
    auto ticket =
        NewTicket(MessageKind::GetAllObjsPlus, {device.net, device.dev, 0}, std::move(callback));
    ticket->objects = &list;
    return StartListing(std::move(ticket), "GetAll_ObjsPlus",
                        buildGetAllObjsPlus(Requester(), device.net, device.dev, 0),
                        kListingReplySize);
}

int32_t TTarn_Monitor::GetAllClasses(const TarnAddress& device, TVEKList<TVEKroot>& list,
                                     TNotifyEvent callback) {
    if (registrationId_ <= 0)
        return kStatusNotRegistered;
    LogLine("Get ALL Classes for Dev ID: " + std::to_string(device.dev));
    TarnRequest request = buildGetAllClasses(Requester(), device.net, device.dev);
    if (callback.code) {
        auto ticket =
            NewTicket(MessageKind::GetAllClasses, {device.net, device.dev, 0}, std::move(callback));
        ticket->objects = &list;
        return SubmitTicket(std::move(ticket), "GetAll Classes", request, kDefaultReplyBufferSize);
    }
    std::vector<uint8_t> reply;
    int32_t status = SyncExchangeStatus(request, static_cast<uint32_t>(requestTimeOut_), &reply);
    if (status == kStatusOk)
        AddClassObjects(reply, {device.net, device.dev, 0}, &list);
    return status;
}

void TTarn_Monitor::AddClassObjects(std::span<const uint8_t> reply, const TarnAddress& device,
                                    TVEKList<TVEKroot>* list) {
    if (reply.size() <= kTarnHeaderSize || list == nullptr)
        return;
    for (uint16_t classId : decodeClassListing(reply).entries) {
        auto object = std::make_unique<TVEKroot>();
        object->SetAddress(device.net, device.dev, 0);
        object->SetClassID(classId);
        list->add(std::move(object));
    }
}

}  // namespace objscope
