// The gain and meter editors against hubserver and tarnsim: the variants of
// the gain control editor, a control of each property group of the
// programmable gain control reaches the device and another client's change
// shows within a second, the meters follow the device's moving levels, and
// the floating meter window's sizes, popup and drag strip.
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>

#include "audio/gain/gain_control_form.h"
#include "audio/gain/gain_objects.h"
#include "audio/gain/meter_form.h"
#include "audio/gain/prog_gain_control_form.h"
#include "inline_editor_session.h"
#include "windows/tarn_controls.h"
#include "windows/tarn_edit_box.h"
#include "windows/tarn_meter.h"

namespace objscope_gui {
namespace {

using namespace objscope::audio;
using objscope::TTarnMeter2;
using objscope::TTarnSlider;

constexpr uint16_t kGain = 710;
constexpr uint16_t kPeakMeter = 730;
constexpr uint16_t kIntegrating = 750;
constexpr uint16_t kZeroCrossing = 760;
constexpr uint16_t kProgrammable = 770;

class GainEditors : public InlineEditorSession {};

// Which controls each gain class's editor shows.
TEST_F(GainEditors, GainControlVariantsShowTheirControls) {
    const struct {
        uint16_t handle;
        const char* caption;
        bool polarity, meter, timeConstant;
    } cases[] = {
        {kGain, "Gain - Gain Control", true, false, false},
        {kIntegrating, "Gain - Integrating Gain", false, true, true},
        {kZeroCrossing, "Gain - Zero Crossing Gain", true, true, false},
    };
    for (const auto& c : cases) {
        auto* form = OpenEditor<TGainControlForm>(c.handle);
        ASSERT_NE(form, nullptr) << c.caption;
        EXPECT_EQ(form->windowTitle(), c.caption);
        const auto shown = [&](const char* name) {
            auto* control = form->findChild<QWidget*>(name);
            return control && control->isVisible();
        };
        EXPECT_EQ(shown("TarnButton1"), c.polarity) << c.caption;
        EXPECT_EQ(shown("MtrCurrentGain"), c.meter) << c.caption;
        EXPECT_EQ(shown("TarnEditBox1"), c.timeConstant) << c.caption;
        EXPECT_TRUE(shown("TarnButton2"));
        EXPECT_EQ(QApplication::focusWidget(), form->LevelSlider()) << c.caption;
        form->CancelButton()->click();
        WaitFor([] { return false; }, 100);
    }
}

TEST_F(GainEditors, GainControlSettingsReachTheDevice) {
    auto* form = OpenEditor<TGainControlForm>(kIntegrating);
    ASSERT_NE(form, nullptr);
    TypeInto(form->findChild<QLineEdit*>("TarnSlider1Text"), "-12.5");
    EXPECT_TRUE(DeviceReaches(kIntegrating, gain_property::kGain, -12.5));
    TypeInto(form->findChild<QLineEdit*>("TarnSlider1Text"), "30");  // stops at 20
    EXPECT_TRUE(DeviceReaches(kIntegrating, gain_property::kGain, 20));
    TypeInto(form->findChild<QLineEdit*>("TarnEditBox1"), "75");
    EXPECT_TRUE(DeviceReaches(kIntegrating, gain_property::kTimeConstant, 75));
    form->findChild<QPushButton*>("TarnButton2")->click();
    EXPECT_TRUE(DeviceReaches(kIntegrating, 2048, 1));
    EXPECT_EQ(form->findChild<QLineEdit*>("TarnEditBox1")->text(), "75.000 msec");
}

TEST_F(GainEditors, ProgrammableGainFollowsTheDeviceBothWays) {
    auto* form = OpenEditor<TProgGainControlForm>(kProgrammable);
    ASSERT_NE(form, nullptr);
    namespace p = prog_gain_property;
    TypeInto(form->findChild<QLineEdit*>("TarnSlider2Text"), "-20");
    EXPECT_TRUE(DeviceReaches(kProgrammable, p::kDesiredLevel, -20));
    TypeInto(form->findChild<QLineEdit*>("TarnSlider3Text"), "-45.5");
    EXPECT_TRUE(DeviceReaches(kProgrammable, p::kGainCtrlThreshold, -45.5));
    form->findChild<QPushButton*>("btnBypass")->click();
    EXPECT_TRUE(DeviceReaches(kProgrammable, 3072, 1));

    SetOnDevice<objscope::TU32VEKDB1>(kProgrammable, p::kStopThreshold, -50);
    auto* stop = form->findChild<TTarnSlider*>("TarnSlider1");
    EXPECT_TRUE(WaitFor([&] { return stop->Position() == -50; }, 1000));
    auto* gain = form->findChild<TTarnMeter2*>("TarnMeter2");
    EXPECT_EQ(gain->Data_Min(), -30);
    EXPECT_EQ(gain->Data_Max(), 30);
}

class WiggledGains : public InlineEditorSession {
  protected:
    QStringList DeviceOptions() override { return {"--wiggle"}; }
};

TEST_F(WiggledGains, MetersFollowTheDevicesLevels) {
    auto* form = OpenEditor<TProgGainControlForm>(kProgrammable);
    ASSERT_NE(form, nullptr);
    for (const char* name : {"TarnMeter1", "TarnMeter2", "TarnMeter3"}) {
        auto* meter = form->findChild<TTarnMeter2*>(name);
        const double first = meter->Position();
        EXPECT_TRUE(WaitFor([&] { return meter->Position() != first; }, 3000)) << name;
    }
    auto* window = OpenEditor<TMeterForm>(kPeakMeter);
    ASSERT_NE(window, nullptr);
    const double first = window->MeterBar()->Position();
    EXPECT_TRUE(WaitFor([&] { return window->MeterBar()->Position() != first; }, 3000));
}

TEST_F(GainEditors, MeterWindowTogglesBetweenCompactAndFull) {
    auto* form = OpenEditor<TMeterForm>(kPeakMeter);
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(form->size(), QSize(112, 388));
    EXPECT_EQ(form->windowTitle(), "Peak Meter");
    EXPECT_EQ(form->MeterBar()->geometry(), QRect(20, 20, 64, 220));
    form->ToggleSize();
    EXPECT_EQ(form->size(), QSize(30, 235));
    EXPECT_EQ(form->windowTitle(), "");
    EXPECT_EQ(form->MeterBar()->geometry(), QRect(4, 12, 16, 200));
    EXPECT_FALSE(form->MeterBar()->Legend());
    EXPECT_FALSE(form->MeterBar()->Border());
    EXPECT_FALSE(form->OkButton()->isVisible());
    EXPECT_FALSE(form->findChild<QWidget*>("OnlineStatusLight")->isVisible());
    form->findChild<QToolButton*>("btnResize")->click();
    EXPECT_EQ(form->size(), QSize(112, 388));
    EXPECT_EQ(form->windowTitle(), "Peak Meter");
    EXPECT_TRUE(form->MeterBar()->Legend());
    EXPECT_TRUE(form->OkButton()->isVisible());
}

// The popup's hold times tick alone and select the list's item, whose
// number the meter holds its peaks for; the list starts at "1 sec".
TEST_F(GainEditors, MeterPopupChoosesThePeakHold) {
    auto* form = OpenEditor<TMeterForm>(kPeakMeter);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->PeakHoldList()->currentText(), "1 sec");
    EXPECT_EQ(form->MeterBar()->PeakHoldValue(), 1);
    EXPECT_TRUE(form->MeterBar()->PeakHold());
    const struct {
        int action;
        const char* item;
        int hold;
    } cases[] = {{3, "10 sec", 10}, {1, "2 sec", 2}, {4, "0 (don't hold)", 0}, {0, "1 sec", 1}};
    for (const auto& c : cases) {
        form->HoldActions().at(static_cast<size_t>(c.action))->trigger();
        EXPECT_EQ(form->PeakHoldList()->currentText(), c.item);
        EXPECT_EQ(form->MeterBar()->PeakHoldValue(), c.hold) << c.item;
        for (size_t i = 0; i < form->HoldActions().size(); ++i)
            EXPECT_EQ(form->HoldActions()[i]->isChecked(), static_cast<int>(i) == c.action)
                << c.item << " " << i;
    }
}

TEST_F(GainEditors, MeterWindowIsDraggedByItsTopStrip) {
    auto* form = OpenEditor<TMeterForm>(kPeakMeter);
    ASSERT_NE(form, nullptr);
    const QPoint start = form->pos();
    const auto drag = [&](QPoint from, QPoint by) {
        QTest::mousePress(form, Qt::LeftButton, {}, from);
        const QPoint to = from + by;
        QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(form->mapToGlobal(to)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form, &move);
        QTest::mouseRelease(form, Qt::LeftButton, {}, to);
    };
    drag(QPoint(50, 7), QPoint(30, 20));
    EXPECT_EQ(form->pos(), start + QPoint(30, 20));
    // Below the strip and on its first 16 pixels nothing moves.
    const QPoint moved = form->pos();
    drag(QPoint(50, 100), QPoint(30, 20));
    drag(QPoint(10, 7), QPoint(30, 20));
    EXPECT_EQ(form->pos(), moved);
}

TEST_F(GainEditors, Screenshots) {
    if (qgetenv("VEK_SCREENSHOT_DIR").isEmpty())
        GTEST_SKIP() << "VEK_SCREENSHOT_DIR not set";
    SaveScreenshot(OpenEditor<TGainControlForm>(kGain), "gain-control-editor.png");
    SaveScreenshot(OpenEditor<TGainControlForm>(kIntegrating), "integrating-gain-editor.png");
    SaveScreenshot(OpenEditor<TProgGainControlForm>(kProgrammable), "prog-gain-editor.png");
    auto* meter = OpenEditor<TMeterForm>(kPeakMeter);
    SaveScreenshot(meter, "meter-window.png");
    if (meter) {
        meter->ToggleSize();
        SaveScreenshot(meter, "meter-window-compact.png");
    }
}

}  // namespace
}  // namespace objscope_gui
