// The bound controls in an editor window against hubserver and tarnsim: each
// is bound to a real property of the simulated equaliser set (by its index in
// the window's object list, as the editors bind them), shows the device's
// value when the window opens, sends the user's edits to the device, and
// shows a change made by another client.
#include <QTest>
#include <QVBoxLayout>

#include "audio/eq/peq_objects.h"
#include "comm/editor_comm_monitor.h"
#include "model/object_factory.h"
#include "values/property_string_value.h"
#include "values/property_typed_values.h"
#include "gui_session.h"
#include "windows/tarn_combo_box.h"
#include "windows/tarn_controls.h"
#include "windows/tarn_edit_box.h"
#include "windows/tarn_form_base.h"
#include "windows/tarn_meter.h"

namespace objscope_gui {
namespace {

using namespace objscope;

// The simulated equaliser set 100 owns the output stage 102 and the band
// 103 ("Filter 1": gain -3 dB, polarity off, order 2 of 1..8).
constexpr uint16_t kSet = 100;
constexpr uint16_t kOutput = 102;
constexpr uint16_t kBand = 103;
constexpr uint16_t kName = 2;
constexpr uint16_t kGain = 3072;
constexpr uint16_t kPolarity = 3073;
constexpr uint16_t kOrder = 4098;
constexpr uint16_t kOutputLevel = 4096;  // dB, -6 .. 6 on the device
constexpr uint16_t kOutputPolarity = 4097;

class BoundControlsOnDevice : public GuiSession {
  protected:
    void SetUp() override {
        StartSession();
        main_->UploadObjects();
        ASSERT_TRUE(WaitFor([&] { return !main_->Busy(); }));
        ASSERT_GE(RowOfObject(kSet), 0);
        TVEKroot* set = main_->Objects().at(static_cast<size_t>(RowOfObject(kSet)));
        form_ = std::make_unique<TTarnFormBase>(set, comm_);
        auto* layout = new QVBoxLayout(form_->Body());

        gain_ = Add<TTarnEditBox>(layout, "edtGain", kBand, kGain);
        order_ = Add<TTarnComboBox>(layout, "cboOrder", kBand, kOrder);
        order_->addItems({"1 (6 dB/Oct)", "2 (12 dB/Oct)", "4 (24 dB/Oct)", "8 (48 dB/Oct)"});
        polarity_ = Add<TTarnCheckBox>(layout, "chkPolarity", kBand, kPolarity, "Polarity");
        outputPolarity_ = Add<TTarnButton>(layout, "TarnButton1", kOutput, kOutputPolarity);
        light_ = Add<TTarnLite>(layout, "TarnLite1", kBand, kPolarity);
        name_ = Add<TTarnLabel>(layout, "lblName", kBand, kName);
        meter_ = Add<TTarnMeter2>(layout, "TarnMeter1", kOutput, kOutputLevel);
        meter_->SetData_Max(6);
        meter_->SetData_Min(-60);
        meter_->SetTextBox(true);

        form_->SetEditorFlags(false, false, true);
        form_->ShowEditorWindow();
        ASSERT_TRUE(form_->Connected());
        ASSERT_TRUE(WaitFor([&] { return name_->text() == "Filter 1"; }, 5000));
    }
    void TearDown() override {
        form_.reset();
        GuiSession::TearDown();
    }

    // A control bound by the index of its object in the window's object
    // list, registered for changes.
    template <class Control, class... Caption>
    Control* Add(QVBoxLayout* layout, const char* name, uint16_t object, uint16_t property,
                 Caption... caption) {
        auto* control = new Control(name, caption..., form_->Body());
        layout->addWidget(control);
        control->Tarn().Dest_Obj() = IndexOf(object);
        control->Tarn().SetPropID(property);
        control->Tarn().DoRegistration = true;
        form_->Bind(control->Tarn());
        return control;
    }
    uint16_t IndexOf(uint16_t handle) const {
        const ObjectList& objects = form_->Binding().Objects();
        for (size_t i = 0; i < objects.size(); ++i)
            if (objects[i]->ObjHandle() == handle)
                return static_cast<uint16_t>(i);
        ADD_FAILURE() << "object " << handle << " not in the window's list";
        return 0;
    }

    // What the device holds, read by a separate request.
    template <class Property>
    Property Device(uint16_t object, uint16_t property) {
        Property value;
        value.SetPropertyID(property);
        TTarn_Property_Link link(0, 1, object, &value);
        EXPECT_EQ(monitor_->GetPropertyNow(link), 0);
        return value;
    }
    template <class Property>
    double DeviceNumber(uint16_t object, uint16_t property) {
        return Device<Property>(object, property).GetData();
    }
    // Another client changes a value on the device.
    template <class Property, class Value>
    void ChangeOnDevice(uint16_t object, uint16_t property, Value value) {
        Property changed;
        changed.SetPropertyID(property);
        changed.SetData(value);
        TTarn_Property_Link link(0, 1, object, &changed);
        ASSERT_GE(monitor_->SetPropertyWait(link), 0);
    }

    std::unique_ptr<TTarnFormBase> form_;
    TTarnEditBox* gain_ = nullptr;
    TTarnComboBox* order_ = nullptr;
    TTarnCheckBox* polarity_ = nullptr;
    TTarnButton* outputPolarity_ = nullptr;
    TTarnLite* light_ = nullptr;
    TTarnLabel* name_ = nullptr;
    TTarnMeter2* meter_ = nullptr;
};

TEST_F(BoundControlsOnDevice, ShowTheDevicesValuesWhenTheWindowOpens) {
    EXPECT_TRUE(WaitFor([&] { return gain_->text() == "-3.0 dB"; }, 3000))
        << gain_->text().toStdString();
    EXPECT_EQ(order_->currentText(), "2 (12 dB/Oct)");
    EXPECT_FALSE(polarity_->isChecked());
    EXPECT_FALSE(outputPolarity_->isChecked());
    EXPECT_FALSE(light_->Lit());
    EXPECT_EQ(name_->toolTip(), "Filter 1");
    EXPECT_DOUBLE_EQ(meter_->Position(), 0);
    EXPECT_EQ(meter_->TextField()->text(), "0.0 dB");
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(BoundControlsOnDevice, UserEditsReachTheDevice) {
    gain_->setFocus();
    gain_->selectAll();
    QTest::keyClicks(gain_, "-4.3");
    QTest::keyClick(gain_, Qt::Key_Return);
    EXPECT_EQ(gain_->text(), "-4.5 dB");
    EXPECT_TRUE(WaitFor([&] { return DeviceNumber<TU32VEKDB1>(kBand, kGain) == -4.5; }, 3000));

    gain_->selectAll();
    QTest::keyClicks(gain_, "abc");
    QTest::keyClick(gain_, Qt::Key_Return);
    EXPECT_TRUE(WaitFor([&] { return DeviceNumber<TU32VEKDB1>(kBand, kGain) == 0; }, 3000));

    order_->setFocus();
    QTest::keyClick(order_, Qt::Key_Down);
    EXPECT_EQ(order_->currentText(), "4 (24 dB/Oct)");
    EXPECT_TRUE(WaitFor([&] { return DeviceNumber<TU32UByte>(kBand, kOrder) == 4; }, 3000));

    polarity_->click();
    EXPECT_TRUE(WaitFor([&] { return DeviceNumber<TU32Boolean>(kBand, kPolarity) == 1; }, 3000));
    outputPolarity_->click();
    EXPECT_TRUE(
        WaitFor([&] { return DeviceNumber<TU32Boolean>(kOutput, kOutputPolarity) == 1; }, 3000));
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(form_->DeviceStatusText(), "");
}

TEST_F(BoundControlsOnDevice, ChangesByAnotherClientShowAtOnce) {
    ChangeOnDevice<TU32VEKDB1>(kBand, kGain, 5.0);
    EXPECT_TRUE(WaitFor([&] { return gain_->text() == "5.0 dB"; }, 1000))
        << gain_->text().toStdString();

    ChangeOnDevice<TU32Boolean>(kBand, kPolarity, 1);
    EXPECT_TRUE(WaitFor([&] { return light_->Lit() && polarity_->isChecked(); }, 1000));

    ChangeOnDevice<TU32UByte>(kBand, kOrder, 8);
    EXPECT_TRUE(WaitFor([&] { return order_->currentText() == "8 (48 dB/Oct)"; }, 1000));

    ChangeOnDevice<TU32VEKDB1>(kOutput, kOutputLevel, -4.5);
    EXPECT_TRUE(WaitFor([&] { return meter_->Position() == -4.5; }, 1000));
    EXPECT_EQ(meter_->TextField()->text(), "-4.5 dB");

    ChangeOnDevice<TU32StringValue>(kBand, kName, std::string_view("Low shelf band"));
    EXPECT_TRUE(WaitFor([&] { return name_->toolTip() == "Low shelf band"; }, 1000));
    EXPECT_EQ(name_->WholeText(), "Low shelf band");
}

}  // namespace
}  // namespace objscope_gui

namespace objscope_gui {
namespace {

// With VEK_SCREENSHOT_DIR set, saves the window of bound controls as it
// shows the simulated device (the output level at -4.5 dB, peak held).
TEST_F(BoundControlsOnDevice, ScreenshotWhenAsked) {
    const QByteArray folder = qgetenv("VEK_SCREENSHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "VEK_SCREENSHOT_DIR not set";
    meter_->SetLedColor2Position(-15);
    meter_->SetLedColor3Position(-5);
    meter_->SetPeakHoldValue(10);
    ChangeOnDevice<TU32VEKDB1>(kOutput, kOutputLevel, 2.5);
    WaitFor([&] { return meter_->Position() == 2.5; }, 1000);
    ChangeOnDevice<TU32VEKDB1>(kOutput, kOutputLevel, -4.5);
    WaitFor([&] { return meter_->Position() == -4.5; }, 1000);
    name_->setFixedWidth(40);
    meter_->setFixedSize(80, 250);
    WaitFor([] { return false; }, 200);
    EXPECT_TRUE(form_->grab().save(QString(folder) + "/bound-controls.png"));
}

}  // namespace
}  // namespace objscope_gui
