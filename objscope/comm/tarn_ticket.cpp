#include "comm/tarn_ticket.h"

#include "protocol/tarn_header.h"

namespace objscope {
namespace {

// The Src_Obj a ticket's request carries.
std::optional<uint16_t> requestSourceObject(const TTarnTicket& ticket) {
    auto header = readTarnHeader(ticket.request);
    if (!header)
        return std::nullopt;
    return static_cast<uint16_t>(header->Src_Obj);
}

}  // namespace

TTarnTicket& TTicketList::Add(std::unique_ptr<TTarnTicket> ticket) {
    tickets_.push_back(std::move(ticket));
    return *tickets_.back();
}

TTarnTicket* TTicketList::FindSerial(uint64_t serial) const {
    for (const auto& ticket : tickets_) {
        if (ticket->serial == serial)
            return ticket.get();
    }
    return nullptr;
}

TTarnTicket* TTicketList::FindRecord(const VEKMessageResponse_t* reply) const {
    for (const auto& ticket : tickets_) {
        if (reply == &ticket->reply)
            return ticket.get();
    }
    return nullptr;
}

TTarnTicket* TTicketList::FindLiveRegistration(uint16_t registrationNumber) const {
    for (const auto& ticket : tickets_) {
        if (ticket->kind == MessageKind::Reg && ticket->registrationLive &&
            ticket->sourceObject == registrationNumber)
            return ticket.get();
    }
    return nullptr;
}

TTarnTicket* TTicketList::FindLastRegistration(uint16_t registrationNumber) const {
    TTarnTicket* found = nullptr;
    for (const auto& ticket : tickets_) {
        if (ticket->kind == MessageKind::Reg && ticket->sourceObject == registrationNumber)
            found = ticket.get();
    }
    return found;
}

std::unique_ptr<TTarnTicket> TTicketList::Remove(uint64_t serial) {
    for (auto it = tickets_.begin(); it != tickets_.end(); ++it) {
        if ((*it)->serial == serial) {
            auto ticket = std::move(*it);
            tickets_.erase(it);
            return ticket;
        }
    }
    return nullptr;
}

bool TTicketList::NumberInUse(uint16_t number) const {
    for (const auto& ticket : tickets_) {
        if (requestSourceObject(*ticket) == number)
            return true;
    }
    return false;
}

uint16_t TTicketList::NextRegistrationNumber() {
    // At most one round through the range; with every number taken the
    // counter's value is used again (65509 live registrations do not occur).
    for (unsigned tried = 0; tried <= kLastRegistrationNumber; ++tried) {
        uint16_t value = counter_;
        counter_ = value >= kLastRegistrationNumber ? kFirstRegistrationNumber
                                                    : static_cast<uint16_t>(value + 1);
        if (!NumberInUse(value))
            return value;
    }
    return counter_;
}

}  // namespace objscope
