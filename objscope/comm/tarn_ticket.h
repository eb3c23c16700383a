// Tickets: one per outstanding asynchronous request and one per live change
// registration, in creation order. A ticket keeps its request for resending
// and the reply record objlink fills; the record stays valid (and is never
// reused or freed) while objlink owns it, that is while the ticket awaits
// its reply.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "comm/notify_event.h"
#include "model/object_root.h"
#include "protocol/tarn_header.h"
#include "protocol/tarn_message_kinds.h"
#include "settings/vek_list.h"
#include "objlink.h"

namespace objscope {

constexpr size_t kDefaultReplyBufferSize = 1024;
constexpr size_t kPropertyListingReplySize = 2048;
constexpr size_t kListingReplySize = 4096;
constexpr uint8_t kTicketRetries = 3;

struct TTarnTicket {
    uint64_t serial = 0;  // identity in the list (never reused)
    MessageKind kind = MessageKind::None;
    std::string label;

    // The addressed device, object and property. The property belongs to the
    // caller and is touched only while the callback is assigned.
    TarnAddress target;
    bool hasLinkProperty = false;
    std::string propertyName;
    uint16_t propertyId = 0;
    TVEKPropertyBase* property = nullptr;

    TNotifyEvent callback;
    int32_t messageNumber = 0;
    uint16_t sourceObject = 0;

    // The request as sent (kept for resending) and its destination.
    uint16_t messageId = 0;
    std::vector<uint8_t> request;
    VEKAddress_t address{};

    // The reply record objlink fills, with its buffer.
    std::vector<uint8_t> replyBuffer;
    VEKMessageResponse_t reply{};

    bool registrationLive = false;
    bool awaitingReply = false;
    bool dropWhenReplied = false;  // dropped as soon as objlink hands the record back
    uint8_t retriesLeft = kTicketRetries;

    // Listings: where created objects or properties go (the caller's list,
    // used only while the caller is there), and how far paging got.
    TVEKList<TVEKroot>* objects = nullptr;
    TVEKList<TVEKPropertyBase>* properties = nullptr;
    unsigned pages = 0;
    // Where a caller waiting for the listing (one without callback) hears
    // how it ended: 0 done, positive the device refused, negative no answer.
    int32_t* outcome = nullptr;

    bool HasCallback() const { return callback.Assigned(); }
    bool IsListing() const {
        return kind == MessageKind::GetAllProps || kind == MessageKind::GetAllObjs ||
               kind == MessageKind::GetAllObjsPlus || kind == MessageKind::GetAllClasses;
    }
};

// The ticket list with the registration-number counter.
class TTicketList {
  public:
    TTarnTicket& Add(std::unique_ptr<TTarnTicket> ticket);
    size_t Count() const { return tickets_.size(); }
    const std::list<std::unique_ptr<TTarnTicket>>& Items() const { return tickets_; }

    TTarnTicket* FindSerial(uint64_t serial) const;
    // The ticket whose reply record this is.
    TTarnTicket* FindRecord(const VEKMessageResponse_t* reply) const;
    // The first live registration ticket with this registration number.
    TTarnTicket* FindLiveRegistration(uint16_t registrationNumber) const;
    // The last registration ticket (live or not) with this number.
    TTarnTicket* FindLastRegistration(uint16_t registrationNumber) const;

    // Removes and returns the ticket (nothing when it is not listed).
    std::unique_ptr<TTarnTicket> Remove(uint64_t serial);

    // The next registration number: 12..65520, after 65520 back to 12,
    // skipping numbers a listed ticket carries in its request's Src_Obj.
    uint16_t NextRegistrationNumber();
    void ResetRegistrationCounter() { counter_ = kFirstRegistrationNumber; }

    uint64_t NewSerial() { return ++lastSerial_; }

  private:
    bool NumberInUse(uint16_t number) const;

    std::list<std::unique_ptr<TTarnTicket>> tickets_;
    uint16_t counter_ = kFirstRegistrationNumber;
    uint64_t lastSerial_ = 0;
};

constexpr uint16_t kLastRegistrationNumber = 65520;

}  // namespace objscope
