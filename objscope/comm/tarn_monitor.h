// TTarn_Monitor: the single gateway of objscope to the Tarn devices.
//
// It owns the objlink registration, turns property reads and writes, change
// registrations, object listings, downloads and device commands into Tarn
// requests, keeps every outstanding asynchronous request as a ticket until
// its reply is handled, retries failed requests, pages long listings, routes
// change notifications to their property, and writes a running log for the
// monitor window "Tarn_Monitor (Com Layer)".
//
// It lives on one thread (the GUI thread) and receives objlink's replies
// (1428) and notifications (1424) as platform window messages on that
// thread. Its waits keep that thread's messages (and, with the Qt adapter,
// Qt's events) flowing while they sleep, so handlers may run inside them.
//
// In objscope (Qt):
//
//     QApplication app(argc, argv);
//     plat::qt::QtMessagePump pump;          // platform messages from Qt's loop
//     TTarn_MonitorForm form;                // "Tarn_Monitor (Com Layer)"
//     TTarn_Monitor layer(readTarncomSettings(ini), &form);
//     form.SetMonitor(&layer);
//
// Results are status values: 0 success, negative an objlink or local
// failure (-2 time-out, -15 no objlink registration, -17 request too long
// for one datagram or without property, -19 no device mapping covers the
// device), positive a device rejection; StatusText gives their texts.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "comm/monitor_view.h"
#include "comm/notify_event.h"
#include "comm/tarn_ticket.h"
#include "model/object_root.h"
#include "values/property_link.h"
#include "settings/settings_device_mapping.h"
#include "settings/settings_tarncom.h"
#include "protocol/tarn_header.h"
#include "protocol/tarn_methods.h"
#include "protocol/tarn_requests.h"
#include "protocol/tarn_status.h"
#include "settings/vek_list.h"
#include "objlink.h"
#include "platform/window.h"

namespace objscope {

// Window messages of objlink's reports to the monitor's window.
constexpr uint32_t kMsgTarnNotification = 1424;
constexpr uint32_t kMsgTarnReply = 1428;
// A notification's copy, posted by the monitor's window to itself.
constexpr uint32_t kMsgDeferredNotification = 0x8424;

// Local failures (below zero, as objlink's).
constexpr int32_t kStatusTimeOut = -2;          // the request got no reply in time
constexpr int32_t kStatusReplyTooLong = -1;     // the reply did not fit its buffer
constexpr int32_t kStatusRequestTooLong = -17;  // more than one datagram: refused
constexpr int32_t kStatusBadRequest = -17;      // a link without property
constexpr int32_t kStatusNoMapping = -19;       // no device mapping covers the device

constexpr int kDefaultRequestTimeOut = 2000;
constexpr int kLongCommandTimeOut = 15000;  // SetDefaultData, SetMultipleProps
constexpr size_t kMonitorLogLines = 150;
constexpr unsigned kMaxRetryCounter = 65000;
constexpr unsigned kMaxListingPages = 1024;  // a device that always says "more" is stopped
constexpr int kDownloadErrorSeconds = 30;
constexpr std::chrono::milliseconds kDownloadRetryPause{2000};

class TTarn_Monitor {
  public:
    // Startup: reads the identity and mappings from the settings, creates
    // the window that receives objlink's reports, starts objlink and
    // subscribes to the Tarn messages. Failures are shown through the view
    // and leave a layer whose every operation returns -15.
    explicit TTarn_Monitor(const TarncomSettings& settings, TTarnMonitorView* view = nullptr);
    // Cleanup_ComLayer, then objlink is stopped.
    ~TTarn_Monitor();
    TTarn_Monitor(const TTarn_Monitor&) = delete;
    TTarn_Monitor& operator=(const TTarn_Monitor&) = delete;

    // The layer of the program (the most recently started one still alive).
    static TTarn_Monitor* Instance();

    // Shutdown: releases the mappings and every ticket not awaiting a reply,
    // waits (processing messages) up to the request time-out for the rest,
    // then stops objlink and releases them. Called by the destructor too.
    void Cleanup_ComLayer();

    // --- identity and settings -----------------------------------------
    uint16_t MyNet() const { return myNet_; }
    uint16_t SourceID() const { return sourceId_; }
    int32_t RegistrationID() const { return registrationId_; }
    plat::Hwnd WindowHandle() const { return window_; }
    int RequestTimeOut() const { return requestTimeOut_; }
    void SetRequestTimeOut(int milliseconds) { requestTimeOut_ = milliseconds; }
    bool Monitor() const { return monitor_; }
    void SetMonitor(bool on) { monitor_ = on; }
    void SetView(TTarnMonitorView* view) { view_ = view; }

    // --- single properties ------------------------------------------------
    // TarnSet without reply and without ticket.
    int32_t SetProperty(const TTarn_Property_Link& link);
    // TarnSet with a reply and a ticket: when the reply comes (or the retries
    // run out) the callback is called and ReplyStatus() gives the device's
    // verdict: 0 taken, positive refused, kStatusTimeOut no reply.
    int32_t SetPropertyChecked(const TTarn_Property_Link& link, TNotifyEvent callback);
    // The status of the set whose callback is running.
    int32_t ReplyStatus() const { return replyStatus_; }
    // TarnSet with reply, synchronous; the reply's status is not examined.
    int32_t SetPropertyWait(const TTarn_Property_Link& link);
    // TarnGet with a ticket; the reply is decoded into the link's property,
    // then the callback is called. Returns the send result.
    int32_t GetProperty(const TTarn_Property_Link& link, TNotifyEvent callback);
    // TarnGet, synchronous; on status 0 the value is decoded into the link's
    // property. A non-zero address override sends to that full address.
    int32_t GetPropertyNow(const TTarn_Property_Link& link, uint32_t addressOverride = 0);
    // TarnReg: returns the registration number (12..65520) or a negative
    // send result. Every notification decodes into the link's property and
    // calls the callback.
    int32_t RegisterProperty(const TTarn_Property_Link& link, TNotifyEvent callback);
    // Cancels a registration at the device (numbers above 11 only).
    void TarnDeReg(uint16_t registrationNumber);

    // --- objects ------------------------------------------------------------
    int32_t ConfirmObject(TVEKroot& object, bool skipSendLast);
    int32_t DeleteObject(TVEKroot& object);
    int32_t DeleteAllObjects(uint16_t net, uint16_t dev);
    int32_t SoftResetFrame(uint16_t net, uint16_t dev);
    int32_t SetDefaultData(uint16_t net, uint16_t dev);
    int32_t SetMultipleProps(const TarnAddress& object, const PropertyList& properties);
    // Downloads the object (all properties or only the modified ones), then
    // its owned objects; errors are asked about in the 30-second dialog.
    int32_t DownloadObject(TVEKroot& object, bool onlyModified);

    // --- listings -------------------------------------------------------------
    // With a callback these return the send result at once and call back when
    // the listing ends (also when it failed). Without one they wait,
    // processing messages, until the listing ended and return 0.
    int32_t GetAllProperties(const TarnAddress& object, TVEKList<TVEKPropertyBase>& list,
                             TNotifyEvent callback = {});
    int32_t GetAllObjects(const TarnAddress& device, TVEKList<TVEKroot>& list,
                          std::optional<uint16_t> classFilter = std::nullopt,
                          TNotifyEvent callback = {});
    int32_t GetAllObjectsPlus(const TarnAddress& device, TVEKList<TVEKroot>& list,
                              TNotifyEvent callback = {});
    // Without a callback synchronous: returns the status value.
    int32_t GetAllClasses(const TarnAddress& device, TVEKList<TVEKroot>& list,
                          TNotifyEvent callback = {});

    // --- methods ------------------------------------------------------------------
    // A raw exchange. With a reply wanted the reply bytes after the header
    // are copied into `replyBytes` when the status is 0 or 0x8000 (emptied
    // otherwise); without, the send result is returned.
    int32_t ActivateMethod(const TarnAddress& object, uint16_t messageId,
                           std::span<const uint8_t> bytes, std::vector<uint8_t>& replyBytes,
                           bool replyWanted);
    int32_t StopTest(const TarnAddress& address, uint16_t sequence);
    int32_t StartSequence(const TarnAddress& address, uint16_t modeWord, uint16_t sequence,
                          uint16_t& result);
    int32_t RunCircuitTest(const TarnAddress& address, uint16_t modeFlags, uint16_t sequence,
                           uint16_t settingCode, uint16_t point, uint16_t& result);
    int32_t GetTestList(const TarnAddress& address, uint16_t selector, TTestRecords& records);
    int32_t GetTestResults(const TarnAddress& address, uint16_t selector1, uint16_t selector2,
                           uint16_t selector3, TTestRecords& records);
    int32_t FlushResults(const TarnAddress& address, uint16_t value1, uint16_t value2);

    // --- device mappings ------------------------------------------------------------
    void CopyDeviceMappings(std::vector<DeviceMapping>& list) const;
    void SetDeviceAddress(uint16_t device, uint32_t address);
    static std::string AddressToText(uint32_t address) { return objscope::AddressToText(address); }
    static std::optional<DeviceAddress> TextToAddress(std::string_view text) {
        return objscope::TextToAddress(text);
    }
    static std::string StatusText(int32_t status) { return objscope::StatusText(status); }

    // --- monitor window ----------------------------------------------------------------
    size_t TicketCount() const { return tickets_.Count(); }
    const TTicketList& Tickets() const { return tickets_; }
    unsigned Retries() const { return retryCounter_; }
    unsigned DownloadWarnings() const { return downloadWarnings_; }
    // Writes one line (nothing with "Monitor" off).
    void LogLine(const std::string& text);
    const std::deque<std::string>& Log() const { return log_; }
    // The ticket labels were clicked: the current tickets into the log.
    void ListTickets();

    // The window procedure of the monitor's platform window.
    int64_t HandleWindowMessage(plat::Message& message);

  private:
    // startup and shutdown
    void StartObjlink();
    void StopObjlink();

    // requests
    std::optional<VEKAddress_t> DestinationFor(uint16_t net, uint16_t dev);
    TarnRequester Requester() const { return {myNet_, sourceId_}; }
    std::unique_ptr<TTarnTicket> NewTicket(MessageKind kind, const TarnAddress& target,
                                           TNotifyEvent callback);
    void DescribeLink(TTarnTicket& ticket, const TTarn_Property_Link& link);
    int32_t SubmitTicket(std::unique_ptr<TTarnTicket> ticket, const std::string& label,
                         const TarnRequest& request, size_t replySize);
    int32_t SendTicket(TTarnTicket& ticket);
    int32_t Resend(TTarnTicket& ticket, const char* name);
    void AddTicket(std::unique_ptr<TTarnTicket> ticket, const std::string& label);
    void DisposeTicket(uint64_t serial);
    void DropTicket(TTarnTicket& ticket);
    bool WaitForTicket(uint64_t serial);

    int32_t PrepareGet(const TTarn_Property_Link& link, TarnRequest& request);
    // Decodes the item of a reply or notification into the property.
    static bool DecodeItemInto(std::span<const uint8_t> data, TVEKPropertyBase& property);

    // synchronous exchanges
    int32_t SyncExchangeStatus(const TarnRequest& request, uint32_t timeoutMs,
                               std::vector<uint8_t>* replyData,
                               std::optional<uint32_t> addressOverride = std::nullopt);
    int32_t RefuseTooLong(const char* what);

    // replies and notifications
    void HandleReply(TTarnTicket& ticket);
    void DeferNotification(const VEKMessageResponse_t& record);
    void HandleNotification(uint16_t objectId, std::span<const uint8_t> data);
    void ReplyGet(TTarnTicket& ticket, bool failed, std::span<const uint8_t> data);
    void ReplySet(TTarnTicket& ticket, bool failed, std::span<const uint8_t> data);
    void ReplyListing(TTarnTicket& ticket, int32_t failure, std::span<const uint8_t> data);
    void ReplyClasses(TTarnTicket& ticket, bool failed, std::span<const uint8_t> data);
    void ReplyRegistration(TTarnTicket& ticket, bool failed);
    void ReplyUnregistration(TTarnTicket& ticket, bool failed);
    size_t AddListingPage(TTarnTicket& ticket, std::span<const uint8_t> data, uint16_t start);
    void FinishListing(TTarnTicket& ticket, const char* doneLine, int32_t outcome);
    int32_t StartListing(std::unique_ptr<TTarnTicket> ticket, const char* label,
                         const TarnRequest& request, size_t replySize);
    static void AddClassObjects(std::span<const uint8_t> reply, const TarnAddress& device,
                                TVEKList<TVEKroot>* list);
    void CallBack(TTarnTicket& ticket, const char* exceptionLine);
    void NoteRx();

    // downloads
    int32_t DownloadStep(TVEKroot& object, bool onlyModified, PropertyList& collected,
                         bool& confirmed);
    int32_t JudgeDownloadStatus(int32_t status, const std::string& objectName, int& tries,
                                bool& tryAgain);

    // paged test methods
    int32_t PagedMethod(const TarnAddress& address, uint16_t messageId,
                        std::vector<uint8_t> payload, size_t startOffset,
                        const RecordPageLayout& layout, TTestRecords& records);

    void ShowMessage(const std::string& text);
    void ShowTicketCount();

    TTarnMonitorView* view_ = nullptr;
    uint16_t myNet_ = 0;
    uint16_t sourceId_ = 0;
    bool monitor_ = false;
    int requestTimeOut_ = kDefaultRequestTimeOut;
    std::vector<DeviceMapping> mappings_;
    TTicketList tickets_;
    unsigned retryCounter_ = 0;
    unsigned downloadWarnings_ = 0;
    std::deque<std::string> log_;

    plat::Hwnd window_ = plat::kNoWindow;
    int32_t registrationId_ = 0;
    int32_t replyStatus_ = 0;
    int32_t subscriptionId_ = 0;
    bool cleanedUp_ = false;
};

}  // namespace objscope
