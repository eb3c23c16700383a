// Reply handling (objlink's report 1428): retries, paging, decoding into
// the caller's property or list, and the completion callbacks.
#include <algorithm>

#include "comm/raw_boolean_mode.h"
#include "comm/tarn_monitor.h"
#include "values/property_arrays.h"
#include "values/property_factory.h"
#include "values/property_pack.h"
#include "protocol/tarn_replies.h"

namespace objscope {
namespace {

bool g_rawBoolean = false;

// The bytes objlink copied: never more than the buffer holds.
std::span<const uint8_t> receivedBytes(const VEKMessageResponse_t& record) {
    uint16_t length = record.DataLength;
    uint16_t capacity = record.MaxDataLength;
    if (record.DataPtr == nullptr)
        return {};
    return {record.DataPtr, std::min(length, capacity)};
}

bool objlinkFailed(const VEKMessageResponse_t& record) {
    VEKMessageStatus_t status = record.Status;
    return status != MessageSuccess && status != MessageResponseSuccess;
}

// The status value of a reply objlink reports as failed: no answer in time,
// or an answer that did not arrive whole.
int32_t failureStatus(const VEKMessageResponse_t& record) {
    VEKMessageStatus_t status = record.Status;
    return status == MessageResponseTimeOut ? kStatusTimeOut : kStatusReplyTooLong;
}

// Names of the listing kinds in their log lines.
struct ListingTexts {
    const char* retryName;
    const char* failedResendLine;
    const char* noRetriesLine;
    const char* doneLine;
    const char* exceptionLine;
};

ListingTexts listingTexts(MessageKind kind) {
    switch (kind) {
        case MessageKind::GetAllProps:
            return {"TarnGetAllProperties", "GetAllProperties Done - Failed",
                    "GetAllProperties Done - Failed", "GetAllProperties Done",
                    ">>Exception in TarnGetAllProps Response"};
        case MessageKind::GetAllObjs:
            return {"TarnGetAllObjs", "GetAllObjects Done - Failed", "GetAllObjects Done - Failed",
                    "GetAllObjects Done", ">>Exception in TarnGetAllObjs Response"};
        default:
            return {"TarnGetAllObjsPlus", "GetAllPropertiesPlus Done - Failed",
                    "GetAllObjects Done - Failed", "GetAllObjectsPlus Done",
                    ">>Exception in TarnGetAllObjsPlus Response"};
    }
}

}  // namespace

bool RawBooleanMode() {
    return g_rawBoolean;
}

void SetRawBooleanMode(bool on) {
    g_rawBoolean = on;
}

void TTarn_Monitor::HandleReply(TTarnTicket& ticket) {
    // objlink has handed the record back.
    ticket.awaitingReply = false;
    NoteRx();
    if (ticket.dropWhenReplied) {
        ticket.dropWhenReplied = false;
        DropTicket(ticket);
        return;
    }
    VEKMessageResponse_t record = ticket.reply;
    uint16_t objectId = record.ObjectID;
    uint16_t number = record.MessageNumber;
    // A reply from another object or to an older send is garbage: it counts
    // as a failure, so the ticket still ends or retries.
    bool failed = objlinkFailed(record) || objectId != kTarnObjectId ||
                  static_cast<int32_t>(number) != ticket.messageNumber;
    std::span<const uint8_t> data = failed ? std::span<const uint8_t>{} : receivedBytes(record);
    switch (ticket.kind) {
        case MessageKind::Get:
            ReplyGet(ticket, failed, data);
            break;
        case MessageKind::Set:
            ReplySet(ticket, failed, data);
            break;
        case MessageKind::GetAllProps:
        case MessageKind::GetAllObjs:
        case MessageKind::GetAllObjsPlus:
            ReplyListing(ticket, failed ? failureStatus(record) : kStatusOk, data);
            break;
        case MessageKind::GetAllClasses:
            ReplyClasses(ticket, failed, data);
            break;
        case MessageKind::Reg:
            ReplyRegistration(ticket, failed);
            break;
        case MessageKind::UnregAll:
            ReplyUnregistration(ticket, failed);
            break;
        default:
            DropTicket(ticket);
            break;
    }
}

void TTarn_Monitor::CallBack(TTarnTicket& ticket, const char* exceptionLine) {
    if (!ticket.callback.Assigned())
        return;
    // A copy: the callback may start requests that change the ticket list.
    TNotifyEvent callback = ticket.callback;
    try {
        callback.code(*this);
    } catch (...) {
        LogLine(exceptionLine);
    }
}

void TTarn_Monitor::ReplySet(TTarnTicket& ticket, bool failed, std::span<const uint8_t> data) {
    if (failed) {
        --ticket.retriesLeft;
        if (ticket.retriesLeft > 0 && ticket.HasCallback() && Resend(ticket, "TarnSet") >= 1)
            return;
        replyStatus_ = kStatusTimeOut;
    } else {
        replyStatus_ = replyStatusValue(data);
        if (replyStatus_ != kStatusOk)
            LogLine("Set refused: " + ticket.propertyName + " - " + StatusText(replyStatus_));
    }
    CallBack(ticket, ">>Exception in TarnSet Response Callback");
    replyStatus_ = kStatusOk;
    DropTicket(ticket);
}

void TTarn_Monitor::ReplyGet(TTarnTicket& ticket, bool failed, std::span<const uint8_t> data) {
    uint64_t serial = ticket.serial;
    if (failed) {
        --ticket.retriesLeft;
        if (ticket.retriesLeft == 0) {
            DropTicket(ticket);
        } else if (ticket.HasCallback()) {
            if (Resend(ticket, "TarnGet") < 1)
                DropTicket(ticket);
        } else {
            LogLine(">Drop TarnGet Ticket Early");
            DropTicket(ticket);
        }
        return;
    }
    if (ticket.HasCallback() && ticket.property != nullptr) {
        LogLine("Get OK: " + ticket.propertyName);
        DecodeItemInto(data, *ticket.property);
        if (monitor_ && view_ != nullptr)
            view_->ShowOperation("Response Callback: " + ticket.propertyName);
        CallBack(ticket, ">>Exception in TarnGet Response Callback");
    }
    if (TTarnTicket* still = tickets_.FindSerial(serial))
        DropTicket(*still);
}

void TTarn_Monitor::FinishListing(TTarnTicket& ticket, const char* doneLine, int32_t outcome) {
    uint64_t serial = ticket.serial;
    if (ticket.outcome != nullptr)
        *ticket.outcome = outcome;
    if (doneLine != nullptr)
        LogLine(doneLine);
    CallBack(ticket, listingTexts(ticket.kind).exceptionLine);
    if (TTarnTicket* still = tickets_.FindSerial(serial))
        DropTicket(*still);
}

void TTarn_Monitor::ReplyListing(TTarnTicket& ticket, int32_t failure,
                                 std::span<const uint8_t> data) {
    ListingTexts texts = listingTexts(ticket.kind);
    const bool failed = failure != kStatusOk;
    if (ticket.callback.Detached()) {
        // The caller has gone with its list.
        ticket.objects = nullptr;
        ticket.properties = nullptr;
        DropTicket(ticket);
        return;
    }
    if (failed) {
        --ticket.retriesLeft;
        if (ticket.retriesLeft == 0) {
            FinishListing(ticket, texts.noRetriesLine, failure);
        } else if (int32_t resent = Resend(ticket, texts.retryName); resent < 1) {
            FinishListing(ticket, texts.failedResendLine, resent < 0 ? resent : failure);
        }
        return;
    }
    auto header = readTarnHeader(data);
    bool rejected = !header || (header->Mode & kModeRejectionMask) != 0;
    if (data.size() < kTarnHeaderSize + 1 || rejected) {
        FinishListing(ticket, ticket.kind == MessageKind::GetAllProps ? nullptr : texts.doneLine,
                      header ? replyStatusValue(data) : kStatusReplyTooLong);
        return;
    }
    uint16_t start = listingStartIndex(ticket.request).value_or(0);
    size_t received = AddListingPage(ticket, data, start);
    ++ticket.pages;
    if (!isPartialReply(data)) {
        FinishListing(ticket, ticket.kind == MessageKind::GetAllProps ? nullptr : texts.doneLine,
                      kStatusOk);
        return;
    }
    // More follows: ask from the next index. A page that brought nothing,
    // or paging without end, stops the listing instead of asking forever.
    std::optional<uint16_t> next = nextPageStart(start, received);
    if (!next || ticket.pages >= kMaxListingPages) {
        LogLine(">>Listing stopped: the device reports more but sends no further entries");
        FinishListing(ticket, texts.doneLine, kStatusOk);
        return;
    }
    setListingStartIndex(ticket.request, *next);
    LogLine("    Retrieving More...");
    if (int32_t sent = SendTicket(ticket); sent < 1)
        FinishListing(ticket, texts.failedResendLine, sent < 0 ? sent : kStatusTimeOut);
}

size_t TTarn_Monitor::AddListingPage(TTarnTicket& ticket, std::span<const uint8_t> data,
                                     uint16_t start) {
    if (ticket.kind == MessageKind::GetAllProps) {
        auto page = decodePropertyListing(data);
        size_t number = start;
        for (const auto& entry : page.entries) {
            bool raw = RawBooleanMode();
            std::unique_ptr<TVEKPropertyBase> property = CreateListedProperty(entry.typeCode, raw);
            std::string name = "P";
            name += std::to_string(number++);
            name += ' ';
            name += ListedPropertyTypeLabel(entry.typeCode, raw);
            property->SetName(name);
            property->SetPropertyID(entry.item.headerWord);
            std::vector<uint8_t> item;
            item.reserve(entry.item.totalLength());
            appendItem(item, entry.item.propertyId(), entry.item.value);
            UnPackData(item, *property);
            if (ticket.properties != nullptr)
                ticket.properties->add(std::move(property));
        }
        return page.entries.size();
    }
    auto page = ticket.kind == MessageKind::GetAllObjs ? decodeObjectListing(data)
                                                       : decodeObjectPlusListing(data);
    for (const auto& entry : page.entries) {
        auto object = std::make_unique<TVEKroot>();
        object->SetAddress(ticket.target.net, ticket.target.dev, entry.objectHandle);
        object->SetClassID(entry.classId);
        if (ticket.kind == MessageKind::GetAllObjsPlus)
            object->SetObjectName(entry.name);
        if (ticket.objects != nullptr)
            ticket.objects->add(std::move(object));
    }
    return page.entries.size();
}

void TTarn_Monitor::ReplyClasses(TTarnTicket& ticket, bool failed, std::span<const uint8_t> data) {
    if (ticket.callback.Detached()) {
        ticket.objects = nullptr;
        DropTicket(ticket);
        return;
    }
    auto header = readTarnHeader(data);
    if (!failed && header && header->Mode == 0)
        AddClassObjects(data, ticket.target, ticket.objects);
    // Also a failed listing calls back (with what the list holds), so the
    // caller always hears of its end.
    uint64_t serial = ticket.serial;
    CallBack(ticket, ">>Exception in TarnGetAllClasses Callback");
    if (TTarnTicket* still = tickets_.FindSerial(serial))
        DropTicket(*still);
}

void TTarn_Monitor::ReplyRegistration(TTarnTicket& ticket, bool failed) {
    if (failed) {
        if (ticket.HasCallback()) {
            --ticket.retriesLeft;
            if (ticket.retriesLeft == 0 || Resend(ticket, "TarnREG") < 1) {
                // The registration stays live; the device may still notify.
                ticket.retriesLeft = kTicketRetries;
            }
        } else {
            ticket.registrationLive = false;
            LogLine(">Drop Registration vs. Retry");
            DropTicket(ticket);
        }
        return;
    }
    ticket.retriesLeft = kTicketRetries;
    if (!ticket.HasCallback()) {
        ticket.registrationLive = false;
        LogLine(">Drop Registration");
        DropTicket(ticket);
        return;
    }
    LogLine("Reg OK: " + ticket.propertyName);
}

void TTarn_Monitor::ReplyUnregistration(TTarnTicket& ticket, bool failed) {
    if (failed) {
        --ticket.retriesLeft;
        if (ticket.retriesLeft == 0 || Resend(ticket, "TarnUnREG") < 1)
            DropTicket(ticket);
        return;
    }
    ticket.registrationLive = false;
    DropTicket(ticket);
    LogLine("DeReg OK");
}

}  // namespace objscope
