// The communication layer's start-up and shutdown, log, device mappings and
// ticket bookkeeping.
#include "comm/tarn_monitor.h"

#include <unistd.h>

#include <algorithm>

#include "settings/settings_source_id.h"
#include "platform/wait.h"

namespace objscope {
namespace {

TTarn_Monitor* gInstance = nullptr;

// objlink's address of a mapping that serves the device.
VEKAddress_t objlinkAddress(const DeviceAddress& address) {
    VEKAddress_t out{};
    out.AddressType = static_cast<VEKAddressType_t>(address.type);
    out.Address = address.address;
    return out;
}

}  // namespace

TTarn_Monitor::TTarn_Monitor(const TarncomSettings& settings, TTarnMonitorView* view)
    : view_(view),
      myNet_(settings.myNet),
      sourceId_(deriveSourceId(settings.machineNumber, lookupOwnHostAddress, systemRandomByte)),
      monitor_(settings.monitor),
      mappings_(settings.mappings) {
    tickets_.ResetRegistrationCounter();
    StartObjlink();
    if (monitor_ && view_ != nullptr)
        view_->ShowMonitorWindow();
    retryCounter_ = 0;
    downloadWarnings_ = 0;
    gInstance = this;
}

TTarn_Monitor::~TTarn_Monitor() {
    Cleanup_ComLayer();
    if (gInstance == this)
        gInstance = nullptr;
}

TTarn_Monitor* TTarn_Monitor::Instance() {
    return gInstance;
}

void TTarn_Monitor::StartObjlink() {
    window_ = plat::createWindow([this](plat::Message& m) { return HandleWindowMessage(m); });
    registrationId_ = VEKNetStartup();
    if (registrationId_ < 0) {
        ShowMessage("VEKNet Registration Error\rVEKNet Subsystem is not available\r(Error = " +
                    std::to_string(registrationId_) + ").");
        return;
    }
    subscriptionId_ = RegisterVEKObjectMessages_Window(registrationId_, kTarnObjectId, window_,
                                                       kMsgTarnNotification);
    if (subscriptionId_ < 0) {
        ShowMessage("Error Registering for Messages\rCould not register for Messages\r(Error = " +
                    std::to_string(subscriptionId_) + ").");
    }
}

void TTarn_Monitor::StopObjlink() {
    if (registrationId_ > 0) {
        if (subscriptionId_ > 0)
            UnRegisterVEKObjectMessages(registrationId_, subscriptionId_);
        // Withdraws every outstanding request: objlink writes into no
        // ticket's reply record from here on.
        VEKNetCleanup(registrationId_);
    }
    registrationId_ = 0;
    subscriptionId_ = 0;
    if (window_ != plat::kNoWindow) {
        plat::destroyWindow(window_);
        window_ = plat::kNoWindow;
    }
}

void TTarn_Monitor::Cleanup_ComLayer() {
    if (cleanedUp_)
        return;
    cleanedUp_ = true;
    mappings_.clear();
    std::vector<uint64_t> idle;
    for (const auto& ticket : tickets_.Items()) {
        if (!ticket->awaitingReply)
            idle.push_back(ticket->serial);
    }
    for (uint64_t serial : idle) {
        tickets_.Remove(serial);
    }
    if (tickets_.Count() > 0) {
        auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(requestTimeOut_);
        plat::processMessagesUntil(
            [this] {
                for (const auto& ticket : tickets_.Items()) {
                    if (ticket->awaitingReply)
                        return false;
                }
                return true;
            },
            deadline);
    }
    StopObjlink();
    while (!tickets_.Items().empty()) {
        tickets_.Remove(tickets_.Items().front()->serial);
    }
}

// --- log ------------------------------------------------------------------------

void TTarn_Monitor::LogLine(const std::string& text) {
    if (!monitor_)
        return;
    log_.push_back(text);
    if (view_ != nullptr) {
        view_->ShowOperation(text);
        view_->AppendLogLine(text);
    }
    while (log_.size() > kMonitorLogLines) {
        log_.pop_front();
        if (view_ != nullptr)
            view_->RemoveOldestLogLine();
    }
}

void TTarn_Monitor::ListTickets() {
    LogLine("**** Current Tickets ****");
    if (tickets_.Count() == 0) {
        LogLine("   (none)");
        return;
    }
    size_t index = 0;
    for (const auto& ticket : tickets_.Items()) {
        std::string line = "  Ticket " + std::to_string(index++) + ": ";
        std::string_view name = MessageName(ticket->messageId);
        if (name.empty()) {
            line += "  (unk)";
        } else {
            line += name;
            if (ticket->hasLinkProperty)
                line += " of " + ticket->propertyName;
        }
        LogLine(line);
    }
}

void TTarn_Monitor::ShowMessage(const std::string& text) {
    if (view_ != nullptr)
        view_->ShowMessage(text);
}

void TTarn_Monitor::ShowTicketCount() {
    if (view_ != nullptr)
        view_->ShowTicketCount(tickets_.Count());
}

void TTarn_Monitor::NoteRx() {
    if (!monitor_ || view_ == nullptr)
        return;
    view_->ToggleRx();
    view_->ShowOperation("");
}

// --- device mappings ------------------------------------------------------------

void TTarn_Monitor::CopyDeviceMappings(std::vector<DeviceMapping>& list) const {
    list.insert(list.end(), mappings_.begin(), mappings_.end());
}

void TTarn_Monitor::SetDeviceAddress(uint16_t device, uint32_t address) {
    for (auto& mapping : mappings_) {
        if (device >= mapping.firstDevice && device <= mapping.lastDevice) {
            mapping.address.address = address;
            return;
        }
    }
    DeviceMapping added;
    added.network = 0;
    added.firstDevice = static_cast<uint16_t>(device & 0xFFF0);
    added.lastDevice = static_cast<uint16_t>(device | 0x000F);
    added.transport = Transport::Ip;
    added.address = {DeviceAddressType::FullAddress, address};
    mappings_.push_back(added);
}

std::optional<VEKAddress_t> TTarn_Monitor::DestinationFor(uint16_t net, uint16_t dev) {
    const DeviceMapping* mapping = findMapping(mappings_, net, dev);
    if (mapping == nullptr) {
        LogLine("No Device Mapping for Net " + std::to_string(net) + " Dev " + std::to_string(dev) +
                ": " + StatusText(kStatusNoMapping));
        return std::nullopt;
    }
    if (mapping->transport == Transport::Ip)
        return objlinkAddress(mapping->address);
    ShowMessage("GetVEKnetStarted called when Device is not VEKnet type");
    VEKAddress_t node{};
    node.AddressType = ::Node;
    node.Address = mapping->node;
    return node;
}

// --- tickets --------------------------------------------------------------------

std::unique_ptr<TTarnTicket> TTarn_Monitor::NewTicket(MessageKind kind, const TarnAddress& target,
                                                      TNotifyEvent callback) {
    auto ticket = std::make_unique<TTarnTicket>();
    ticket->serial = tickets_.NewSerial();
    ticket->kind = kind;
    ticket->target = target;
    ticket->callback = std::move(callback);
    return ticket;
}

void TTarn_Monitor::DescribeLink(TTarnTicket& ticket, const TTarn_Property_Link& link) {
    ticket.target = {link.Dest_Net, link.Dest_Dev, link.Dest_Obj};
    if (TVEKPropertyBase* property = link.Property()) {
        ticket.hasLinkProperty = true;
        ticket.property = property;
        ticket.propertyName = property->Name();
        ticket.propertyId = property->PropertyID();
    }
}

void TTarn_Monitor::AddTicket(std::unique_ptr<TTarnTicket> ticket, const std::string& label) {
    std::string line = "Add Ticket (" + label + ")";
    if (ticket->hasLinkProperty)
        line += ": " + ticket->propertyName;
    ticket->label = label;
    tickets_.Add(std::move(ticket));
    ShowTicketCount();
    LogLine(line);
}

void TTarn_Monitor::DisposeTicket(uint64_t serial) {
    TTarnTicket* ticket = tickets_.FindSerial(serial);
    if (ticket == nullptr || ticket->registrationLive)
        return;
    if (ticket->awaitingReply) {
        // objlink still owns the reply record: drop it when it comes back.
        ticket->dropWhenReplied = true;
        return;
    }
    tickets_.Remove(serial);
    ShowTicketCount();
    LogLine("Drop Ticket");
}

void TTarn_Monitor::DropTicket(TTarnTicket& ticket) {
    ticket.registrationLive = false;
    DisposeTicket(ticket.serial);
}

bool TTarn_Monitor::WaitForTicket(uint64_t serial) {
    // Each page or retry of the listing moves the deadline on, so a long
    // listing is waited for as long as it makes progress.
    auto budget = std::chrono::milliseconds(requestTimeOut_ + 1000);
    auto deadline = std::chrono::steady_clock::now() + budget;
    unsigned lastPages = 0;
    int32_t lastNumber = 0;
    for (;;) {
        bool gone = plat::processMessagesUntil(
            [&] {
                TTarnTicket* ticket = tickets_.FindSerial(serial);
                return ticket == nullptr || ticket->pages != lastPages ||
                       ticket->messageNumber != lastNumber;
            },
            deadline);
        TTarnTicket* ticket = tickets_.FindSerial(serial);
        if (ticket == nullptr)
            return true;
        if (!gone) {
            // Given up: the caller's list is no longer written into.
            ticket->objects = nullptr;
            ticket->properties = nullptr;
            ticket->outcome = nullptr;
            ticket->callback = {};
            return false;
        }
        lastPages = ticket->pages;
        lastNumber = ticket->messageNumber;
        deadline = std::chrono::steady_clock::now() + budget;
    }
}

// --- sending --------------------------------------------------------------------

int32_t TTarn_Monitor::SendTicket(TTarnTicket& ticket) {
    if (registrationId_ <= 0)
        return kStatusNotRegistered;
    VEKMessage_t message{};
    message.ObjectID = kTarnObjectId;
    message.MessageID = ticket.messageId;
    message.DataLength = static_cast<uint16_t>(ticket.request.size());
    message.DataPtr = ticket.request.data();
    message.Address = ticket.address;
    ticket.reply = VEKMessageResponse_t{};
    ticket.reply.DataPtr = ticket.replyBuffer.data();
    ticket.reply.MaxDataLength = static_cast<uint16_t>(ticket.replyBuffer.size());
    ticket.awaitingReply = true;
    int32_t result =
        AsyncSendVEKMessage_Window(registrationId_, static_cast<uint32_t>(requestTimeOut_),
                                   &message, &ticket.reply, window_, kMsgTarnReply);
    if (result < 1) {
        ticket.awaitingReply = false;
    } else {
        ticket.messageNumber = result;
    }
    return result;
}

int32_t TTarn_Monitor::SubmitTicket(std::unique_ptr<TTarnTicket> ticket, const std::string& label,
                                    const TarnRequest& request, size_t replySize) {
    if (registrationId_ <= 0)
        return kStatusNotRegistered;
    if (request.data.size() > kTarnMaxRequestLength)
        return RefuseTooLong(label.c_str());
    auto address = DestinationFor(ticket->target.net, ticket->target.dev);
    if (!address)
        return kStatusNoMapping;
    ticket->retriesLeft = kTicketRetries;
    ticket->messageId = request.messageId;
    ticket->request = request.data;
    ticket->address = *address;
    ticket->replyBuffer.assign(replySize, 0);
    auto header = readTarnHeader(request.data);
    ticket->sourceObject = header ? static_cast<uint16_t>(header->Src_Obj) : 0;
    uint64_t serial = ticket->serial;
    AddTicket(std::move(ticket), label);
    TTarnTicket& added = *tickets_.FindSerial(serial);
    int32_t result = SendTicket(added);
    if (result < 0)
        DropTicket(added);
    return result;
}

int32_t TTarn_Monitor::Resend(TTarnTicket& ticket, const char* name) {
    if (ticket.retriesLeft == 0)
        return 0;
    LogLine(std::string("Retry ") + name + ": (" +
            std::to_string(kTicketRetries - ticket.retriesLeft) + ")");
    if (ticket.IsListing() && ticket.replyBuffer.size() < kListingReplySize)
        ticket.replyBuffer.assign(kListingReplySize, 0);
    int32_t result = SendTicket(ticket);
    if (result < 1)
        return result < 0 ? result : -1;
    retryCounter_ = retryCounter_ >= kMaxRetryCounter ? 0 : retryCounter_ + 1;
    if (view_ != nullptr)
        view_->ShowRetries(retryCounter_);
    return result;
}

int32_t TTarn_Monitor::RefuseTooLong(const char* what) {
    LogLine(std::string(">>Request too long for one datagram: ") + what);
    return kStatusRequestTooLong;
}

int64_t TTarn_Monitor::HandleWindowMessage(plat::Message& message) {
    if (message.msg == kMsgDeferredNotification) {
        // Our own post (never lParam): the copy of a notification.
        if (message.senderPid == static_cast<uint32_t>(::getpid()))
            HandleNotification(static_cast<uint16_t>(message.wParam), message.payload.bytes());
        return 0;
    }
    // The record pointer in lParam is only meaningful when objlink in this
    // process sent it; any other process may post to the window.
    if (message.lParam == 0 || message.senderPid != static_cast<uint32_t>(::getpid()))
        return 0;
    const auto* record =
        reinterpret_cast<const VEKMessageResponse_t*>(static_cast<intptr_t>(message.lParam));
    if (message.msg == kMsgTarnReply && message.isSend) {
        // A time-out, sent by objlink's thread, which waits meanwhile: handled
        // from our own queue instead, so a callback that waits (a dialog, a
        // synchronous request) does not hold that thread.
        plat::postMessage(window_, kMsgTarnReply, 0, message.lParam);
        return 0;
    }
    if (message.msg == kMsgTarnReply) {
        // Read only through a ticket that owns this record: a report that
        // names no listed ticket is stale and never dereferenced.
        if (TTarnTicket* ticket = tickets_.FindRecord(record))
            HandleReply(*ticket);
    } else if (message.msg == kMsgTarnNotification) {
        DeferNotification(*record);
    }
    return 0;
}

// objlink's library thread waits while a notification is sent to us. The
// record is copied and handled from our own queue, so that thread is free
// again at once: a callback that starts a synchronous request (which needs
// that thread for its reply) then does not stall.
void TTarn_Monitor::DeferNotification(const VEKMessageResponse_t& record) {
    uint16_t objectId = record.ObjectID;
    uint16_t length = record.DataLength;
    uint16_t capacity = record.MaxDataLength;
    std::vector<uint8_t> data;
    if (record.DataPtr != nullptr)
        data.assign(record.DataPtr, record.DataPtr + std::min(length, capacity));
    plat::postMessage(window_, kMsgDeferredNotification, objectId, 0,
                      plat::Payload::fromBytes(std::move(data)));
}

}  // namespace objscope
