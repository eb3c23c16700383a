// DownloadObject: the automatic second try, warnings accepted, errors asked
// about (retry, abort, left alone), and the choice between a confirm and a
// multi-set of the modified properties.
#include <atomic>

#include "comm_session.h"
#include "model/object_audio_bases.h"
#include "values/property_typed_values.h"
#include "protocol/tarn_request_decoders.h"

namespace comm_testing {
namespace {

constexpr uint8_t kPropertyInvalid = 8;
constexpr uint8_t kNotAllowed = 64;

class DownloadSession : public CommSession {
  protected:
    void SetUp() override {
        CommSession::SetUp();
        object_.SetAddress(kNet, kDev, 40);
        object_.SetClassID(4);
        object_.SetObjectName("Gain 40");
        level_ = object_.AddProperty<TU32UWord>("Level", 0x0400);
        level_->SetValue(5);
    }

    // Answers the download's requests with these message status bytes
    // (0 = OK), one per request, then stops. The reply-less sets of the
    // send-last properties that follow a confirm are only counted.
    void answerWith(std::vector<uint8_t> modes) {
        runScript([this, modes] {
            for (uint8_t mode : modes) {
                auto request = nextRequest(10s);
                while (request && request->datagram.message == 2 && request->header.Mode == 0) {
                    ++lateSets_;
                    request = nextRequest(10s);
                }
                if (!request)
                    return;
                messageIds_.push_back(request->datagram.message);
                payloads_.push_back({request->datagram.data.begin(), request->datagram.data.end()});
                reply(*request, buildStatusReply(request->header, {kNet, kDev, 0}, 0, mode));
            }
        });
    }

    TVEKroot object_;
    TU32UWord* level_ = nullptr;
    std::vector<uint16_t> messageIds_;
    std::vector<std::vector<uint8_t>> payloads_;
    std::atomic<int> lateSets_{0};
};

TEST_F(DownloadSession, AWarningIsSentTwiceThenAcceptedWithoutAsking) {
    answerWith({kPropertyInvalid, kPropertyInvalid});
    EXPECT_EQ(monitor_->DownloadObject(object_, false), 0);
    stopScript();
    EXPECT_EQ(messageIds_, (std::vector<uint16_t>{1029, 1029}));
    EXPECT_TRUE(view_.questions.empty());
    EXPECT_TRUE(logHas("Download Warning # 1"));
    EXPECT_EQ(monitor_->DownloadWarnings(), 2u);
    EXPECT_TRUE(logHas("Confirm Object: Gain 40"));
    EXPECT_FALSE(level_->Modified());
}

TEST_F(DownloadSession, AnErrorIsAskedAboutAndRetriedOnRequest) {
    answerWith({kNotAllowed, kNotAllowed, 0});
    view_.answers = {TDownloadAnswer::Retry};
    EXPECT_EQ(monitor_->DownloadObject(object_, false), 0);
    stopScript();
    EXPECT_EQ(messageIds_.size(), 3u);
    ASSERT_EQ(view_.questions.size(), 1u);
    EXPECT_EQ(view_.questions[0], "Download Error:  Gain 40\r\rError:  Not Allowed/Read-Only (64)");
    EXPECT_EQ(view_.dialogSeconds, 30);
}

TEST_F(DownloadSession, AnErrorLeftAloneThreeTimesIsAcceptedAndAbortKeepsIt) {
    answerWith({kNotAllowed, kNotAllowed, kNotAllowed, kNotAllowed});
    EXPECT_EQ(monitor_->DownloadObject(object_, false), 0);
    stopScript();
    EXPECT_EQ(messageIds_.size(), 4u);
    EXPECT_EQ(view_.questions.size(), 3u);

    EXPECT_FALSE(level_->Modified());

    level_->SetValue(6);
    answerWith({kNotAllowed, kNotAllowed});
    view_.answers = {TDownloadAnswer::Abort};
    EXPECT_EQ(monitor_->DownloadObject(object_, false), kNotAllowed * 256);
    EXPECT_TRUE(level_->Modified()) << "a refused change must be sent again next time";
}

TEST_F(DownloadSession, OnlyModifiedPropertiesGoAsAMultiSetUnlessTheIdentityChanged) {
    TU32UWord* other = object_.AddProperty<TU32UWord>("Other", 0x0401);
    object_.ClassIDProperty().SetModified(false);
    object_.ObjHandleProperty().SetModified(false);
    object_.OwnerHandleProperty().SetModified(false);
    for (const auto& p : object_.Properties())
        p->SetModified(false);
    other->SetValue(9);
    answerWith({0});
    EXPECT_EQ(monitor_->DownloadObject(object_, true), 0);
    stopScript();
    ASSERT_EQ(messageIds_, (std::vector<uint16_t>{17}));
    auto items = decodeSetMultiplePropsRequest(payloads_[0]);
    ASSERT_TRUE(items);
    ASSERT_EQ(items->items.size(), 1u);
    EXPECT_EQ(items->items[0].propertyId(), 0x0401);
    EXPECT_FALSE(other->Modified());

    object_.SetOwnerHandle(12);  // an identity property changed
    answerWith({0});
    EXPECT_EQ(monitor_->DownloadObject(object_, true), 0);
    stopScript();
    EXPECT_EQ(messageIds_.back(), 1029);
    EXPECT_FALSE(object_.OwnerHandleProperty().Modified());
}

TEST_F(DownloadSession, AComplexObjectGoesFirstThenItsOwnedObjectsThenItsSendLastProperties) {
    TComplexAudioObject owner;
    owner.SetAddress(kNet, kDev, 50);
    owner.SetClassID(60);
    auto child = std::make_unique<TVEKroot>();
    child->SetAddress(kNet, kDev, 51);
    child->SetOwnerHandle(50);
    child->SetClassID(65);
    EXPECT_EQ(owner.AddOwnedObject(std::move(child)), nullptr);
    runScript([&] {
        for (int i = 0; i < 4; ++i) {
            auto request = nextRequest();
            ASSERT_TRUE(request);
            messageIds_.push_back(request->datagram.message);
            payloads_.push_back(request->datagram.data);
            if (request->header.Mode != 0)
                reply(*request, buildStatusReply(request->header, {kNet, kDev, 0}, 0, 0));
        }
    });
    EXPECT_EQ(monitor_->DownloadObject(owner, false), 0);
    stopScript();
    // The owner's confirm leaves out its send-last "Enable State", which
    // follows on its own after the owned object (whose own confirm, with no
    // owned objects, carries it and repeats it).
    ASSERT_EQ(messageIds_, (std::vector<uint16_t>{1029, 1029, 2, 2}));
    auto ownerConfirm = decodeConfirmObjectRequest(payloads_[0]);
    auto childConfirm = decodeConfirmObjectRequest(payloads_[1]);
    ASSERT_TRUE(ownerConfirm && childConfirm);
    EXPECT_EQ(ownerConfirm->objectHandle, 50);
    EXPECT_EQ(childConfirm->objectHandle, 51);
    for (const auto& item : ownerConfirm->properties.items)
        EXPECT_NE(item.propertyId(), kEnableStatePropertyID);
    auto lateSet = decodeSetRequest(payloads_[3]);
    ASSERT_TRUE(lateSet);
    EXPECT_EQ(lateSet->propertyId(), kEnableStatePropertyID);
    EXPECT_EQ(readTarnHeader(payloads_[3])->Dest_Obj, 50);
}

}  // namespace
}  // namespace comm_testing
