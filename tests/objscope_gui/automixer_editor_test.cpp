// The automatic mixer and gate editors against hubserver and tarnsim: an
// input's gate settings, the last-mic choice, the onput channel and the NOM
// switches reach the device; a direct output set on the object reaches it
// by download; a processing choice downloads the new object; gating lights
// and meters follow the device's wiggled values; a change made by another
// client shows within a second; a read-only window changes nothing.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QApplication>
#include <QTimer>
#include <QToolButton>
#include <cmath>

#include "audio/automixer/auto_gate_form.h"
#include "audio/automixer/automix_form.h"
#include "audio/automixer/automixer_objects.h"
#include "gui_session.h"
#include "values/property_string_value.h"

namespace objscope_gui {
namespace {

using objscope::audio::TfrmAutoGate;
using objscope::audio::TfrmAutoMix;
using objscope::audio::TProcessingKind;
using objscope::audio::TU32AutoMixer;

void TypeInto(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

void Choose(QComboBox* box, const QString& item) {
    const int index = box->findText(item);
    ASSERT_GE(index, 0) << item.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

QStringList TabCaptions(QTabWidget* tabs) {
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i)
        captions << tabs->tabText(i);
    return captions;
}

}  // namespace

// A window made for an automixer of our own, offline.
TEST(AutoMixLayout, SeventyTwoInputsOnPagesOfEightBuiltWhenShown) {
    TU32AutoMixer mixer;
    mixer.SetNumInputs(72);
    mixer.SetNumOutputs(3);
    TfrmAutoMix form(mixer, nullptr);
    EXPECT_EQ(form.windowTitle(), "Automatic Mixer - AutoMixer");
    const QStringList tabs = TabCaptions(form.InputPages());
    ASSERT_EQ(tabs.size(), 9);
    EXPECT_EQ(tabs.front(), "1-8");
    EXPECT_EQ(tabs.back(), "65-72");
    EXPECT_NE(form.Strip(8).level, nullptr);
    EXPECT_EQ(form.Strip(9).level, nullptr) << "page 2 not built yet";
    form.InputPages()->setCurrentIndex(8);
    ASSERT_NE(form.Strip(72).level, nullptr);
    // Input n's gate is object 4n - 3; its strip binds there.
    EXPECT_EQ(form.Strip(72).level->Tarn().Dest_Obj(), 4 * 72 - 3);
    EXPECT_EQ(form.Strip(72).level->Tarn().PropID(), 4107);
    EXPECT_EQ(form.Strip(72).priority->Tarn().PropID(), 4098);
    EXPECT_EQ(form.Strip(72).select->toolTip(),
              "Click to select the desired inline processing for this input.");
    EXPECT_EQ(form.OutputRow(3).nomSlope->Tarn().Dest_Obj(), 4 * 72 + 3);
    EXPECT_EQ(form.OutputRow(3).edit->text(), "Edit Output Mix");
    // "InputActiveStates" 05 01 lights inputs 1, 3 and 9, also on pages not built.
    auto* gating = form.findChild<objscope::TTarnLabel*>("lblGating");
    ASSERT_NE(gating, nullptr);
    static_cast<objscope::TU32StringValue&>(gating->Tarn().Copy())
        .SetData(std::string("\x05\x01", 2));
    gating->Tarn().OnValueArrived();
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(form.GatingLit(n), n == 1 || n == 3 || n == 9) << n;
    form.InputPages()->setCurrentIndex(1);
    EXPECT_TRUE(form.Strip(9).gated->Lit()) << "a page built later shows the state";
    EXPECT_FALSE(form.Strip(10).gated->Lit());
}

namespace {

class AutoMixerEditors : public GuiSession {
  protected:
    void SetUp() override {}

    objscope::TVEKroot* Upload(uint16_t handle) {
        main_->UploadObjects();
        EXPECT_TRUE(WaitFor([&] { return !main_->Busy(); }));
        const int row = RowOfObject(handle);
        EXPECT_GE(row, 0) << handle;
        return row < 0 ? nullptr : main_->Objects().at(static_cast<size_t>(row));
    }
    template <class Form>
    Form* OpenEditor(uint16_t handle) {
        object_ = Upload(handle);
        if (!object_)
            return nullptr;
        main_->List()->setCurrentRow(RowOfObject(handle));
        main_->findChild<QPushButton*>("btnEdit")->click();
        auto* form = dynamic_cast<Form*>(object_->Editor());
        if (form)
            WaitFor([] { return false; }, 300);
        return form;
    }
    std::string DeviceName(uint16_t handle) {
        objscope::TU32StringValue name;
        name.SetPropertyID(2);
        objscope::TTarn_Property_Link link(0, 1, handle, &name);
        EXPECT_EQ(monitor_->GetPropertyNow(link), 0);
        return name.Data();
    }

    objscope::TVEKroot* object_ = nullptr;
};

TEST_F(AutoMixerEditors, GateSettingsOfAnInputReachTheDevice) {
    StartSession();
    auto* form = OpenEditor<TfrmAutoMix>(500);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Automatic Mixer - AutoMixer");
    EXPECT_TRUE(form->Connected());
    const auto& strip = form->Strip(2);
    ASSERT_NE(strip.mode, nullptr);
    EXPECT_TRUE(WaitFor([&] { return strip.mode->List()->currentText() == "Auto"; }, 2000));
    Choose(strip.mode->List(), "Off");
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(540, 4097, 2));
    TypeInto(strip.priority, "12");
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(540, 4098, 12));
    TypeInto(strip.holdTime, "5");
    EXPECT_TRUE(DeviceReaches<objscope::TU32VEKSEC>(540, 4099, 5));
    // Clearing "Mic" makes a line input that the gate forces on.
    ASSERT_TRUE(strip.mic->isChecked());
    QTest::mouseClick(strip.mic, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(540, 4096, 1));
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(540, 4097, 3));
    EXPECT_EQ(strip.mode->List()->currentText(), "On");

    // NOM of output 1, the last-mic choice and the onput channel.
    QTest::mouseClick(form->OutputRow(1).nom, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(DeviceReaches<objscope::TU32VEKRatio1>(570, 3072, 3));
    QTest::mouseClick(form->OutputRow(1).nom, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(DeviceReaches<objscope::TU32VEKRatio1>(570, 3072, 0));
    auto* onput = form->findChild<QComboBox*>("cmbOnputChannel");
    EXPECT_FALSE(onput->isEnabled());
    Choose(form->findChild<QComboBox*>("cmbLMO"), "Onput");
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(500, 3072, 1));
    EXPECT_TRUE(onput->isEnabled());
    Choose(onput, "Input 3");
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(500, 3074, 3));
}

TEST_F(AutoMixerEditors, ChangeByAnotherClientShowsWithinASecond) {
    StartSession();
    auto* form = OpenEditor<TfrmAutoMix>(500);
    ASSERT_NE(form, nullptr);
    SetOnDevice<objscope::TU32UByte>(520, 4098, 42);
    EXPECT_TRUE(WaitFor([&] { return form->Strip(1).priority->text() == "42"; }, 1000));
    SetOnDevice<objscope::TU32UByte>(500, 3072, 2);
    EXPECT_TRUE(
        WaitFor([&] { return form->LastMicOn().List()->currentText() == "Last Mic"; }, 1000));
}

TEST_F(AutoMixerEditors, ProcessingChoiceDownloadsTheNewObject) {
    StartSession();
    auto* form = OpenEditor<TfrmAutoMix>(500);
    ASSERT_NE(form, nullptr);
    const auto& strip = form->Strip(1);
    EXPECT_EQ(strip.processing->text(), "None");
    EXPECT_FALSE(strip.processing->isEnabled());
    form->ChooseProcessing(1, TProcessingKind::kLimiter);
    EXPECT_EQ(strip.processing->toolTip(), "Edit Limiter");
    EXPECT_TRUE(strip.processing->isEnabled());
    EXPECT_EQ(strip.processingName->text(), "Automatic Mixer Input 1");
    auto& mixer = static_cast<TU32AutoMixer&>(*object_);
    EXPECT_EQ(mixer.Input(1)->processing->ObjHandle(), 521);
    EXPECT_TRUE(WaitFor([&] { return DeviceName(521) == "Automatic Mixer Input 1"; }, 3000))
        << "the new processing object was downloaded";
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(521, 11, 129));
    // The window's object list holds the new object.
    EXPECT_EQ(form->Binding().Objects().at(2), mixer.Input(1)->processing.get());
}

TEST_F(AutoMixerEditors, DirectOutputReachesTheDeviceByDownload) {
    StartSession();
    auto* mixer = dynamic_cast<TU32AutoMixer*>(Upload(500));
    ASSERT_NE(mixer, nullptr);
    ASSERT_EQ(mixer->InputCount(), 2);
    ASSERT_EQ(mixer->OutputCount(), 1);
    mixer->SetShowDirectOutputs(true);
    EXPECT_EQ(mixer->NumOutputs, 3);
    EXPECT_EQ(mixer->GetOutputName(3), "D2");
    mixer->SetOutputNode(3, 321);
    EXPECT_EQ(comm_->DownloadObject(*mixer->Input(2)->direct, false), 0);
    EXPECT_TRUE(DeviceReaches<objscope::TU32UWord>(542, 3074, 321));
}

TEST_F(AutoMixerEditors, GatingLightsAndMetersFollowWiggledValues) {
    StartSession({"--wiggle"});
    auto* form = OpenEditor<TfrmAutoMix>(500);
    ASSERT_NE(form, nullptr);
    auto* gating = form->findChild<objscope::TTarnLabel*>("lblGating");
    ASSERT_NE(gating, nullptr);
    // The lights show the bits of the last bit set the device sent.
    const auto lightsMatch = [&] {
        const auto* bits = dynamic_cast<const objscope::TU32StringValue*>(&gating->Tarn().Copy());
        if (!bits || bits->Data().empty())
            return false;
        const auto byte = static_cast<uint8_t>(bits->Data()[0]);
        return form->GatingLit(1) == ((byte & 1) != 0) && form->GatingLit(2) == ((byte & 2) != 0);
    };
    int changes = 0;
    bool last = form->GatingLit(1);
    const double firstLevel = form->Strip(1).level->Position();
    bool levelMoved = false;
    EXPECT_TRUE(WaitFor(
        [&] {
            if (!lightsMatch())
                return false;
            if (form->GatingLit(1) != last) {
                last = form->GatingLit(1);
                ++changes;
            }
            levelMoved = levelMoved || form->Strip(1).level->Position() != firstLevel;
            return changes >= 2 && levelMoved;
        },
        15000))
        << changes << " light changes";
    EXPECT_EQ(form->Strip(1).gated->Lit(), form->GatingLit(1));
}

TEST_F(AutoMixerEditors, GateEditorSendsItsChoicesAndSteps) {
    StartSession();
    auto* form = OpenEditor<TfrmAutoGate>(599);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "AutoMixer Gate - Lone Gate");
    EXPECT_TRUE(WaitFor([&] { return form->GatingMode().List()->currentText() == "Auto"; }, 2000));
    Choose(form->GatingMode().List(), "Force On");
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(599, 4097, 3));
    Choose(form->InputType().List(), "Line");
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(599, 4096, 1));
    form->findChild<QToolButton*>("udPriorityUp")->click();
    form->findChild<QToolButton*>("udPriorityUp")->click();
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(599, 4098, 2));
    form->findChild<QToolButton*>("udHoldTimeDown")->click();
    EXPECT_TRUE(DeviceReaches<objscope::TU32VEKSEC>(599, 4099, 2));
    form->OkButton()->click();
    EXPECT_EQ(object_->Editor(), nullptr);
}

// "Edit Output Mix" opens the output mixer's own editor, the one the mixing
// family registers for its class.
TEST_F(AutoMixerEditors, EditOutputMixOpensTheMixersEditor) {
    StartSession();
    auto* form = OpenEditor<TfrmAutoMix>(500);
    ASSERT_NE(form, nullptr);
    auto* edit = form->findChild<QPushButton*>("btnEditOutput1");
    ASSERT_NE(edit, nullptr);
    QString opened;
    auto takeMixerWindow = [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && window->windowTitle().startsWith("Mixer - ")) {
                opened = window->windowTitle();
                window->close();
            }
        }
    };
    QTimer::singleShot(500, takeMixerWindow);  // also when the editor runs modally
    edit->click();
    WaitFor([&] {
        if (opened.isEmpty())
            takeMixerWindow();
        return !opened.isEmpty();
    }, 3000);
    EXPECT_FALSE(opened.isEmpty()) << "no mixer editor opened";
}

TEST_F(AutoMixerEditors, ReadOnlyWindowsDisableTheirEditing) {
    StartSession();
    objscope::TVEKroot* mixer = Upload(500);
    ASSERT_NE(mixer, nullptr);
    mixer->ShowEditor(false, true, true);
    auto* form = dynamic_cast<TfrmAutoMix*>(mixer->Editor());
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->Strip(1).mic->isEnabled());
    EXPECT_FALSE(form->Strip(1).priority->isEnabled());
    EXPECT_FALSE(form->Strip(1).select->isEnabled());
    EXPECT_FALSE(form->LastMicOn().List()->isEnabled());
    form->ChooseProcessing(1, TProcessingKind::kCompressor);
    EXPECT_EQ(static_cast<TU32AutoMixer*>(mixer)->Kind(1), TProcessingKind::kNone);
    form->close();
}

// With VEK_SCREENSHOT_DIR set, saves the automixer editor with moving
// levels (a limiter on input 2) and a gate editor for docs/screenshots.
TEST_F(AutoMixerEditors, ScreenshotsWhenAsked) {
    const QByteArray folder = qgetenv("VEK_SCREENSHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "VEK_SCREENSHOT_DIR not set";
    StartSession({"--wiggle"});
    auto* form = OpenEditor<TfrmAutoMix>(500);
    ASSERT_NE(form, nullptr);
    form->ChooseProcessing(2, TProcessingKind::kLimiter);
    WaitFor([] { return false; }, 1500);
    EXPECT_TRUE(form->grab().save(QString(folder) + "/automixer-editor.png"));
    auto& mixer = static_cast<TU32AutoMixer&>(*object_);
    mixer.Input(1)->gate->ShowEditor(false, false, true);
    auto* gate = dynamic_cast<TfrmAutoGate*>(mixer.Input(1)->gate->Editor());
    ASSERT_NE(gate, nullptr);
    WaitFor([] { return false; }, 500);
    EXPECT_TRUE(gate->grab().save(QString(folder) + "/automixer-gate-editor.png"));
}

}  // namespace
}  // namespace objscope_gui
