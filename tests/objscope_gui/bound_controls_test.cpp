// The bound edit box, combo box, bar meter, label, light and button as a user
// meets them (offscreen, bound to a property held here): what a value that
// arrives shows, and what typing, choosing and clicking hand to the binding.
#include <gtest/gtest.h>

#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include "values/property_string_value.h"
#include "values/property_typed_values.h"
#include "windows/tarn_combo_box.h"
#include "windows/tarn_controls.h"
#include "windows/tarn_edit_box.h"
#include "windows/tarn_meter.h"

namespace objscope_gui {
namespace {

using namespace objscope;

// Binds a control's communication object to `property` of object 103 on
// device 1, as an editor form does when it attaches.
void BindLocally(TTarnGuiComW& tarn, TVEKPropertyBase& property) {
    tarn.BindTo(TTarn_Property_Link(0, 1, 103, &property));
}

// The device's value arrives in the control's copy.
void Arrive(TTarnGuiComW& tarn, double value) {
    tarn.MultiProperty()->SetData(value);
    tarn.OnValueArrived();
}

double Held(TTarnGuiComW& tarn) {
    return tarn.MultiProperty()->GetData();
}

// ---- edit box ----

// An edit box bound to a dB value (0.5 dB steps) in a dialog whose OK is the
// default button, with a second field to move the focus to.
struct EditBoxFixture : ::testing::Test {
    EditBoxFixture() {
        auto* layout = new QVBoxLayout(&dialog);
        edit = new TTarnEditBox("edtGain", &dialog);
        other = new QLineEdit(&dialog);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        layout->addWidget(edit);
        layout->addWidget(other);
        layout->addWidget(buttons);
        buttons->button(QDialogButtonBox::Ok)->setDefault(true);
        gain.SetPropertyID(3072);
        BindLocally(edit->Tarn(), gain);
        edit->OnChange = [this] { ++changes; };
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        Arrive(edit->Tarn(), -3);
    }
    void Type(const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }

    QDialog dialog;
    TTarnEditBox* edit = nullptr;
    QLineEdit* other = nullptr;
    TU32VEKDB1 gain;
    int changes = 0;
};

TEST_F(EditBoxFixture, ShowsTheValueWithTheTypesDecimalsAndUnits) {
    EXPECT_EQ(edit->objectName(), "edtGain");
    EXPECT_EQ(edit->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    EXPECT_EQ(edit->Decimals(), 1);  // a step of 0.5 shows one decimal
    EXPECT_EQ(edit->text(), "-3.0 dB");
    Arrive(edit->Tarn(), -12.5);
    EXPECT_EQ(edit->text(), "-12.5 dB");
}

TEST_F(EditBoxFixture, EnterCommitsTheTypedNumberRoundedToTheResolution) {
    const struct {
        const char* typed;
        double held;
        const char* shown;
    } cases[] = {
        {"-4.3", -4.5, "-4.5 dB"},        {"abc", 0, "0.0 dB"},  // nothing readable commits 0
        {"  6.25 dB", 6, "6.0 dB"},  // 12.5 steps: the half goes to the even step
        {"-3.75", -4, "-4.0 dB"},         {"1E1", 10, "10.0 dB"}, {"", 0, "0.0 dB"},
        {"500", 27.5, "27.5 dB"},  // the type clamps it; the text shows what is held
        {"-7.5dB junk", -7.5, "-7.5 dB"},
    };
    for (const auto& c : cases) {
        Type(c.typed);
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_DOUBLE_EQ(Held(edit->Tarn()), c.held) << c.typed;
        EXPECT_EQ(edit->text().toStdString(), c.shown) << c.typed;
    }
    EXPECT_TRUE(dialog.isVisible());  // Enter went no further than the field
    EXPECT_EQ(dialog.result(), 0);
}

TEST_F(EditBoxFixture, LeavingTheFieldCommitsOnlyWhatWasTyped) {
    edit->setFocus();
    other->setFocus();  // passing through changes nothing
    EXPECT_EQ(changes, 0);
    EXPECT_DOUBLE_EQ(Held(edit->Tarn()), -3);

    Type("2.5");
    other->setFocus();
    EXPECT_EQ(changes, 1);
    EXPECT_DOUBLE_EQ(Held(edit->Tarn()), 2.5);
    EXPECT_EQ(edit->text(), "2.5 dB");
}

TEST(TarnEditBox, PassingThroughKeepsAValueItsTextRounds) {
    // An unbound box keeps a plain number copy (whole steps): 2.75 shows as
    // "3", and tabbing through the field must not send 3.
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new TTarnEditBox("edtPlain", &window);
    auto* other = new QLineEdit(&window);
    layout->addWidget(edit);
    layout->addWidget(other);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    Arrive(edit->Tarn(), 2.75);
    EXPECT_EQ(edit->text(), "3");
    edit->setFocus();
    other->setFocus();
    EXPECT_DOUBLE_EQ(Held(edit->Tarn()), 2.75);
}

TEST(TarnEditBox, OwnUnitsStayAndTheTypesFillEmptyOnes) {
    TU32VEKDB1 gain;
    TTarnEditBox own("edtHold");
    own.SetUnits(" Sec");
    BindLocally(own.Tarn(), gain);
    Arrive(own.Tarn(), 1.5);
    EXPECT_EQ(own.text(), "1.5 Sec");

    TU32UByte tag;  // whole numbers, no unit
    TTarnEditBox plain("edtTag");
    BindLocally(plain.Tarn(), tag);
    Arrive(plain.Tarn(), 7);
    EXPECT_EQ(plain.text(), "7");
    EXPECT_EQ(plain.Units(), "");
}

// ---- combo box ----

TEST(TarnComboBox, ValueArrivedSelectsTheNearestItem) {
    TU32VEKRatio2 ratio;
    TTarnComboBox combo("cboRatio");
    BindLocally(combo.Tarn(), ratio);
    Arrive(combo.Tarn(), 1.4);  // no items: nothing to select
    EXPECT_EQ(combo.currentIndex(), -1);

    combo.addItems({"1 : 1", "2.0 : 1", "4 : 1"});
    const std::pair<double, int> cases[] = {{1.4, 0}, {1.6, 1}, {3, 1}, {50, 2}, {0, 0}};
    for (const auto& [value, index] : cases) {
        Arrive(combo.Tarn(), value);
        EXPECT_EQ(combo.currentIndex(), index) << value;
        EXPECT_DOUBLE_EQ(Held(combo.Tarn()), value);  // showing it sets nothing
    }
}

TEST(TarnComboBox, ChoosingAnItemSetsItsNumberWhenItDiffers) {
    TU32UByte order;
    TTarnComboBox combo("cboOrder");
    combo.addItems({"1st", "2 (12 dB/Oct)", "4 (24 dB/Oct)"});
    BindLocally(combo.Tarn(), order);
    int changes = 0;
    combo.OnChange = [&] { ++changes; };
    combo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
    Arrive(combo.Tarn(), 2);
    ASSERT_EQ(combo.currentIndex(), 1);

    combo.setFocus();
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(combo.currentIndex(), 2);
    EXPECT_DOUBLE_EQ(Held(combo.Tarn()), 4);
    EXPECT_TRUE(combo.Tarn().MultiProperty()->Modified());
    EXPECT_EQ(changes, 1);

    combo.Tarn().MultiProperty()->SetModified(false);
    emit combo.activated(2);  // the same item again: nothing to set
    EXPECT_FALSE(combo.Tarn().MultiProperty()->Modified());
}

// ---- bar meter ----

// Records the region of every paint, to see what a new value repaints.
class RecordingMeter : public TTarnMeter2 {
  public:
    using TTarnMeter2::TTarnMeter2;
    QRegion painted;

  protected:
    void paintEvent(QPaintEvent* event) override {
        painted += event->region();
        TTarnMeter2::paintEvent(event);
    }
};

// A meter over 0 .. -60 dB with zones at -15 and -5, shown offscreen.
struct MeterFixture : ::testing::Test {
    MeterFixture() {
        meter.SetData_Max(0);
        meter.SetData_Min(-60);
        meter.SetLedColor2Position(-15);
        meter.SetLedColor3Position(-5);
        meter.SetTextBox(true);
        meter.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&meter));
    }
    QColor BarColourAt(double value) {
        const QImage image = meter.grab().toImage();
        const QRect bar = meter.BarRect();
        const int row = MeterRow(meter.BarInput(), value);
        return image.pixelColor(bar.center().x(), row);
    }

    RecordingMeter meter{"TarnMeter1"};
};

TEST_F(MeterFixture, BarShowsTheZonesUpToTheValueAndTheRestUnlit) {
    Arrive(meter.Tarn(), -2);
    EXPECT_DOUBLE_EQ(meter.Position(), -2);
    EXPECT_EQ(meter.TextField()->text(), "-2.0 dB");
    EXPECT_EQ(BarColourAt(-40), meter.LedColor1());
    EXPECT_EQ(BarColourAt(-10), meter.LedColor2());
    EXPECT_EQ(BarColourAt(-3), meter.LedColor3());
    EXPECT_EQ(BarColourAt(-1), meter.LedOffColor());

    Arrive(meter.Tarn(), -60);  // at the bottom the whole bar is unlit
    EXPECT_EQ(BarColourAt(-40), meter.LedOffColor());
}

TEST_F(MeterFixture, NewValueRepaintsOnlyTheBarAndItsText) {
    EXPECT_EQ(meter.LedWidth(), 8);
    EXPECT_EQ(meter.BarRect().width(), 8);
    QTest::qWait(20);
    meter.painted = QRegion();
    Arrive(meter.Tarn(), -20);
    QTest::qWait(20);
    ASSERT_FALSE(meter.painted.isEmpty());
    // The bar, and under the text box the background for its new text.
    const QRegion allowed = QRegion(meter.BarRect()) + meter.TextField()->geometry();
    EXPECT_TRUE((meter.painted - allowed).isEmpty());
    EXPECT_TRUE(meter.painted.intersects(meter.BarRect()));
}

TEST_F(MeterFixture, TakesNoInput) {
    EXPECT_EQ(meter.focusPolicy(), Qt::NoFocus);
    QLineEdit* box = meter.TextField();
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_EQ(box->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(box->palette().color(QPalette::Base), QColor(0xC0, 0xC0, 0xC0));

    Arrive(meter.Tarn(), -20);
    const QPoint bar = meter.BarRect().center();
    QTest::mousePress(&meter, Qt::LeftButton, {}, bar);
    QTest::mouseMove(&meter, bar - QPoint(0, 40));
    QTest::mouseRelease(&meter, Qt::LeftButton, {}, bar - QPoint(0, 40));
    QTest::keyClick(&meter, Qt::Key_Up);
    box->setText("-10");  // focus given by code and taken away commits nothing
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    meter.setFocus();
    box->clearFocus();
    EXPECT_DOUBLE_EQ(meter.Position(), -20);
    EXPECT_DOUBLE_EQ(Held(meter.Tarn()), -20);
}

TEST_F(MeterFixture, PeakIsHeldThenFallsTwoUnitsEveryTenthOfASecond) {
    Arrive(meter.Tarn(), -60);
    meter.SetPeakPosition(-60);
    meter.SetPeakHoldValue(1);
    EXPECT_TRUE(meter.PeakHold());
    EXPECT_EQ(meter.PeakTimerInterval(), 0);  // a peak at the bottom does not fall
    Arrive(meter.Tarn(), -10);
    EXPECT_DOUBLE_EQ(meter.PeakPosition(), -10);
    EXPECT_EQ(meter.PeakTimerInterval(), 1000);
    Arrive(meter.Tarn(), -50);  // lower values leave the peak held
    EXPECT_DOUBLE_EQ(meter.PeakPosition(), -10);
    EXPECT_EQ(BarColourAt(-10), meter.LedColor2());  // the marker, in the zone's colour

    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return meter.PeakPosition() < -10; }, 3000));
    EXPECT_GE(clock.elapsed(), 900);
    EXPECT_DOUBLE_EQ(meter.PeakPosition(), -12);
    EXPECT_EQ(meter.PeakTimerInterval(), 100);
    // It falls to the level shown and is held there again.
    ASSERT_TRUE(QTest::qWaitFor([&] { return meter.PeakPosition() == -50; }, 5000));
    EXPECT_EQ(meter.PeakTimerInterval(), 1000);
}

TEST_F(MeterFixture, PeakHoldSettings) {
    meter.SetPeakHoldValue(100);  // refused
    EXPECT_EQ(meter.PeakHoldValue(), 0);
    EXPECT_FALSE(meter.PeakHold());
    EXPECT_EQ(meter.PeakTimerInterval(), 0);

    meter.SetPeakHoldValue(255);  // on, the first fall after 1 ms
    EXPECT_TRUE(meter.PeakHold());
    EXPECT_EQ(meter.PeakHoldValue(), 255);
    meter.SetPeakHoldValue(0);  // off: no timer left running
    EXPECT_FALSE(meter.PeakHold());
    EXPECT_EQ(meter.PeakTimerInterval(), 0);

    // A peak that fell to the bottom of the range lets the timer rest.
    Arrive(meter.Tarn(), -60);
    meter.SetPeakHoldValue(1);
    meter.SetPeakPosition(-56);
    EXPECT_EQ(meter.PeakTimerInterval(), 1000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return meter.PeakPosition() == -60; }, 3000));
    EXPECT_EQ(meter.PeakTimerInterval(), 0);
}

TEST(TarnMeter2, NoRangeTakesZeroToMinusSixty) {
    TTarnMeter2 meter("mtr");
    meter.SetData_Max(0);
    meter.SetData_Min(0);
    EXPECT_DOUBLE_EQ(meter.Data_Max(), 0);
    EXPECT_DOUBLE_EQ(meter.Data_Min(), -60);
    EXPECT_EQ(meter.Tarn().PropType(), 131);
}

// ---- label, light, button ----

TEST(TarnLabel, ShortensWithAnEllipsisAndHintsTheWholeText) {
    TU32StringValue name;
    name.SetData("Main Parametric Equaliser");
    TTarnLabel label("lblName");
    EXPECT_EQ(label.Tarn().PropType(), 14);
    label.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&label));
    const int ellipsis = label.fontMetrics().horizontalAdvance("...");
    const struct {
        int width;
        bool whole;
    } cases[] = {{400, true}, {60, false}, {ellipsis, false}, {ellipsis - 1, false}, {1, false}};
    for (const auto& c : cases) {
        label.resize(c.width, 20);
        BindLocally(label.Tarn(), name);
        label.Tarn().OnValueArrived();
        EXPECT_EQ(label.toolTip(), "Main Parametric Equaliser");
        if (c.whole) {
            EXPECT_EQ(label.text(), "Main Parametric Equaliser");
            continue;
        }
        EXPECT_TRUE(label.text().endsWith("...")) << c.width;
        if (c.width <= ellipsis)
            EXPECT_EQ(label.text(), "...") << c.width;
        else
            EXPECT_LE(label.fontMetrics().horizontalAdvance(label.text()), c.width);
    }
    label.resize(400, 20);  // a wider label shows the whole text again
    QTest::qWait(10);
    EXPECT_EQ(label.text(), "Main Parametric Equaliser");
}

TEST(TarnLite, DrawsLitAndNotLitColours) {
    TU32Boolean flag;
    TTarnLite lite("TarnLite1");
    EXPECT_EQ(lite.Tarn().PropType(), 13);
    BindLocally(lite.Tarn(), flag);
    lite.resize(15, 15);
    const auto centre = [&] { return lite.grab().toImage().pixelColor(9, 9); };
    Arrive(lite.Tarn(), 0);
    EXPECT_FALSE(lite.Lit());
    EXPECT_EQ(lite.ShownColor(), QColor(0, 0x80, 0));
    EXPECT_GT(centre().green(), centre().red());
    Arrive(lite.Tarn(), 1);
    EXPECT_TRUE(lite.Lit());
    EXPECT_GT(centre().red(), centre().green());
    lite.SetLitColor(QColor(0, 0, 0xFF));
    EXPECT_GT(centre().blue(), centre().red());
}

TEST(TarnButton, ToggleOfSeventyFiveByTwentyFiveNamedAfterItself) {
    TU32Boolean flag;
    TTarnButton button("TarnButton1");
    EXPECT_EQ(button.text(), "TarnButton1");
    EXPECT_EQ(button.size(), QSize(75, 25));
    button.setText("Mute");  // the form's caption; a layout keeps 75 x 25 for it
    EXPECT_EQ(button.sizeHint(), QSize(75, 25));
    EXPECT_EQ(button.Tarn().PropType(), 13);
    BindLocally(button.Tarn(), flag);
    Arrive(button.Tarn(), 1);
    EXPECT_TRUE(button.isChecked());
    button.click();  // lets it up: 0 is handed on
    EXPECT_FALSE(button.isChecked());
    EXPECT_DOUBLE_EQ(Held(button.Tarn()), 0);
    button.click();
    EXPECT_DOUBLE_EQ(Held(button.Tarn()), 1);
}

}  // namespace
}  // namespace objscope_gui
