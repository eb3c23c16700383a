// A slider in an editor window against hubserver and tarnsim: the device
// takes values from the keys, refuses one beyond its limits (the window shows
// the refusal and the slider returns to the device's value), and when the
// device goes away the light turns, sending stops and the edits made so far
// are kept for OK.
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "comm/editor_comm_monitor.h"
#include "values/property_typed_values.h"
#include "protocol/tarn_rejections.h"
#include "gui_session.h"
#include "windows/tarn_form_base.h"
#include "windows/tarn_slider.h"

namespace objscope_gui {
namespace {

using objscope::TTarnFormBase;
using objscope::TTarnSlider;

// Object 102 of the simulated device, owned by the equaliser set 100, holds
// property 4096, a dB value the device limits to -6 .. 6.
constexpr uint16_t kSet = 100;
constexpr uint16_t kObject = 102;
constexpr uint16_t kLimitedGain = 4096;

class SliderOnDevice : public GuiSession {
  protected:
    void SetUp() override {
        StartSession();
        main_->UploadObjects();
        ASSERT_TRUE(WaitFor([&] { return !main_->Busy(); }));
        ASSERT_GE(RowOfObject(kSet), 0);
        objscope::TVEKroot* set = main_->Objects().at(static_cast<size_t>(RowOfObject(kSet)));
        objscope::ObjectList owned;
        set->CollectObjects(owned);
        for (objscope::TVEKroot* object : owned)
            if (object->ObjHandle() == kObject)
                object_ = object;
        ASSERT_NE(object_, nullptr);
        gain_ = object_->FindProperty(kLimitedGain);
        ASSERT_NE(gain_, nullptr);

        form_ = std::make_unique<TTarnFormBase>(set, comm_);
        auto* layout = new QVBoxLayout(form_->Body());
        slider_ = new TTarnSlider("sldGain", form_->Body());
        layout->addWidget(slider_);
        slider_->SetData_Max(20);
        slider_->SetData_Min(-20);
        slider_->SetTextBox(true);
        slider_->Tarn().BindTo(objscope::TTarn_Property_Link(
            object_->NetHandle(), object_->DevHandle(), object_->ObjHandle(), gain_));
        form_->Bind(slider_->Tarn());
        form_->SetEditorFlags(false, false, true);
        form_->ShowEditorWindow();
        ASSERT_TRUE(form_->Connected());
        WaitFor([] { return false; }, 300);  // the first read returns
    }
    void TearDown() override {
        form_.reset();
        GuiSession::TearDown();
    }

    double DeviceGain() {
        objscope::TU32VEKDB1 gain;
        gain.SetPropertyID(kLimitedGain);
        objscope::TTarn_Property_Link link(0, 1, kObject, &gain);
        EXPECT_EQ(monitor_->GetPropertyNow(link), 0);
        return gain.GetData();
    }
    bool LightLit() const {
        return form_->findChild<QLabel*>("OnlineStatusLight")->property("lit").toBool();
    }

    objscope::TVEKroot* object_ = nullptr;
    objscope::TVEKPropertyBase* gain_ = nullptr;
    std::unique_ptr<TTarnFormBase> form_;
    TTarnSlider* slider_ = nullptr;
};

TEST_F(SliderOnDevice, RefusedValueShowsTheStatusAndReturnsToTheDevicesValue) {
    slider_->setFocus();
    QTest::keyClick(slider_, Qt::Key_Up);
    QTest::keyClick(slider_, Qt::Key_Up);
    ASSERT_TRUE(WaitFor([&] { return DeviceGain() == 1.0; }, 3000));
    EXPECT_EQ(form_->DeviceStatusText(), "");

    QLineEdit* field = slider_->TextField();
    field->setFocus();
    field->setText("10");
    QTest::keyClick(field, Qt::Key_Return);
    const QString refusal = QString::fromStdString(
        objscope::StatusText(objscope::statusValueOf(objscope::MessageRejection::FieldInvalid)));
    ASSERT_TRUE(WaitFor([&] { return form_->DeviceStatusText() == refusal; }, 5000))
        << form_->DeviceStatusText().toStdString();
    ASSERT_TRUE(WaitFor([&] { return slider_->Position() == 1.0; }, 5000));
    EXPECT_EQ(field->text(), "1.0 dB");
    EXPECT_DOUBLE_EQ(slider_->Tarn().MultiProperty()->GetData(), 1.0);
    EXPECT_DOUBLE_EQ(DeviceGain(), 1.0);
    EXPECT_TRUE(form_->Connected());
}

TEST_F(SliderOnDevice, DroppedConnectionTurnsTheLightAndKeepsTheEdits) {
    ASSERT_TRUE(LightLit());
    slider_->setFocus();
    QTest::keyClick(slider_, Qt::Key_Up);
    ASSERT_TRUE(WaitFor([&] { return DeviceGain() == 0.5; }, 3000));

    device_->kill();
    ASSERT_TRUE(device_->waitForFinished(5000));
    QTest::keyClick(slider_, Qt::Key_Up);  // this set gets no reply
    ASSERT_TRUE(WaitFor([&] { return !form_->Connected(); }, 20000));
    EXPECT_FALSE(LightLit());
    EXPECT_FALSE(slider_->Tarn().Connected());

    QTest::keyClick(slider_, Qt::Key_Up);  // kept, not sent
    EXPECT_DOUBLE_EQ(slider_->Position(), 1.5);
    EXPECT_DOUBLE_EQ(slider_->Tarn().MultiProperty()->GetData(), 1.5);
    form_->OkButton()->click();
    auto* held = dynamic_cast<objscope::TU32MultiValue*>(gain_);
    ASSERT_NE(held, nullptr);
    EXPECT_DOUBLE_EQ(held->GetData(), 1.5);
}

}  // namespace
}  // namespace objscope_gui
