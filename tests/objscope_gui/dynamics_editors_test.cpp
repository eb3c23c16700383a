// The dynamics editors against hubserver and tarnsim: a control of each
// property group reaches the device, another client's change shows within a
// second, the meters follow the device's moving levels, the bypass question
// on OK, the side chain switch of the noise gate and a read-only form.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QToolButton>

#include "audio/dynamics/audio_compare_form.h"
#include "audio/dynamics/dynamics_objects.h"
#include "audio/dynamics/envelope_detector_form.h"
#include "audio/dynamics/limiter_form.h"
#include "audio/dynamics/noise_gate_form.h"
#include "inline_editor_session.h"
#include "windows/message_boxes.h"
#include "windows/tarn_controls.h"
#include "windows/tarn_meter.h"

namespace objscope_gui {
namespace {

using namespace objscope::audio;
using objscope::TTarnMeter2;
using objscope::TTarnSlider;

constexpr uint16_t kLimiter = 300;
constexpr uint16_t kCompressor = 310;
constexpr uint16_t kGate = 320;
constexpr uint16_t kDetector = 330;
constexpr uint16_t kComparator = 340;

class DynamicsEditors : public InlineEditorSession {};

TEST_F(DynamicsEditors, CompressorControlsReachTheDevice) {
    auto* form = OpenEditor<TCompressorForm>(kCompressor);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Compressor - Compressor");
    EXPECT_TRUE(form->Connected());
    namespace p = limiter_property;

    TypeInto(form->findChild<QLineEdit*>("TarnSlider1Text"), "-20");
    EXPECT_TRUE(DeviceReaches(kCompressor, p::kThreshold, -20));
    // The overall level stops at its 10 dB top.
    TypeInto(form->findChild<QLineEdit*>("TarnSlider2Text"), "12");
    EXPECT_TRUE(DeviceReaches(kCompressor, p::kGain, 10));

    // One fine step up: one sample, shown with the type's three decimals.
    TTimeField* attack = form->AttackField();
    attack->FineBox()->setChecked(true);
    attack->UpButton()->click();
    EXPECT_EQ(attack->Edit()->text(), "1.021 msec");
    EXPECT_TRUE(DeviceReaches(kCompressor, p::kAttack, 1.021));
    form->ReleaseField()->DownButton()->click();
    EXPECT_TRUE(DeviceReaches(kCompressor, p::kRelease, 999));

    Choose(form->findChild<QComboBox*>("cboCompressionRatio"), "4.0 : 1");
    EXPECT_TRUE(DeviceReaches(kCompressor, p::kCompressionRatio, 4));
    form->findChild<QCheckBox*>("TarnCheckBox1")->click();
    EXPECT_TRUE(DeviceReaches(kCompressor, p::kKneeType, 1));
    form->findChild<QPushButton*>("btnMute")->click();
    EXPECT_TRUE(DeviceReaches(kCompressor, 2048, 1));
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(DynamicsEditors, AnotherClientsChangeShowsWithinASecond) {
    auto* form = OpenEditor<TLimiterForm>(kLimiter);
    ASSERT_NE(form, nullptr);
    SetOnDevice<objscope::TU32VEKDB1>(kLimiter, limiter_property::kThreshold, -33);
    SetOnDevice<objscope::TU32VEKuSec3>(kLimiter, limiter_property::kRelease, 250);
    auto* threshold = form->findChild<TTarnSlider*>("TarnSlider1");
    EXPECT_TRUE(WaitFor([&] { return threshold->Position() == -33; }, 1000));
    EXPECT_TRUE(
        WaitFor([&] { return form->ReleaseField()->Edit()->text() == "250.000 msec"; }, 1000));
}

TEST_F(DynamicsEditors, LimiterAttackIsStoredWithinItsLimit) {
    auto* form = OpenEditor<TLimiterForm>(kLimiter);
    ASSERT_NE(form, nullptr);
    TypeInto(form->AttackField()->Edit(), "100");
    EXPECT_EQ(form->AttackField()->Edit()->text(), "50.000 msec");
    EXPECT_TRUE(DeviceReaches(kLimiter, limiter_property::kAttack, 50));
    TypeInto(form->AttackField()->Edit(), "abc");  // unreadable: 0, kept at 0.02
    EXPECT_EQ(form->AttackField()->Edit()->text(), "0.020 msec");
}

// The peak hold list gives both level meters its hold time.
TEST_F(DynamicsEditors, PeakHoldListSetsTheLevelMetersHold) {
    auto* form = OpenEditor<TCompressorForm>(kCompressor);
    ASSERT_NE(form, nullptr);
    auto* input = form->findChild<TTarnMeter2*>("TarnMeter1");
    auto* output = form->findChild<TTarnMeter2*>("TarnMeter3");
    auto* gain = form->findChild<TTarnMeter2*>("TarnMeter2");
    const struct {
        const char* item;
        int value;
        bool on;
    } cases[] = {{"10 sec", 10, true}, {"1 sec", 1, true}, {"0 (don't hold)", 0, false}};
    for (const auto& c : cases) {
        Choose(form->PeakHoldList(), c.item);
        for (TTarnMeter2* meter : {input, output}) {
            EXPECT_EQ(meter->PeakHoldValue(), c.value) << c.item;
            EXPECT_EQ(meter->PeakHold(), c.on) << c.item;
        }
        EXPECT_EQ(gain->PeakHoldValue(), 0) << "the gain meter holds nothing";
    }
}

class WiggledDynamics : public InlineEditorSession {
  protected:
    QStringList DeviceOptions() override { return {"--wiggle"}; }
};

TEST_F(WiggledDynamics, MetersFollowTheDevicesLevels) {
    auto* form = OpenEditor<TCompressorForm>(kCompressor);
    ASSERT_NE(form, nullptr);
    for (const char* name : {"TarnMeter1", "TarnMeter2", "TarnMeter3"}) {
        auto* meter = form->findChild<TTarnMeter2*>(name);
        const double first = meter->Position();
        EXPECT_TRUE(WaitFor([&] { return meter->Position() != first; }, 3000)) << name;
    }
    auto* detector = OpenEditor<TEnvelopeDetectorForm>(kDetector);
    ASSERT_NE(detector, nullptr);
    auto* level = detector->findChild<TTarnMeter2*>("TarnMeter1");
    const double first = level->Position();
    EXPECT_TRUE(WaitFor([&] { return level->Position() != first; }, 3000));
}

// OK while bypass is on: Yes keeps it, No lets it go on the device before
// the values are stored, Cancel leaves the window open.
TEST_F(DynamicsEditors, BypassQuestionOnOk) {
    const struct {
        objscope::BoxAnswer answer;
        bool closed;
        double deviceBypass;
    } cases[] = {{objscope::BoxAnswer::Yes, true, 1},
                 {objscope::BoxAnswer::No, true, 0},
                 {objscope::BoxAnswer::Cancel, false, 1}};
    for (const auto& c : cases) {
        SetOnDevice<objscope::TU32Boolean>(kLimiter, 3072, 0);
        auto* form = OpenEditor<TLimiterForm>(kLimiter);
        ASSERT_NE(form, nullptr);
        form->findChild<QPushButton*>("btnBypass")->click();
        ASSERT_TRUE(DeviceReaches(kLimiter, 3072, 1));
        std::vector<std::string> asked;
        objscope::SetMessageBoxHandler([&](objscope::BoxKind, const std::string& text) {
            asked.push_back(text);
            return c.answer;
        });
        form->OkButton()->click();
        EXPECT_EQ(asked, std::vector<std::string>{"Keep ByPass in Effect?"});
        WaitFor([] { return false; }, 200);
        objscope::TVEKroot* limiter = Object(kLimiter);
        EXPECT_EQ(limiter->Editor() == nullptr, c.closed);
        EXPECT_TRUE(DeviceReaches(kLimiter, 3072, c.deviceBypass));
        if (c.closed) {
            auto* bypass = dynamic_cast<objscope::TU32Boolean*>(limiter->FindProperty(3072));
            EXPECT_EQ(bypass->Value(), c.deviceBypass != 0);
        } else {
            form->CancelButton()->click();
        }
        WaitFor([] { return false; }, 200);
    }
}

TEST_F(DynamicsEditors, GateShowsItsSideChainOnlyWithTwoInputs) {
    auto* gate = dynamic_cast<TU32NoiseGate*>(Object(kGate));
    ASSERT_NE(gate, nullptr);
    auto* form = OpenEditor<TNoiseGateForm>(kGate);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Noise Gate - Noise Gate");
    EXPECT_FALSE(form->findChild<QCheckBox*>("chkSideChainEnable")->isVisible());
    // The gate's settings are read once and sent when changed.
    TypeInto(form->findChild<QLineEdit*>("TarnSlider1Text"), "-42.5");
    EXPECT_TRUE(DeviceReaches(kGate, gate_property::kThreshold, -42.5));
    form->HoldField()->FineBox()->setChecked(true);
    form->HoldField()->UpButton()->click();
    EXPECT_TRUE(DeviceReaches(kGate, gate_property::kHold, 40));
    form->CancelButton()->click();
    WaitFor([] { return false; }, 200);

    gate->SetNumInputs(2);
    form = OpenEditor<TNoiseGateForm>(kGate);
    ASSERT_NE(form, nullptr);
    auto* sideChain = form->findChild<QCheckBox*>("chkSideChainEnable");
    EXPECT_TRUE(sideChain->isVisible());
    sideChain->click();
    EXPECT_TRUE(DeviceReaches(kGate, gate_property::kSideChainEnable, 1));
    form->OkButton()->click();
    WaitFor([] { return false; }, 200);
    EXPECT_TRUE(gate->SideChainEnabled());
    gate->SetNumInputs(1);
    EXPECT_FALSE(gate->SideChainEnabled());
}

TEST_F(DynamicsEditors, DetectorAndComparatorTimesStepByTheirSteps) {
    auto* detector = OpenEditor<TEnvelopeDetectorForm>(kDetector);
    ASSERT_NE(detector, nullptr);
    EXPECT_EQ(detector->windowTitle(), "Env. Det. - Envelope Detector");
    detector->AttackField()->UpButton()->click();
    EXPECT_TRUE(DeviceReaches(kDetector, detector_property::kAttack, 700));
    detector->HoldField()->FineBox()->setChecked(true);
    detector->HoldField()->UpButton()->click();
    EXPECT_EQ(detector->HoldField()->Edit()->text(), "0.125 sec");
    EXPECT_TRUE(DeviceReaches(kDetector, detector_property::kHold, 0.125));
    detector->OkButton()->click();

    auto* comparator = OpenEditor<TAudioCompareForm>(kComparator);
    ASSERT_NE(comparator, nullptr);
    EXPECT_EQ(comparator->windowTitle(), "Audio Comparator - Audio Comparator");
    comparator->HoldField()->UpButton()->click();
    EXPECT_TRUE(DeviceReaches(kComparator, comparator_property::kHold, 1));
    comparator->findChild<QCheckBox*>("chkOffsetSign")->click();
    EXPECT_TRUE(DeviceReaches(kComparator, comparator_property::kOffsetSign, 1));
    TypeInto(comparator->findChild<QLineEdit*>("TarnSlider1Text"), "-55");
    EXPECT_TRUE(DeviceReaches(kComparator, comparator_property::kOffsetLevel, -55));
}

TEST_F(DynamicsEditors, ReadOnlyFormChangesNothing) {
    objscope::TVEKroot* compressor = Object(kCompressor);
    ASSERT_NE(compressor, nullptr);
    compressor->ShowEditor(false, true, true);
    auto* form = dynamic_cast<TCompressorForm*>(compressor->Editor());
    ASSERT_NE(form, nullptr);
    for (const char* name : {"btnBypass", "btnMute", "TarnSlider1", "cboCompressionRatio",
                             "edtAttack", "edtAttackUp", "cboPeakHoldTime"})
        EXPECT_FALSE(form->findChild<QWidget*>(name)->isEnabled()) << name;
    EXPECT_FALSE(form->OkButton()->isEnabled());
    EXPECT_TRUE(form->CancelButton()->isEnabled());
    EXPECT_TRUE(form->HelpButton()->isEnabled());
    form->CancelButton()->click();
}

TEST_F(DynamicsEditors, Screenshots) {
    if (qgetenv("VEK_SCREENSHOT_DIR").isEmpty())
        GTEST_SKIP() << "VEK_SCREENSHOT_DIR not set";
    SaveScreenshot(OpenEditor<TLimiterForm>(kLimiter), "limiter-editor.png");
    SaveScreenshot(OpenEditor<TCompressorForm>(kCompressor), "compressor-editor.png");
    SaveScreenshot(OpenEditor<TNoiseGateForm>(kGate), "noise-gate-editor.png");
    SaveScreenshot(OpenEditor<TEnvelopeDetectorForm>(kDetector), "envelope-detector-editor.png");
    SaveScreenshot(OpenEditor<TAudioCompareForm>(kComparator), "audio-comparator-editor.png");
}

}  // namespace
}  // namespace objscope_gui
