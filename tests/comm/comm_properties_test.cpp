// Single properties, registrations and notifications: retries of a failing
// TarnGet, time-outs as -2, registration numbers, notification routing, the
// cancelling of defunct registrations, and devices that answer garbage or
// twice or for devices no mapping covers.
#include <sys/resource.h>

#include <QTimer>

#include "comm_session.h"
#include "values/property_string_value.h"
#include "values/property_typed_values.h"
#include "protocol/tarn_items.h"
#include "protocol/tarn_request_decoders.h"

namespace comm_testing {
namespace {

constexpr uint16_t kGainId = 0x0105;

std::vector<uint8_t> wordItem(uint16_t id, uint16_t value) {
    std::vector<uint8_t> bytes{static_cast<uint8_t>(value & 0xFF),
                               static_cast<uint8_t>(value >> 8)};
    return encodeItem(id, bytes);
}

class PropertySession : public CommSession {
  protected:
    void SetUp() override {
        CommSession::SetUp();
        gain_.SetName("Gain");
        gain_.SetPropertyID(kGainId);
        link_ = TTarn_Property_Link(kNet, kDev, 9, &gain_);
    }
    int requestTimeOut() const override { return 300; }

    // A notification of the registration `number` to `destDev`.
    void notify(uint16_t destDev, uint16_t number, uint16_t value) {
        sendUnsolicited(1, buildNotification({kNet, destDev, number}, {kNet, kDev, 9},
                                             wordItem(kGainId, value)));
    }
    // Registers the gain and confirms it; returns the number.
    int32_t registerConfirmed(TNotifyEvent callback) {
        int32_t number = monitor_->RegisterProperty(link_, std::move(callback));
        auto request = nextRequest();
        EXPECT_TRUE(request);
        if (request)
            reply(*request, buildStatusReply(request->header, {kNet, kDev, 9}, 0, 0));
        EXPECT_TRUE(pumpUntil([&] { return logHas("Reg OK: Gain"); }));
        return number;
    }

    TU32UWord gain_;
    TTarn_Property_Link link_;
};

TEST_F(PropertySession, AGetThatIsAnsweredDecodesIntoThePropertyAndCallsBackOnce) {
    int calls = 0;
    EXPECT_GT(monitor_->GetProperty(link_, TNotifyEvent([&](TTarn_Monitor& sender) {
                                        EXPECT_EQ(&sender, monitor_.get());
                                        ++calls;
                                    })),
              0);
    auto request = nextRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->datagram.message, 1);
    EXPECT_EQ(request->header.Src_Dev, kSourceId);
    EXPECT_EQ(request->header.Dest_Obj, 9);
    // Answered twice: the second copy matches nothing.
    auto answer = buildPayloadReply(request->header, {kNet, kDev, 9}, wordItem(kGainId, 1234));
    reply(*request, answer);
    reply(*request, answer);
    EXPECT_TRUE(pumpUntil([&] { return calls > 0; }));
    pumpFor(200ms);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(gain_.Value(), 1234);
    EXPECT_TRUE(logHas("GET Property: Gain"));
    EXPECT_TRUE(logHas("Add Ticket (Tarn_Get): Gain"));
    EXPECT_TRUE(logHas("Get OK: Gain"));
    EXPECT_EQ(monitor_->TicketCount(), 0u);
}

TEST_F(PropertySession, AGetThatNeverGetsAnAnswerIsSentThreeTimesThenDropped) {
    int calls = 0;
    monitor_->GetProperty(link_, TNotifyEvent([&](TTarn_Monitor&) { ++calls; }));
    EXPECT_TRUE(pumpUntil([&] { return monitor_->TicketCount() == 0; }));
    int sends = 0;
    while (nextRequest(200ms))
        ++sends;
    EXPECT_EQ(sends, 3);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(logCount("Retry TarnGet: (1)"), 1u);
    EXPECT_EQ(logCount("Retry TarnGet: (2)"), 1u);
    EXPECT_EQ(logCount("Retry TarnGet: (3)"), 0u);
    EXPECT_EQ(monitor_->Retries(), 2u);
    EXPECT_EQ(view_.retries, 2u);
    EXPECT_TRUE(logHas("Drop Ticket"));
}

// objlink matches a reply by message and number: one that comes from
// another object than the Tarn object is no Tarn reply. It is ignored, not
// taken as a failure that is retried.
TEST_F(PropertySession, AReplyFromAnotherObjectIsIgnoredAndNotRetried) {
    int calls = 0;
    monitor_->GetProperty(link_, TNotifyEvent([&](TTarn_Monitor&) { ++calls; }));
    auto request = nextRequest();
    ASSERT_TRUE(request);
    auto answer = buildPayloadReply(request->header, {kNet, kDev, 9}, wordItem(kGainId, 77));
    device_->send(datagram(0x1234, static_cast<uint16_t>(request->datagram.message | 0x8000),
                           request->datagram.number, answer));
    pumpFor(300ms);
    EXPECT_EQ(calls, 0);
    EXPECT_NE(gain_.Value(), 77);
    EXPECT_EQ(logCount("Retry TarnGet: (1)"), 0u);
    EXPECT_FALSE(nextRequest(200ms)) << "resent";
}

TEST_F(PropertySession, ASynchronousTimeOutIsMinus2AndDecodesNothing) {
    gain_.SetValue(77);
    EXPECT_EQ(monitor_->GetPropertyNow(link_), kStatusTimeOut);
    EXPECT_EQ(gain_.Value(), 77);
    EXPECT_TRUE(logHas("Get Property Stat: Gain"));
    EXPECT_TRUE(logHas("   Status: VEKnet Error #-2"));
}

TEST_F(PropertySession, SynchronousRepliesAreJudgedByTheirStatus) {
    struct Case {
        std::vector<uint8_t> (*answer)(const TarnHeader&);
        int32_t status;
        uint16_t value;
    };
    const Case cases[] = {
        {[](const TarnHeader& h) {
             return buildPayloadReply(h, {kNet, kDev, 9}, wordItem(kGainId, 500));
         },
         0, 500},
        {[](const TarnHeader& h) {
             return buildStatusReply(h, {kNet, kDev, 9}, 0, 8);
         },
         8 * 256, 500},
        {[](const TarnHeader& h) {
             return buildStatusReply(h, {kNet, kDev, 9}, 2, 0);
         },
         2, 500},
        // Garbage: too short to carry a header, so no device status but the
        // library's own failure value.
        {[](const TarnHeader&) {
             return std::vector<uint8_t>{0, 0, 1};
         },
         kStatusReplyTooShort, 500},
    };
    monitor_->SetRequestTimeOut(2000);
    for (const auto& c : cases) {
        runScript([&] {
            auto request = nextRequest();
            ASSERT_TRUE(request);
            reply(*request, c.answer(request->header));
        });
        EXPECT_EQ(monitor_->GetPropertyNow(link_), c.status);
        stopScript();
        EXPECT_EQ(gain_.Value(), c.value);
    }
}

TEST_F(PropertySession, ARequestForADeviceNoMappingCoversSendsNothing) {
    TTarn_Property_Link elsewhere(kNet, 99, 9, &gain_);
    EXPECT_EQ(monitor_->GetPropertyNow(elsewhere), kStatusNoMapping);
    EXPECT_EQ(monitor_->GetProperty(elsewhere, TNotifyEvent([](TTarn_Monitor&) {})),
              kStatusNoMapping);
    EXPECT_EQ(monitor_->SetProperty(elsewhere), kStatusNoMapping);
    EXPECT_EQ(monitor_->TicketCount(), 0u);
    EXPECT_FALSE(nextRequest(300ms));
    EXPECT_TRUE(logHas("No Device Mapping for Net 0 Dev 99: Invalid IP Address"));
    EXPECT_EQ(StatusText(kStatusNoMapping), "Invalid IP Address");
}

TEST_F(PropertySession, RegistrationsAreNumberedFrom12AndNotificationsReachTheirProperty) {
    int calls = 0;
    int32_t first = registerConfirmed(TNotifyEvent([&](TTarn_Monitor&) { ++calls; }));
    EXPECT_EQ(first, 12);
    EXPECT_TRUE(logHas("REG Property: Gain"));

    notify(kSourceId, 12, 300);
    EXPECT_TRUE(pumpUntil([&] { return calls == 1; }));
    EXPECT_EQ(gain_.Value(), 300);
    EXPECT_EQ(view_.operation, "Async Callback: Gain");

    // For everybody: taken. For another PC, or no registration: ignored.
    notify(0xFFFF, 12, 301);
    EXPECT_TRUE(pumpUntil([&] { return calls == 2; }));
    notify(0x8041, 12, 302);
    notify(kSourceId, 0, 303);
    notify(kSourceId, 13, 304);
    pumpFor(300ms);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(gain_.Value(), 301);

    TU32UWord other;
    other.SetName("Other");
    TTarn_Property_Link otherLink(kNet, kDev, 9, &other);
    EXPECT_EQ(monitor_->RegisterProperty(otherLink, TNotifyEvent([](TTarn_Monitor&) {})), 13);
    ASSERT_TRUE(nextRequest());
    EXPECT_EQ(monitor_->TicketCount(), 2u);
}

TEST_F(PropertySession, ARegistrationWhoseControlHasGoneIsCancelledAtTheDevice) {
    auto control = std::make_shared<int>(0);
    int calls = 0;
    int32_t number = registerConfirmed(
        TNotifyEvent::Bound(std::weak_ptr<int>(control), [&](TTarn_Monitor&) { ++calls; }));
    control.reset();
    notify(kSourceId, static_cast<uint16_t>(number), 5);
    EXPECT_TRUE(pumpUntil([&] { return logHas(">Drop Defunct Registration"); }));
    auto cancel = nextRequest();
    ASSERT_TRUE(cancel);
    EXPECT_EQ(cancel->datagram.message, 18);
    EXPECT_EQ(cancel->header.Src_Obj, number);
    auto decoded = decodeUnregisterRequest(cancel->datagram.data);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->registrationSource,
              (TarnAddress{kNet, kSourceId, static_cast<uint16_t>(number)}));
    reply(*cancel, buildStatusReply(cancel->header, {kNet, kDev, 9}, 0, 0));
    EXPECT_TRUE(pumpUntil([&] { return logHas("DeReg OK"); }));
    EXPECT_TRUE(logHas(">Drop Defunct Registration"));
    EXPECT_TRUE(logHas("DeReg Property: Gain"));
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(monitor_->TicketCount(), 0u);
    EXPECT_EQ(gain_.Value(), 0);
}

TEST_F(PropertySession, ARegistrationTheDeviceNeverConfirmsStaysLiveAndGetsNotifications) {
    int calls = 0;
    int32_t number =
        monitor_->RegisterProperty(link_, TNotifyEvent([&](TTarn_Monitor&) { ++calls; }));
    EXPECT_EQ(number, 12);
    EXPECT_TRUE(pumpUntil([&] { return logHas("Retry TarnREG: (2)"); }));
    pumpFor(700ms);
    EXPECT_EQ(monitor_->TicketCount(), 1u);
    notify(kSourceId, 12, 42);
    EXPECT_TRUE(pumpUntil([&] { return calls == 1; }));
    EXPECT_EQ(gain_.Value(), 42);
    // Cancelled by its owner: the device is told, the ticket goes.
    monitor_->TarnDeReg(12);
    EXPECT_TRUE(pumpUntil([&] { return monitor_->TicketCount() == 0; }, 15s));
}

TEST_F(PropertySession, WithMonitorOffNothingIsLoggedButTicketsWorkTheSame) {
    monitor_->SetMonitor(false);
    int calls = 0;
    monitor_->GetProperty(link_, TNotifyEvent([&](TTarn_Monitor&) { ++calls; }));
    auto request = nextRequest();
    ASSERT_TRUE(request);
    reply(*request, buildPayloadReply(request->header, {kNet, kDev, 9}, wordItem(kGainId, 9)));
    EXPECT_TRUE(pumpUntil([&] { return calls == 1; }));
    EXPECT_TRUE(monitor_->Log().empty());
    EXPECT_EQ(view_.logLines, 0);
    EXPECT_EQ(view_.rxToggles, 0u);
}

TEST_F(PropertySession, TheLogKeepsTheLast150Lines) {
    for (int i = 0; i < 160; ++i)
        monitor_->LogLine("line " + std::to_string(i));
    ASSERT_EQ(monitor_->Log().size(), 150u);
    EXPECT_EQ(monitor_->Log().front(), "line 10");
    EXPECT_EQ(monitor_->Log().back(), "line 159");
    EXPECT_EQ(view_.logLines, 150);
    monitor_->ListTickets();
    EXPECT_EQ(monitor_->Log().back(), "   (none)");
}

TEST_F(PropertySession, ALateAnswerIsIgnoredAndTheRetryIsAnsweredOnce) {
    int calls = 0;
    monitor_->GetProperty(link_, TNotifyEvent([&](TTarn_Monitor&) { ++calls; }));
    auto first = nextRequest();
    ASSERT_TRUE(first);
    // Not answered in time: the retry goes out, then both get answers.
    EXPECT_TRUE(pumpUntil([&] { return logHas("Retry TarnGet: (1)"); }));
    auto retry = nextRequest();
    ASSERT_TRUE(retry);
    EXPECT_NE(retry->datagram.number, first->datagram.number);
    reply(*first, buildPayloadReply(first->header, {kNet, kDev, 9}, wordItem(kGainId, 1)));
    reply(*retry, buildPayloadReply(retry->header, {kNet, kDev, 9}, wordItem(kGainId, 2)));
    EXPECT_TRUE(pumpUntil([&] { return calls == 1; }));
    pumpFor(200ms);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(gain_.Value(), 2);
    EXPECT_EQ(monitor_->TicketCount(), 0u);
}

TEST_F(PropertySession, ShutdownWaitsForOutstandingRequestsAtMostTheRequestTimeOut) {
    int calls = 0;
    monitor_->SetRequestTimeOut(5000);
    monitor_->GetProperty(link_, TNotifyEvent([&](TTarn_Monitor&) { ++calls; }));
    auto request = nextRequest();
    ASSERT_TRUE(request);
    std::thread lateDevice([&] {
        std::this_thread::sleep_for(200ms);
        reply(*request, buildPayloadReply(request->header, {kNet, kDev, 9}, wordItem(kGainId, 3)));
    });
    auto start = std::chrono::steady_clock::now();
    monitor_->Cleanup_ComLayer();
    auto took = std::chrono::steady_clock::now() - start;
    lateDevice.join();
    EXPECT_LT(took, 4s) << "shutdown did not end when the last reply arrived";
    EXPECT_EQ(monitor_->TicketCount(), 0u);
    EXPECT_EQ(monitor_->GetPropertyNow(link_), kStatusNotRegistered);
}

TEST_F(PropertySession, ARequestLongerThanOneDatagramIsRefusedAndNothingIsSent) {
    PropertyList properties;
    std::vector<std::unique_ptr<TU32StringValue>> texts;
    // Texts are at most 128 characters: 12 items of 131 bytes exceed one
    // datagram, 5 of them exceed 512 bytes.
    for (int i = 0; i < 12; ++i) {
        texts.push_back(std::make_unique<TU32StringValue>());
        texts.back()->SetPropertyID(static_cast<uint16_t>(0x200 + i));
        texts.back()->SetData(std::string(128, 'x'));
        properties.push_back(texts.back().get());
    }
    EXPECT_EQ(monitor_->SetMultipleProps({kNet, kDev, 9}, properties), kStatusRequestTooLong);
    EXPECT_TRUE(logHas(">>Request too long for one datagram: TarnSetMultipleProps"));
    // Five of them fit one datagram although they exceed 512 bytes.
    properties.resize(5);
    runScript([&] {
        auto request = nextRequest();
        ASSERT_TRUE(request);
        EXPECT_GT(request->datagram.data.size(), 512u);
        reply(*request, buildStatusReply(request->header, {kNet, kDev, 9}, 0, 0));
    });
    EXPECT_EQ(monitor_->SetMultipleProps({kNet, kDev, 9}, properties), 0);
    stopScript();
}

TEST_F(PropertySession, ANotificationCallbackMayReadSynchronouslyWithoutStalling) {
    TU32UWord other;
    other.SetName("Other");
    other.SetPropertyID(0x0106);
    TTarn_Property_Link otherLink(kNet, kDev, 9, &other);
    int32_t status = 1;
    int32_t number = registerConfirmed(
        TNotifyEvent([&](TTarn_Monitor& sender) { status = sender.GetPropertyNow(otherLink); }));
    monitor_->SetRequestTimeOut(8000);
    runScript([&] {
        auto request = nextRequest();
        ASSERT_TRUE(request);
        reply(*request, buildPayloadReply(request->header, {kNet, kDev, 9}, wordItem(0x0106, 7)));
    });
    auto start = std::chrono::steady_clock::now();
    notify(kSourceId, static_cast<uint16_t>(number), 1);
    EXPECT_TRUE(pumpUntil([&] { return status != 1; }, 15s));
    auto took = std::chrono::steady_clock::now() - start;
    stopScript();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(other.Value(), 7);
    EXPECT_LT(took, 5s) << "the read waited for objlink's thread, busy sending the notification";
}

TEST_F(PropertySession, AListingFailureCallbackMayReadSynchronouslyWithoutStalling) {
    TVEKList<TVEKroot> objects;
    int32_t status = 1;
    monitor_->GetAllObjects(kDeviceItself, objects, std::nullopt,
                            TNotifyEvent([&](TTarn_Monitor& sender) {
                                sender.SetRequestTimeOut(8000);
                                status = sender.GetPropertyNow(link_);
                            }));
    // The listing's three requests time out; then the read is answered.
    runScript([&] {
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(nextRequest());
        auto request = nextRequest(10s);
        ASSERT_TRUE(request);
        reply(*request, buildPayloadReply(request->header, {kNet, kDev, 9}, wordItem(kGainId, 8)));
    });
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(pumpUntil([&] { return status != 1; }, 20s));
    auto took = std::chrono::steady_clock::now() - start;
    stopScript();
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(logHas("GetAllObjects Done - Failed"));
    EXPECT_LT(took, 5s);
}

TEST_F(PropertySession, ADeviceOfAnotherTransportIsAddressedByItsNodeAfterAWarning) {
    EXPECT_TRUE(view_.shown);  // "Monitor" is on
    TTarn_Property_Link serialLink(kNet, 33, 9, &gain_);
    runScript([&] {
        auto request = nextRequest();
        ASSERT_TRUE(request);
        EXPECT_EQ(request->header.Dest_Dev, 33);
        reply(*request, buildPayloadReply(request->header, {kNet, 33, 9}, wordItem(kGainId, 4)));
    });
    monitor_->SetRequestTimeOut(2000);
    EXPECT_EQ(monitor_->GetPropertyNow(serialLink), 0);
    stopScript();
    EXPECT_EQ(gain_.Value(), 4);
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(view_.messages[0], "GetVEKnetStarted called when Device is not VEKnet type");
}

TEST_F(PropertySession, ASynchronousReadOnTheQtThreadKeepsQtEventsFlowingAndSleeps) {
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    monitor_->SetRequestTimeOut(3000);
    runScript([&] {
        auto request = nextRequest();
        ASSERT_TRUE(request);
        std::this_thread::sleep_for(500ms);
        reply(*request, buildPayloadReply(request->header, {kNet, kDev, 9}, wordItem(kGainId, 5)));
    });
    rusage before{};
    ::getrusage(RUSAGE_THREAD, &before);
    EXPECT_EQ(monitor_->GetPropertyNow(link_), 0);
    rusage after{};
    ::getrusage(RUSAGE_THREAD, &after);
    stopScript();
    auto cpuMs = [](const rusage& u) {
        return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 +
               (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
    };
    EXPECT_GE(ticks, 10) << "Qt's timer stood still during the read";
    EXPECT_LT(cpuMs(after) - cpuMs(before), 150.0) << "the read's wait burnt CPU";
    EXPECT_EQ(gain_.Value(), 5);
}

class NoServerSession : public ::testing::Test {};

TEST_F(NoServerSession, WithoutObjlinkTheStartUpSaysSoAndEveryOperationIsMinus15) {
    writeServerSettings();
    const char* previous = std::getenv("VEK_HUBSERVER");
    std::string saved = previous != nullptr ? previous : "";
    ::setenv("VEK_HUBSERVER", "/nonexistent/hubserver", 1);
    RecordingView view;
    TarncomSettings settings;
    settings.monitor = true;
    {
        TTarn_Monitor monitor(settings, &view);
        ::setenv("VEK_HUBSERVER", saved.c_str(), 1);
        EXPECT_LT(monitor.RegistrationID(), 0);
        ASSERT_EQ(view.messages.size(), 1u);
        EXPECT_EQ(view.messages[0],
                  "VEKNet Registration Error\rVEKNet Subsystem is not "
                  "available\r(Error = " +
                      std::to_string(monitor.RegistrationID()) + ").");
        TU32UWord value;
        TTarn_Property_Link link(kNet, kDev, 9, &value);
        TVEKList<TVEKroot> objects;
        EXPECT_EQ(monitor.GetPropertyNow(link), kStatusNotRegistered);
        EXPECT_EQ(monitor.GetProperty(link, TNotifyEvent([](TTarn_Monitor&) {})),
                  kStatusNotRegistered);
        EXPECT_EQ(monitor.GetAllObjects(kDeviceItself, objects), kStatusNotRegistered);
        EXPECT_EQ(monitor.SetProperty(link), kStatusNotRegistered);
        EXPECT_EQ(monitor.TicketCount(), 0u);
    }
    if (previous == nullptr)
        ::unsetenv("VEK_HUBSERVER");
}

}  // namespace
}  // namespace comm_testing
