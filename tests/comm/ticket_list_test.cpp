// Registration numbers of the ticket list: from 12, wrapping after 65520,
// skipping numbers a listed ticket carries; notifications match only live
// registration tickets.
#include <gtest/gtest.h>

#include "comm/tarn_ticket.h"
#include "protocol/tarn_header.h"

namespace objscope {
namespace {

std::unique_ptr<TTarnTicket> ticketWithSource(TTicketList& list, MessageKind kind,
                                              uint16_t sourceObject) {
    auto ticket = std::make_unique<TTarnTicket>();
    ticket->serial = list.NewSerial();
    ticket->kind = kind;
    ticket->sourceObject = sourceObject;
    appendTarnHeader(ticket->request, makeRequestHeader(RequestMode::ReplyWanted, {0, 1, 2},
                                                        {0, 0x8031, sourceObject}));
    return ticket;
}

TEST(TicketList, RegistrationNumbersStartAt12WrapAfter65520AndSkipLiveOnes) {
    TTicketList list;
    EXPECT_EQ(list.NextRegistrationNumber(), 12);
    EXPECT_EQ(list.NextRegistrationNumber(), 13);
    // 14 and 15 are in use by listed tickets (a registration and a soft
    // reset, whose Src_Obj is its kind code 15).
    list.Add(ticketWithSource(list, MessageKind::Reg, 14));
    list.Add(ticketWithSource(list, MessageKind::SoftReset, 15));
    EXPECT_EQ(list.NextRegistrationNumber(), 16);

    TTicketList wrapping;
    for (unsigned n = 12; n < 65520; ++n)
        wrapping.NextRegistrationNumber();
    EXPECT_EQ(wrapping.NextRegistrationNumber(), 65520);
    wrapping.Add(ticketWithSource(wrapping, MessageKind::Reg, 12));
    EXPECT_EQ(wrapping.NextRegistrationNumber(), 13);
}

TEST(TicketList, OnlyLiveRegistrationsMatchANotification) {
    TTicketList list;
    // An unregistration carries the number it cancels, and a class listing
    // carries its kind code 12: neither is a registration.
    list.Add(ticketWithSource(list, MessageKind::UnregAll, 20));
    list.Add(ticketWithSource(list, MessageKind::GetAllClasses, 12));
    TTarnTicket& dead = list.Add(ticketWithSource(list, MessageKind::Reg, 21));
    TTarnTicket& live = list.Add(ticketWithSource(list, MessageKind::Reg, 21));
    live.registrationLive = true;

    EXPECT_EQ(list.FindLiveRegistration(20), nullptr);
    EXPECT_EQ(list.FindLiveRegistration(12), nullptr);
    EXPECT_EQ(list.FindLiveRegistration(21), &live);
    EXPECT_EQ(list.FindLastRegistration(21), &live);
    EXPECT_NE(&dead, &live);
    EXPECT_EQ(list.FindRecord(&live.reply), &live);
    VEKMessageResponse_t stranger{};
    EXPECT_EQ(list.FindRecord(&stranger), nullptr);
}

}  // namespace
}  // namespace objscope
