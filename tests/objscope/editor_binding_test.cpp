// The binding of editor controls to an object's properties and to the
// device: attach, connection check, real-time sends, OK, Cancel, load,
// collect, registrations, and replies that arrive after a control is gone.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "binding/editor_form_binding.h"
#include "model/object_audio_bases.h"
#include "protocol/tarn_rejections.h"

using namespace objscope;

namespace {

// Records what an editor asks of the communication layer; the device's
// answers are scripted.
class RecordingComm : public TEditorComm {
  public:
    struct Sent {
        uint16_t obj;
        uint16_t id;
        double value;
    };
    int32_t SetProperty(const TTarn_Property_Link& link) override {
        auto* number = dynamic_cast<TU32MultiValue*>(link.Property());
        sets.push_back(
            {link.Dest_Obj, link.Property()->PropertyID(), number ? number->GetData() : 0});
        return 0;
    }
    int32_t SetPropertyChecked(const TTarn_Property_Link& link,
                               TEditorStatusCallback done) override {
        verdicts.push_back(std::move(done));
        return SetProperty(link);
    }
    int32_t GetProperty(const TTarn_Property_Link& link, TEditorCallback done) override {
        gets.push_back({link, std::move(done)});
        return 0;
    }
    int32_t RegisterProperty(const TTarn_Property_Link&, TEditorCallback changed) override {
        notifications.push_back(std::move(changed));
        return nextRegistration++;
    }
    void TarnDeReg(uint16_t number) override { deregistered.push_back(number); }
    int32_t GetPropertyNow(const TTarn_Property_Link& link) override {
        ++checks;
        const int32_t status = checkStatus.empty() ? 0 : checkStatus.front();
        if (!checkStatus.empty())
            checkStatus.erase(checkStatus.begin());
        if (status == 0)
            static_cast<TU32aesClass_ID*>(link.Property())->SetData(deviceClassId);
        return status;
    }
    // The device answers the outstanding reads with `value`.
    void AnswerGets(double value) {
        for (auto& [link, done] : gets) {
            if (!done.Alive())
                continue;  // the control and its copy are gone
            if (auto* number = dynamic_cast<TU32MultiValue*>(link.Property()))
                number->SetData(value);
            done();
        }
        gets.clear();
    }

    std::vector<Sent> sets;
    std::vector<std::pair<TTarn_Property_Link, TEditorCallback>> gets;
    std::vector<TEditorCallback> notifications;
    std::vector<TEditorStatusCallback> verdicts;  // of the sets, in order
    std::vector<uint16_t> deregistered;
    std::vector<int32_t> checkStatus;
    uint16_t deviceClassId = 0;
    int checks = 0;
    int32_t nextRegistration = 12;
};

// An object owning one gain control, at device 3 object 40 (the control 41).
struct Scene {
    Scene() {
        object.SetAddress(1, 3, 40);
        auto owned = std::make_unique<TOutputGainControl>();
        owned->SetAddress(1, 3, 41);
        gainControl = owned.get();
        object.AddOwnedObject(std::move(owned));
        comm.deviceClassId = object.ClassID();
    }
    std::unique_ptr<TTarnGuiComW> Control(uint16_t obj, uint16_t id, TTarnFormBinding& form) {
        auto control = std::make_unique<TTarnGuiComW>();
        control->Dest_Obj() = obj;
        control->SetPropID(id);
        form.AddControl(*control);
        return control;
    }
    TComplexAudioObject object;
    TOutputGainControl* gainControl = nullptr;
    RecordingComm comm;
};

constexpr uint16_t kGain = 4096;
constexpr uint16_t kPolarity = 4097;

}  // namespace

TEST(EditorBinding, AttachBindsByObjectIndexOrKeepsAnExplicitAddress) {
    Scene s;
    TTarnFormBinding form(&s.object, &s.comm);
    auto sub = s.Control(1, kGain, form);
    auto explicitAddress = s.Control(2, kGain, form);
    auto missing = s.Control(1, 999, form);
    int arrived = 0;
    sub->OnValueArrived = [&] { ++arrived; };
    form.Show();
    EXPECT_EQ(sub->BoundProperty(), s.gainControl->FindProperty(kGain));
    EXPECT_EQ(sub->Link().Dest_Obj, 41);
    EXPECT_EQ(sub->Link().Dest_Dev, 3);
    EXPECT_EQ(explicitAddress->BoundProperty(), nullptr);
    EXPECT_EQ(explicitAddress->Link().Dest_Obj, 2);
    EXPECT_EQ(missing->BoundProperty(), nullptr);
    EXPECT_EQ(arrived, 1);
    EXPECT_FALSE(sub->Connected()) << "opened without connect";
    EXPECT_TRUE(s.comm.gets.empty());
}

TEST(EditorBinding, ConnectionCheckWarnsAndLeavesEveryControlOffline) {
    const struct {
        const char* what;
        std::vector<int32_t> statuses;
        uint16_t classId;
        const char* warning;
        int reads;
    } cases[] = {
        {"device holds the object", {0}, 0, nullptr, 1},
        {"object unknown to the device", {5}, 0, kCannotConnectToObject, 1},
        {"device silent twice", {-2, -2}, 0, kCannotConnectToDevice, 2},
        {"device silent once, then answers", {-2, 0}, 0, nullptr, 2},
        {"another class at that handle", {0}, 7, kWrongObjectType, 1},
    };
    for (const auto& c : cases) {
        Scene s;
        s.comm.checkStatus = c.statuses;
        if (c.classId)
            s.comm.deviceClassId = c.classId;
        TTarnFormBinding form(&s.object, &s.comm);
        form.connect = true;
        std::vector<std::string> warnings;
        form.ShowWarning = [&](const std::string& text) { warnings.push_back(text); };
        auto control = s.Control(1, kGain, form);
        const bool connected = form.Show();
        EXPECT_EQ(connected, c.warning == nullptr) << c.what;
        EXPECT_EQ(control->Connected(), connected) << c.what;
        EXPECT_EQ(s.comm.checks, c.reads) << c.what;
        EXPECT_EQ(warnings,
                  c.warning ? std::vector<std::string>{c.warning} : std::vector<std::string>{})
            << c.what;
        EXPECT_EQ(s.comm.gets.size(), connected ? 1u : 0u) << c.what;
    }
}

TEST(EditorBinding, ConnectedChangesAreSentOncePerChangedValue) {
    Scene s;
    TTarnFormBinding form(&s.object, &s.comm);
    form.connect = true;
    auto control = s.Control(1, kGain, form);
    form.Show();
    control->SetValue(3.0);
    control->SetValue(3.0);  // unchanged: nothing sent
    control->SetValue(4.5);
    ASSERT_EQ(s.comm.sets.size(), 2u);
    EXPECT_EQ(s.comm.sets[0].obj, 41);
    EXPECT_EQ(s.comm.sets[0].id, kGain);
    EXPECT_EQ(s.comm.sets[1].value, 4.5);

    control->owner.visible = [] { return false; };
    control->SetValue(1.0);
    EXPECT_EQ(s.comm.sets.size(), 2u) << "a hidden control sends nothing";
}

TEST(EditorBinding, DeviceVerdictsOnSets) {
    // Refused: the status text is shown and the device's value read back.
    // No reply: the form drops the connection and the copy keeps the edits.
    // A verdict after the control has gone touches nothing.
    Scene s;
    TTarnFormBinding form(&s.object, &s.comm);
    form.connect = true;
    std::vector<std::string> shown;
    form.ShowRefusal = [&](const std::string& text) { shown.push_back(text); };
    auto control = s.Control(1, kGain, form);
    form.Show();
    s.comm.AnswerGets(0);

    control->SetValue(3.0);
    ASSERT_EQ(s.comm.verdicts.size(), 1u);
    s.comm.verdicts[0](0);  // taken
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(s.comm.gets.empty());

    control->SetValue(9.0);
    s.comm.verdicts[1](statusValueOf(MessageRejection::FieldInvalid));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], StatusText(statusValueOf(MessageRejection::FieldInvalid)));
    s.comm.AnswerGets(3.0);
    EXPECT_EQ(control->MultiProperty()->GetData(), 3.0) << "back to the device's value";

    control->SetValue(4.0);
    s.comm.verdicts[2](-2);  // no reply
    EXPECT_FALSE(form.connect);
    EXPECT_FALSE(control->Connected());
    control->SetValue(5.0);
    EXPECT_EQ(s.comm.sets.size(), 3u) << "nothing sent once the connection dropped";
    form.Ok();
    EXPECT_EQ(s.gainControl->Gain().gain->GetData(), 5.0) << "the edits are kept";

    TEditorStatusCallback late = s.comm.verdicts[2];
    control.reset();
    late(statusValueOf(MessageRejection::FieldInvalid));
    EXPECT_EQ(shown.size(), 1u);
}

TEST(EditorBinding, DeviceValueOnConnectBecomesTheObjectsValue) {
    Scene s;
    TTarnFormBinding form(&s.object, &s.comm);
    form.connect = true;
    auto control = s.Control(1, kGain, form);
    form.Show();
    s.comm.AnswerGets(-4.0);
    EXPECT_TRUE(form.modified);
    EXPECT_EQ(s.gainControl->Gain().gain->GetData(), -4.0);
}

TEST(EditorBinding, OkCommitsOnlyWhatDiffers) {
    Scene s;
    TTarnFormBinding form(&s.object, &s.comm);
    auto gain = s.Control(1, kGain, form);
    form.Show();
    form.Ok();
    EXPECT_FALSE(form.modified) << "nothing differed";
    gain->SetValue(2.5);
    EXPECT_TRUE(s.comm.sets.empty()) << "offline edits are not sent";
    form.Ok();
    EXPECT_TRUE(form.modified);
    EXPECT_EQ(s.gainControl->Gain().gain->GetData(), 2.5);

    form.readOnly = true;
    gain->SetValue(6);
    form.Ok();
    EXPECT_EQ(s.gainControl->Gain().gain->GetData(), 2.5) << "read only: OK does nothing";
}

TEST(EditorBinding, CancelSendsTheObjectsValuesBackExceptReadOnlyOnes) {
    Scene s;
    s.gainControl->Gain().gain->SetData(1.0);
    TTarnFormBinding form(&s.object, &s.comm);
    form.connect = true;
    auto gain = s.Control(1, kGain, form);
    auto polarity = s.Control(1, kPolarity, form);
    auto coefficient = s.Control(1, 4098, form);  // read only
    form.Show();
    gain->SetValue(5.0);
    polarity->SetValue(1);
    coefficient->MultiProperty()->SetData(0.5);
    s.comm.sets.clear();
    form.Cancel();
    ASSERT_EQ(s.comm.sets.size(), 2u);
    EXPECT_EQ(s.comm.sets[0].id, kGain);
    EXPECT_EQ(s.comm.sets[0].value, 1.0);
    EXPECT_EQ(s.comm.sets[1].id & 0x3FFF, kPolarity) << "bound by its low 14 bits";
    EXPECT_EQ(s.comm.sets[1].value, 0.0);
    EXPECT_EQ(gain->MultiProperty()->GetData(), 1.0);
    EXPECT_EQ(s.gainControl->Gain().gain->GetData(), 1.0) << "Cancel keeps the object";
}

TEST(EditorBinding, CloseCancelsRegistrationsAndLateRepliesReachNoControl) {
    Scene s;
    TTarnFormBinding form(&s.object, &s.comm);
    form.connect = true;
    auto gain = s.Control(1, kGain, form);
    auto polarity = s.Control(1, kPolarity, form);
    gain->DoRegistration = polarity->DoRegistration = true;
    int arrived = 0;
    gain->OnValueArrived = [&] { ++arrived; };
    form.Show();
    EXPECT_EQ(arrived, 1);
    s.comm.notifications[0]();
    EXPECT_EQ(arrived, 2) << "a change notification shows the new value";
    form.Close();
    EXPECT_EQ(s.comm.deregistered, (std::vector<uint16_t>{12, 13}));
    EXPECT_EQ(gain->RegistrationNumber(), 0);
    EXPECT_FALSE(gain->Connected());

    // The window and its controls are gone; the replies still come.
    gain.reset();
    polarity.reset();
    s.comm.AnswerGets(-20);
    for (auto& notify : s.comm.notifications)
        notify();
    EXPECT_EQ(arrived, 2);
    EXPECT_NE(s.gainControl->Gain().gain->GetData(), -20);
}

TEST(EditorBinding, CollectThenLoadSendsTheCollectedValues) {
    Scene s;
    TTarnFormBinding form(&s.object, &s.comm);
    form.connect = true;
    auto gain = s.Control(1, kGain, form);
    auto twin = s.Control(1, kGain, form);  // the same link is collected once
    form.Show();
    form.DoCollect();
    ASSERT_EQ(form.Links().size(), 1u);

    TU32VEKDB1 stored;
    stored.SetPropertyID(kGain);
    stored.SetData(-7.5);
    form.Links()[0].SetProperty(&stored);
    s.comm.sets.clear();
    form.DoLoad();
    EXPECT_EQ(gain->MultiProperty()->GetData(), -7.5);
    EXPECT_EQ(twin->MultiProperty()->GetData(), -7.5);
    EXPECT_EQ(s.comm.sets.size(), 2u);
}

TEST(EditorBinding, PermissionBitsDecideWhoMayConnect) {
    Scene s;
    TTarnFormBinding form(&s.object, &s.comm);
    form.connect = true;
    auto own = s.Control(1, kGain, form);
    own->Pswd_Parent_Permission = false;
    own->Pswd_Permission_Bit = 3;
    form.Show();
    EXPECT_TRUE(own->Permitted()) << "show sets every permission bit";
}

TEST(EditorBinding, PropTypeChangesTheCopysClass) {
    TTarnGuiComW control;
    control.SetPropID(77);
    control.SetPropType(131);
    ASSERT_NE(control.MultiProperty(), nullptr);
    EXPECT_EQ(control.PropType(), 131);
    control.SetPropType(14);
    EXPECT_EQ(control.MultiProperty(), nullptr);
    EXPECT_EQ(control.PropID(), 77);
    control.SetPropType(200);  // unknown: unchanged
    EXPECT_EQ(control.PropType(), 14);
}
