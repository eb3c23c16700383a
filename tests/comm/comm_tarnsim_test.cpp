// The communication layer against the real hubserver and tarnsim: paging by
// bytes, lost replies with their retries, registrations with notifications
// after a set, a defunct registration cancelled at the device, downloads.
#include <mutex>

#include "comm_session.h"
#include "values/property_factory.h"
#include "values/property_multi_value.h"
#include "values/property_pack.h"
#include "values/property_type_table.h"
#include "values/property_typed_values.h"
#include "protocol/tarn_replies.h"
#include "protocol/tarn_requests.h"
#include "hubclient.h"
#include "tarnsim_process.h"
#include "udp_peer.h"
#include "wire/datagram.h"

namespace comm_testing {
namespace {

constexpr uint16_t kGainObject = 102;  // "Out" of the default device's PEQ
constexpr uint16_t kGainId = 4096;     // a dB1 from -6 to 6

// Every Tarn datagram the server sent or received, seen as a network
// monitor (as busprobe sees them).
class Traffic {
  public:
    struct Seen {
        bool sent = false;
        uint16_t messageId = 0;
        std::vector<uint8_t> data;
    };
    Traffic() {
        registration_ = VEKBaseStartup();
        instance() = this;
        subscription_ = RegisterNetMonCallback_CB(registration_, &Traffic::record);
    }
    ~Traffic() {
        UnRegisterNetMonCallback(registration_, subscription_);
        VEKBaseCleanup(registration_);
        instance() = nullptr;
    }
    std::vector<Seen> seen() {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_;
    }

  private:
    static Traffic*& instance() {
        static Traffic* current = nullptr;
        return current;
    }
    static void record(_Message* message, NetMonCBReason_t reason) {
        Traffic* self = instance();
        if (self == nullptr || message == nullptr || message->Dataptr == nullptr)
            return;
        std::span<const uint8_t> bytes(message->Dataptr, message->Length);
        auto header = wire::readHeader(bytes);
        if (!header || header->objectId != kTarnObjectId)
            return;
        auto data = wire::datagramData(bytes);
        std::lock_guard<std::mutex> lock(self->mutex_);
        self->seen_.push_back({reason == MessageSent,
                               static_cast<uint16_t>(header->messageId & 0x7FFF),
                               {data.begin(), data.end()}});
    }

    int32_t registration_ = 0;
    int32_t subscription_ = 0;
    std::mutex mutex_;
    std::vector<Seen> seen_;
};

class TarnsimSession : public CommSession {
  protected:
    void SetUp() override {
        CommSession::SetUp();
        device_.reset();  // tarnsim takes the device's place
        std::vector<std::string> arguments = {"--listen",
                                              "127.0.0.2:" + std::to_string(ports_.receive)};
        for (const auto& extra : tarnsimArguments())
            arguments.push_back(extra);
        tarnsim_ = std::make_unique<TarnsimProcess>(tarnsimPath(), arguments);
        ASSERT_TRUE(tarnsim_->ready()) << tarnsim_->output();
        gain_ = CreatePropertyForType(kTypeDB1, false);
        gain_->SetName("Gain");
        gain_->SetPropertyID(kGainId);
        link_ = TTarn_Property_Link(kNet, kDev, kGainObject, gain_.get());
    }
    void TearDown() override {
        monitor_.reset();
        tarnsim_.reset();
        CommSession::TearDown();
    }
    virtual std::vector<std::string> tarnsimArguments() const { return {}; }
    int requestTimeOut() const override { return 500; }

    double gainValue() const { return dynamic_cast<TU32MultiValue&>(*gain_).GetData(); }
    void setGain(double value) { dynamic_cast<TU32MultiValue&>(*gain_).SetData(value); }

    std::unique_ptr<TarnsimProcess> tarnsim_;
    std::unique_ptr<TVEKPropertyBase> gain_;
    TTarn_Property_Link link_;
};

class SmallPages : public TarnsimSession {
  protected:
    std::vector<std::string> tarnsimArguments() const override { return {"--page-bytes", "200"}; }
};

TEST_F(SmallPages, AListingPagedByBytesAsksFromTheSumOfThePagesSoFar) {
    Traffic traffic;
    TVEKList<TVEKroot> objects;
    int calls = 0;
    monitor_->GetAllObjects(kDeviceItself, objects, std::nullopt,
                            TNotifyEvent([&](TTarn_Monitor&) { ++calls; }));
    EXPECT_TRUE(pumpUntil([&] { return calls > 0; }, 30s));
    EXPECT_EQ(calls, 1);

    std::vector<uint16_t> starts;
    std::vector<size_t> counts;
    for (const auto& s : traffic.seen()) {
        if (s.messageId != 1024)
            continue;
        if (s.sent)
            starts.push_back(static_cast<uint16_t>(s.data[14] | (s.data[15] << 8)));
        else
            counts.push_back(decodeObjectListing(s.data).entries.size());
    }
    ASSERT_GE(starts.size(), 3u);
    ASSERT_EQ(counts.size(), starts.size());
    size_t expected = 0;
    for (size_t i = 0; i < starts.size(); ++i) {
        EXPECT_EQ(starts[i], expected) << "page " << i;
        expected += counts[i];
    }
    EXPECT_EQ(objects.size(), expected);
    EXPECT_GT(objects.size(), 100u);
    // Every object once, in the device's order.
    for (size_t i = 1; i < objects.size(); ++i)
        EXPECT_NE(objects.at(i)->ObjHandle(), objects.at(i - 1)->ObjHandle());
}

class LostReplies : public TarnsimSession {
  protected:
    std::vector<std::string> tarnsimArguments() const override { return {"--drop-every", "1"}; }
};

TEST_F(LostReplies, AGetWhoseRepliesAreLostIsRetriedTwiceAndDroppedAndANowReadTimesOut) {
    int calls = 0;
    EXPECT_GT(monitor_->GetProperty(link_, TNotifyEvent([&](TTarn_Monitor&) { ++calls; })), 0);
    EXPECT_TRUE(pumpUntil([&] { return monitor_->TicketCount() == 0; }));
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(logHas("Retry TarnGet: (1)"));
    EXPECT_TRUE(logHas("Retry TarnGet: (2)"));
    EXPECT_FALSE(logHas("Retry TarnGet: (3)"));
    EXPECT_EQ(monitor_->Retries(), 2u);

    EXPECT_EQ(monitor_->GetPropertyNow(link_), kStatusTimeOut);
}

TEST_F(TarnsimSession, ASetIsNotifiedToTheRegistrationAndADefunctOneIsCancelled) {
    int calls = 0;
    double notified = 0;
    auto control = std::make_shared<int>(0);
    int32_t number = monitor_->RegisterProperty(
        link_, TNotifyEvent::Bound(std::weak_ptr<int>(control), [&](TTarn_Monitor&) {
            ++calls;
            notified = gainValue();
        }));
    EXPECT_EQ(number, 12);
    EXPECT_TRUE(pumpUntil([&] { return logHas("Reg OK: Gain"); }));

    // Another property object on the same link address sets the value.
    auto writer = CreatePropertyForType(kTypeDB1, false);
    writer->SetPropertyID(kGainId);
    dynamic_cast<TU32MultiValue&>(*writer).SetData(-3.0);
    TTarn_Property_Link writeLink(kNet, kDev, kGainObject, writer.get());
    EXPECT_EQ(monitor_->SetPropertyWait(writeLink), 0);
    EXPECT_TRUE(pumpUntil([&] { return calls == 1; }));
    EXPECT_DOUBLE_EQ(notified, -3.0);

    // The control goes; the next change cancels the registration.
    control.reset();
    dynamic_cast<TU32MultiValue&>(*writer).SetData(2.0);
    EXPECT_GT(monitor_->SetProperty(writeLink), 0);
    EXPECT_TRUE(pumpUntil([&] { return logHas("DeReg OK"); }));
    EXPECT_TRUE(logHas(">Drop Defunct Registration"));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(monitor_->TicketCount(), 0u);

    // Nothing is notified any more.
    dynamic_cast<TU32MultiValue&>(*writer).SetData(1.0);
    EXPECT_EQ(monitor_->SetPropertyWait(writeLink), 0);
    pumpFor(300ms);
    EXPECT_EQ(monitor_->TicketCount(), 0u);
}

TEST_F(TarnsimSession, AChangeByAnotherClientReachesTheRegistrationWithinASecond) {
    int calls = 0;
    double notified = 0;
    auto control = std::make_shared<int>(0);
    monitor_->RegisterProperty(
        link_, TNotifyEvent::Bound(std::weak_ptr<int>(control), [&](TTarn_Monitor&) {
            ++calls;
            notified = gainValue();
        }));
    ASSERT_TRUE(pumpUntil([&] { return logHas("Reg OK: Gain"); }));

    // Another PC on 127.0.0.5 sets the gain with a datagram of its own (no
    // reply wanted), not through this server.
    auto writer = CreatePropertyForType(kTypeDB1, false);
    writer->SetPropertyID(kGainId);
    dynamic_cast<TU32MultiValue&>(*writer).SetData(4.0);
    std::vector<uint8_t> item;
    ASSERT_GT(PackData(item, *writer), 0u);
    auto set = buildSet({kNet, 0x7001}, {kNet, kDev, kGainObject}, false, item);
    ASSERT_TRUE(set);
    testing_support::UdpPeer otherClient(testing_support::loopback(5));
    ASSERT_TRUE(otherClient.bound());
    auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(otherClient.sendTo(
        testing_support::loopback(2), ports_.receive,
        wire::buildDatagram({kTarnObjectId, set->messageId, 0x8001}, set->data)));
    EXPECT_TRUE(pumpUntil([&] { return calls == 1; }, 1000ms));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1000ms);
    EXPECT_DOUBLE_EQ(notified, 4.0);
}

TEST_F(TarnsimSession, AListedObjectIsReadAndDownloadedBack) {
    TVEKList<TVEKPropertyBase> properties;
    EXPECT_EQ(monitor_->GetAllProperties({kNet, kDev, kGainObject}, properties), 0);
    ASSERT_GT(properties.size(), 3u);
    EXPECT_EQ(monitor_->GetPropertyNow(link_), 0);

    TVEKroot object;
    object.SetAddress(kNet, kDev, kGainObject);
    object.SetClassID(4);
    object.SetOwnerHandle(100);
    object.SetObjectName("Out");
    EXPECT_EQ(monitor_->DownloadObject(object, false), 0);
    EXPECT_TRUE(view_.questions.empty());
}

// The gain object as the download sends it: class 4, owned by the PEQ.
std::unique_ptr<TVEKroot> gainObject() {
    auto object = std::make_unique<TVEKroot>();
    object->SetAddress(kNet, kDev, kGainObject);
    object->SetClassID(4);
    object->SetOwnerHandle(100);
    object->SetObjectName("Out");
    return object;
}

TEST_F(TarnsimSession, ADownloadWarningIsAcceptedAndAnErrorIsRetriedOnRequest) {
    // A two-byte value for the one-byte Boolean 4097: "Property Wrong Size",
    // a warning.
    auto warned = gainObject();
    warned->AddProperty<TU32UWord>("Mute as word", 4097)->SetValue(1);
    EXPECT_EQ(monitor_->DownloadObject(*warned, false), 0);
    EXPECT_TRUE(view_.questions.empty());
    EXPECT_TRUE(logHas("Download Warning # 1"));
    EXPECT_EQ(logCount("Confirm Object: Out"), 2u);

    // 9 dB where the device allows -6..6: "Field Invalid", an error.
    auto refused = gainObject();
    auto* gain =
        dynamic_cast<TU32MultiValue*>(refused->AddProperty(CreatePropertyForType(kTypeDB1, false)));
    ASSERT_NE(gain, nullptr);
    gain->SetPropertyID(kGainId);
    gain->SetHasMinMax(false);
    gain->SetData(9.0);
    view_.answers = {TDownloadAnswer::Retry, TDownloadAnswer::Abort};
    EXPECT_EQ(monitor_->DownloadObject(*refused, false), 4 * 256);
    EXPECT_EQ(view_.questions.size(), 2u);
    EXPECT_EQ(logCount("Confirm Object: Out"), 5u);
    EXPECT_EQ(view_.questions[0], "Download Error:  Out\r\rError:  Field Invalid (4)");
}

TEST_F(SmallPages, TestRecordsAreCollectedOverPagesAndStartsReturnTheirRunNumber) {
    const TarnAddress testManager{kNet, kDev, 1100};
    TTestRecords list;
    EXPECT_EQ(monitor_->GetTestList(testManager, 0, list), 0);
    EXPECT_EQ(list.records.size(), 90u);
    for (const auto& record : list.records)
        EXPECT_EQ(record.size(), 14u);

    uint16_t run = 0;
    EXPECT_EQ(monitor_->StartSequence(testManager, kSequenceModeStart, 1, run), 0);
    EXPECT_NE(run, 0);
    EXPECT_GT(monitor_->StopTest(testManager, 1), 0);  // no reply: the send result

    TTestRecords results;
    int32_t status = monitor_->GetTestResults(testManager, 0, 1, 0, results);
    EXPECT_TRUE(status == 0 || status > 0) << StatusText(status);
    if (status == 0) {
        EXPECT_EQ(results.header.size(), 12u);
        for (const auto& record : results.records)
            EXPECT_EQ(record.size(), 11u);
    }
}

TEST_F(TarnsimSession, DeviceCommandsAndMappingsWork) {
    // The copy is appended to what the caller's list holds.
    std::vector<DeviceMapping> mappings(1);
    monitor_->CopyDeviceMappings(mappings);
    ASSERT_EQ(mappings.size(), 3u);
    EXPECT_EQ(TTarn_Monitor::AddressToText(mappings[1].address.address), "127.0.0.2");

    // Device 20 has no mapping until its address is set.
    TTarn_Property_Link far(kNet, 20, 0, gain_.get());
    EXPECT_EQ(monitor_->GetPropertyNow(far), kStatusNoMapping);
    monitor_->SetDeviceAddress(20, TTarn_Monitor::TextToAddress("127.0.0.3")->address);
    mappings.clear();
    monitor_->CopyDeviceMappings(mappings);
    ASSERT_EQ(mappings.size(), 3u);
    EXPECT_EQ(mappings[2].firstDevice, 16);
    EXPECT_EQ(mappings[2].lastDevice, 31);
    EXPECT_EQ(mappings[2].address.type, DeviceAddressType::FullAddress);
    // A device inside an existing range changes that range's address.
    monitor_->SetDeviceAddress(5, TTarn_Monitor::TextToAddress("127.0.0.9")->address);
    mappings.clear();
    monitor_->CopyDeviceMappings(mappings);
    ASSERT_EQ(mappings.size(), 3u);
    EXPECT_EQ(TTarn_Monitor::AddressToText(mappings[0].address.address), "127.0.0.9");
    monitor_->SetDeviceAddress(5, TTarn_Monitor::TextToAddress("127.0.0.2")->address);

    TVEKroot object;
    object.SetAddress(kNet, kDev, 1200);
    EXPECT_EQ(monitor_->DeleteObject(object), 0);
    EXPECT_TRUE(logHas("Delete Obj: TVEKRoot"));
    EXPECT_EQ(monitor_->SetDefaultData(kNet, kDev), 0);
    EXPECT_EQ(monitor_->SoftResetFrame(kNet, kDev), 0);
    EXPECT_TRUE(logHas("Soft RESET of Frame"));
    std::vector<uint8_t> text;
    std::vector<uint8_t> request = {60, 0, 0, 0, 1};
    int32_t status = monitor_->ActivateMethod(kDeviceItself, 1031, request, text, true);
    EXPECT_TRUE(status == 0 || status == kStatusPartialResponse) << StatusText(status);
}

}  // namespace
}  // namespace comm_testing
