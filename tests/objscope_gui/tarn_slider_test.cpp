// The bound slider as a user drives it: arrow keys, a drag that starts on the
// handle (and one that starts away from it), the text box, values arriving
// from the device, and a control too short for its scale.
#include "windows/tarn_slider.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>
#include <cmath>

namespace objscope_gui {
namespace {

using objscope::TTarnSlider;

// A 60 x 250 slider over 20 .. -60 dB (0.5 dB steps), shown offscreen.
struct SliderFixture : ::testing::Test {
    SliderFixture() {
        slider.SetData_Max(20);
        slider.SetData_Min(-60);
        slider.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&slider));
    }
    double Held() { return slider.Tarn().MultiProperty()->GetData(); }
    TTarnSlider slider{"sldGain"};
    int changes = 0;
};

TEST_F(SliderFixture, TakesTheDecibelTypeAndItsResolution) {
    EXPECT_EQ(slider.objectName(), "sldGain");
    EXPECT_EQ(slider.Tarn().PropType(), 131);
    EXPECT_DOUBLE_EQ(slider.DataResolution(), 0.5);
    EXPECT_EQ(slider.Decimals(), 1);
    EXPECT_EQ(slider.Units(), " dB");
    EXPECT_EQ(slider.Layout().trackHeight, 225);
}

TEST_F(SliderFixture, ArrowKeysStepHalfADecibelWithinTheRange) {
    slider.OnChange = [this] { ++changes; };
    slider.setFocus();
    QTest::keyClick(&slider, Qt::Key_Up);
    QTest::keyClick(&slider, Qt::Key_Up);
    EXPECT_DOUBLE_EQ(slider.Position(), 1.0);
    EXPECT_DOUBLE_EQ(Held(), 1.0);  // handed to the binding's copy
    QTest::keyClick(&slider, Qt::Key_Down);
    EXPECT_DOUBLE_EQ(Held(), 0.5);
    EXPECT_EQ(changes, 3);
    slider.SetPosition(20);
    QTest::keyClick(&slider, Qt::Key_Up);  // already at the top
    EXPECT_DOUBLE_EQ(slider.Position(), 20);
}

TEST_F(SliderFixture, DragPositionsOnlyWhenPressedOnTheHandle) {
    // Position 0 puts the handle 56 pixels down; its centre row is 66.
    ASSERT_EQ(slider.HandleOffset(), 56);
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(30, 66));
    QTest::mouseMove(&slider, QPoint(30, 56));
    // 20 - (56 - 3 - 8) * 80 / 225 = 4
    EXPECT_DOUBLE_EQ(slider.Position(), 4);
    EXPECT_DOUBLE_EQ(Held(), 4);
    QTest::mouseMove(&slider, QPoint(30, 57));  // lands on a 0.5 step
    EXPECT_DOUBLE_EQ(std::fmod(slider.Position() * 2, 1.0), 0.0);
    QTest::mouseMove(&slider, QPoint(30, -500));  // clamped to the top
    EXPECT_DOUBLE_EQ(slider.Position(), 20);
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(30, -500));
    EXPECT_FALSE(slider.Dragging());

    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(30, 200));  // away from the handle
    QTest::mouseMove(&slider, QPoint(30, 150));
    EXPECT_DOUBLE_EQ(slider.Position(), 20);
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(30, 150));
}

TEST_F(SliderFixture, TextBoxCommitsRoundedTypedValue) {
    slider.SetTextBox(true);
    QLineEdit* field = slider.TextField();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->objectName(), "sldGainText");
    field->setFocus();
    field->setText("-12.3 dB");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(slider.Position(), -12.5);
    EXPECT_EQ(field->text(), "-12.5 dB");
    EXPECT_DOUBLE_EQ(Held(), -12.5);
}

TEST_F(SliderFixture, LeavingTheTextBoxSendsOnlyWhatWasTyped) {
    slider.SetTextBox(true);
    slider.OnChange = [this] { ++changes; };
    slider.Tarn().MultiProperty()->SetData(25);  // beyond the top, shown as received
    slider.Tarn().OnValueArrived();
    QLineEdit* field = slider.TextField();
    const auto leave = [field] {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(field, &out);
    };
    leave();  // tabbing through, or the window closing around it
    EXPECT_EQ(changes, 0);
    EXPECT_DOUBLE_EQ(Held(), 25);

    field->selectAll();
    QTest::keyClicks(field, "-3.2");
    leave();
    EXPECT_EQ(changes, 1);
    EXPECT_DOUBLE_EQ(Held(), -3.0);
    EXPECT_EQ(field->text(), "-3.0 dB");
}

TEST_F(SliderFixture, DeviceValueBeyondTheTopShowsAsReceived) {
    slider.SetTextBox(true);
    slider.Tarn().MultiProperty()->SetData(25);
    slider.Tarn().OnValueArrived();
    EXPECT_EQ(slider.TextField()->text(), "25.0 dB");
    EXPECT_DOUBLE_EQ(slider.Position(), 20);
    EXPECT_EQ(slider.HandleOffset(), 0);
}

TEST(TarnSlider, NoRangeTakesTwentyToMinusSixty) {
    TTarnSlider slider("sld");
    slider.SetData_Max(0);
    slider.SetData_Min(0);
    EXPECT_DOUBLE_EQ(slider.Data_Max(), 20);
    EXPECT_DOUBLE_EQ(slider.Data_Min(), -60);
}

TEST(TarnSlider, ControlTooShortForItsScalePaintsWithoutTicks) {
    for (int height : {25, 12, 5}) {
        TTarnSlider slider("sld");
        slider.resize(60, height);
        slider.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&slider));
        EXPECT_LE(slider.Layout().trackHeight, 0) << height;
        EXPECT_EQ(slider.Intervals(), 0) << height;
        EXPECT_FALSE(slider.grab().isNull());  // paints and returns
    }
}

}  // namespace
}  // namespace objscope_gui
