// The mixing and routing editors against hubserver and tarnsim: a mixer
// strip's level and mute and a selector's choice reach the device; the
// crosspoints of the 16 x 16 matrix connect and disconnect by mouse and by
// keyboard, checked in the device's own list; the 256 x 256 matrix lists
// over many pages; another client's change shows; a refused list turns the
// window grey and keeps its grid; Cancel returns the device's crosspoints.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <cmath>
#include <set>

#include "audio/eq/graphic_eq_form.h"
#include "audio/mixing/matrix_objects.h"
#include "audio/mixing/mcombiner_form.h"
#include "audio/mixing/mixer_form.h"
#include "gui_session.h"
#include "protocol/tarn_method_codec.h"
#include "windows/tarn_slider.h"

namespace objscope_gui {
namespace {

using objscope::audio::TCrosspointGrid;
using objscope::audio::TMCombinerForm;
using objscope::audio::TMixerForm;
using Pairs = std::set<std::pair<int, int>>;  // (output, input), from 1

constexpr uint16_t kSelector = 400;
constexpr uint16_t kMixer = 420;
constexpr uint16_t kMatrix16 = 480;
constexpr uint16_t kMatrix256 = 490;

class MixingEditors : public GuiSession {
  protected:
    void SetUp() override { StartSession(); }

    void Upload() {
        main_->UploadObjects();
        ASSERT_TRUE(WaitFor([&] { return !main_->Busy(); }, 60000));
    }

    // Edit on an uploaded object, as the user opens it (connected).
    template <class Form>
    Form* OpenEditor(uint16_t handle) {
        const int row = RowOfObject(handle);
        EXPECT_GE(row, 0) << handle;
        if (row < 0)
            return nullptr;
        object_ = main_->Objects().at(static_cast<size_t>(row));
        main_->List()->setCurrentRow(row);
        main_->findChild<QPushButton*>("btnEdit")->click();
        auto* form = dynamic_cast<Form*>(object_->Editor());
        if (form)
            WaitFor([] { return false; }, 200);
        return form;
    }

    // The device's connected crosspoints, every page of its list.
    Pairs DevicePairs(uint16_t handle) {
        Pairs pairs;
        size_t received = 0;
        for (int page = 0; page < 200; ++page) {
            std::vector<uint8_t> reply;
            const auto payload = objscope::matrixListPayload(static_cast<uint16_t>(received));
            const int32_t status = monitor_->ActivateMethod(
                {0, 1, handle}, objscope::kMethodMatrixCommand, payload, reply, true);
            EXPECT_TRUE(status == 0 || status == 0x8000) << status;
            const auto listed = objscope::decodeMatrixPairs(reply);
            for (const auto& p : listed)
                pairs.insert({p.output, p.input});
            received += listed.size();
            if (status != 0x8000 || listed.empty())
                break;
        }
        return pairs;
    }
    void DeviceCommand(uint16_t handle, const std::vector<uint8_t>& payload) {
        std::vector<uint8_t> reply;
        ASSERT_EQ(monitor_->ActivateMethod({0, 1, handle}, objscope::kMethodMatrixCommand, payload,
                                           reply, true),
                  0);
    }
    // The grid's connected crosspoints, from 1.
    static Pairs Shown(const TMCombinerForm& form) {
        Pairs pairs;
        const auto& points = form.Points();
        for (int o = 0; o < points.Outputs(); ++o)
            for (int i = 0; i < points.Inputs(); ++i)
                if (points.Connected(o, i))
                    pairs.insert({o + 1, i + 1});
        return pairs;
    }
    static Pairs Diagonal(int n) {
        Pairs pairs;
        for (int k = 1; k <= n; ++k)
            pairs.insert({k, k});
        return pairs;
    }

    template <class Property>
    double DeviceValue(uint16_t handle, uint16_t id) {
        Property property;
        property.SetPropertyID(id);
        objscope::TTarn_Property_Link link(0, 1, handle, &property);
        EXPECT_EQ(monitor_->GetPropertyNow(link), 0) << handle << "/" << id;
        return property.GetData();
    }
    template <class Property>
    bool DeviceReaches(uint16_t handle, uint16_t id, double value) {
        return WaitFor([&] { return std::fabs(DeviceValue<Property>(handle, id) - value) < 0.01; },
                       3000);
    }

    void Click(TCrosspointGrid* grid, int o, int column) {
        const QRect cell = grid->ShowCell(o, column);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }

    objscope::TVEKroot* object_ = nullptr;
};

TEST_F(MixingEditors, MixerStripLevelAndMuteReachTheDevice) {
    Upload();
    auto* form = OpenEditor<TMixerForm>(kMixer);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Mixer - Mixer");
    EXPECT_TRUE(form->Connected());
    ASSERT_EQ(form->Pages()->count(), 1);
    EXPECT_EQ(form->Pages()->tabText(0), "1-2");
    EXPECT_EQ(form->Pages()->width(), 2 * 44 + 20);

    auto* level = form->findChild<objscope::TTarnSlider*>("sldInput2");
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->toolTip(), "Level for Input 2 (dB)");
    EXPECT_EQ(level->Data_Min(), -60);
    EXPECT_EQ(level->Data_Max(), 0);
    level->setFocus();
    for (int k = 0; k < 6; ++k)
        QTest::keyClick(level, Qt::Key_Down);
    ASSERT_LT(level->Position(), 0);
    EXPECT_TRUE(DeviceReaches<objscope::TU32VEKDB1>(423, 4096, level->Position()));

    auto* mute = form->findChild<QPushButton*>("btnMute1");
    ASSERT_NE(mute, nullptr);
    EXPECT_EQ(mute->toolTip(), "Mute this Input from the Sum/Mix");
    mute->click();
    EXPECT_TRUE(DeviceReaches<objscope::TU32Boolean>(422, 2048, 1));
    auto* outputMute = form->findChild<QPushButton*>("btnOutput_Mute");
    ASSERT_NE(outputMute, nullptr);
    outputMute->click();
    EXPECT_TRUE(DeviceReaches<objscope::TU32Boolean>(421, 2048, 1));
    form->OkButton()->click();
}

TEST_F(MixingEditors, SelectorSelectButtonSetsTheDevicesSelection) {
    Upload();
    auto* form = OpenEditor<TMixerForm>(kSelector);
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(form->IsSelector());
    EXPECT_EQ(form->windowTitle(), "Mixer - Signal Selector");
    EXPECT_EQ(form->findChild<QPushButton*>("btnMute1"), nullptr) << "selectors have no mutes";
    ASSERT_NE(form->SelectButton(1), nullptr);
    EXPECT_TRUE(form->SelectButton(1)->isChecked()) << "the device selects input 1";
    form->SelectButton(2)->click();
    EXPECT_TRUE(form->SelectButton(2)->isChecked());
    EXPECT_FALSE(form->SelectButton(1)->isChecked());
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(kSelector, 3072, 2));
    form->OkButton()->click();
    auto* selector = dynamic_cast<objscope::audio::TU32SignalSelector*>(object_);
    ASSERT_NE(selector, nullptr);
    EXPECT_EQ(selector->Selection(), 2);
    EXPECT_TRUE(objscope::audio::IsMuted(*selector->Input(1))) << "OK mutes the other inputs";
    EXPECT_FALSE(objscope::audio::IsMuted(*selector->Input(2)));
}

TEST_F(MixingEditors, CrosspointsOfThe16By16MatrixByMouseAndKeyboard) {
    Upload();
    auto* form = OpenEditor<TMCombinerForm>(kMatrix16);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Matrix Combiner - Matrix 16");
    ASSERT_TRUE(form->Connected());
    EXPECT_EQ(Shown(*form), Diagonal(16));
    TCrosspointGrid* grid = form->Grid();

    // Mouse: input 5 to output 3, then off again.
    Click(grid, 2, 4);
    Pairs expected = Diagonal(16);
    expected.insert({3, 5});
    EXPECT_EQ(DevicePairs(kMatrix16), expected);
    EXPECT_EQ(Shown(*form), expected);
    Click(grid, 2, 4);
    EXPECT_EQ(DevicePairs(kMatrix16), Diagonal(16));

    // Keyboard: from the first crosspoint right 3 and down 1, Space.
    grid->setFocus();
    grid->SetFocusCell(0, 0);
    for (int k = 0; k < 3; ++k)
        QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Space);
    expected = Diagonal(16);
    expected.insert({2, 4});
    EXPECT_EQ(DevicePairs(kMatrix16), expected);
    // Down the diagonal to output 4 and off with Enter.
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Return);
    expected.erase({4, 4});
    EXPECT_EQ(DevicePairs(kMatrix16), expected);
    EXPECT_EQ(Shown(*form), expected);
    EXPECT_TRUE(grid->ToolTipAt(grid->ShowCell(1, 3).center())
                    .startsWith("Toggle Connection of this Input to this Output\nInput 4 (Mic 4) "
                                "to Output 2 (Room 2)"));
    form->OkButton()->click();
    auto* matrix = dynamic_cast<objscope::audio::TMatrixBase*>(object_);
    ASSERT_NE(matrix, nullptr);
    EXPECT_TRUE(matrix->Connected(2, 4)) << "OK keeps what the window showed";
    EXPECT_FALSE(matrix->Connected(4, 4));
}

TEST_F(MixingEditors, AnotherClientsChangeShowsAndCancelRestoresTheDevice) {
    Upload();
    auto* form = OpenEditor<TMCombinerForm>(kMatrix16);
    ASSERT_NE(form, nullptr);
    DeviceCommand(kMatrix16, objscope::matrixCrosspointPayload(true, 7, 5));
    EXPECT_TRUE(WaitFor([&] { return form->Points().Connected(4, 6); }, 3 * form->kPollMs))
        << "the change made elsewhere shows";
    Click(form->Grid(), 0, 1);
    Click(form->Grid(), 1, 1);  // off the diagonal
    Pairs changed = Diagonal(16);
    changed.insert({5, 7});
    changed.insert({1, 2});
    changed.erase({2, 2});
    ASSERT_EQ(DevicePairs(kMatrix16), changed);
    form->CancelButton()->click();
    EXPECT_TRUE(WaitFor([&] { return object_->Editor() == nullptr; }, 10000));
    EXPECT_EQ(DevicePairs(kMatrix16), Diagonal(16))
        << "Cancel returns the crosspoints the window opened with";
    EXPECT_TRUE(TakeMessages().empty());
}

// The combiner of 256 x 256 is made here (a device cannot list its 65,536
// input stages) and edits the device's object 490.
TEST_F(MixingEditors, The256By256MatrixListsOverManyPages) {
    objscope::audio::TU32MatrixCombiner matrix;
    matrix.SetAddress(0, 1, kMatrix256);
    matrix.SetObjectName("Matrix 256");
    matrix.SetNumInputs(256);
    matrix.SetNumOutputs(256);
    objscope::audio::SetMuted(*matrix.Output(256)->Output(), true);
    const Pairs device = DevicePairs(kMatrix256);
    ASSERT_GT(device.size(), 2000u);
    matrix.ShowEditor(false, false, true);
    auto* form = dynamic_cast<TMCombinerForm*>(matrix.Editor());
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(form->Connected());
    EXPECT_EQ(Shown(*form), device) << "every page counts, not only the last";
    EXPECT_GE(form->Exchanges(), static_cast<int>(device.size() / 504));
    EXPECT_FALSE(form->Greyed());
    EXPECT_TRUE(form->Grid()->RowMuted(255)) << "row 256 shows its own output's mute";
    EXPECT_FALSE(form->Grid()->RowMuted(254));

    // Output 256 cannot be named in a command: refused with a message.
    Click(form->Grid(), 255, 3);
    EXPECT_EQ(TakeMessages(), (std::vector<std::string>{objscope::audio::kCrosspointOutOfReach}));
    EXPECT_EQ(DevicePairs(kMatrix256), device);
    // Input 255 of output 255 can.
    const bool before = form->Points().Connected(254, 254);
    Click(form->Grid(), 254, 254);
    EXPECT_NE(form->Points().Connected(254, 254), before);
    EXPECT_NE(DevicePairs(kMatrix256).count({255, 255}), before ? 1u : 0u);
    form->OkButton()->click();
}

TEST_F(MixingEditors, ARefusedListTurnsTheWindowGreyAndKeepsTheGrid) {
    Upload();
    auto* form = OpenEditor<TMCombinerForm>(kMatrix16);
    ASSERT_NE(form, nullptr);
    const Pairs before = Shown(*form);
    device_->kill();
    device_->waitForFinished(5000);
    EXPECT_FALSE(form->Relist());
    EXPECT_TRUE(form->Greyed());
    EXPECT_EQ(form->Grid()->FaceColor(), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(Shown(*form), before);
    // The device comes back: the next answer restores the face.
    device_->start(device_->program(), device_->arguments());
    ASSERT_TRUE(device_->waitForStarted(5000));
    EXPECT_TRUE(WaitFor([&] { return form->Relist(); }, 10000));
    EXPECT_FALSE(form->Greyed());
    form->OkButton()->click();
}

TEST_F(MixingEditors, OfflineRulesAndOkStoreTheCrosspointsIntoTheObject) {
    objscope::audio::TU32MatrixCombiner matrix;
    matrix.SetNumInputs(4);
    matrix.SetNumOutputs(3);
    matrix.ShowEditor(false, false, false);
    auto* form = dynamic_cast<TMCombinerForm*>(matrix.Editor());
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->Connected());
    EXPECT_EQ(form->windowTitle(), "Matrix Combiner - Matrix Combiner");
    // Switch Router: input 3 of output 2 alone.
    Click(form->Grid(), 0, 2);
    Click(form->Grid(), 1, 2);
    form->findChild<QPushButton*>("btnOneToOne")->click();
    Click(form->Grid(), 2, 0);
    EXPECT_EQ(Shown(*form), (Pairs{{1, 1}, {2, 2}, {3, 1}}));
    // Mixing Router: a crosspoint toggles alone.
    form->findChild<QRadioButton*>("rbMixingRouter")->click();
    form->Grid()->InvalidateCache();
    form->Grid()->viewport()->repaint();
    EXPECT_EQ(form->Grid()->CellsPainted(), 12) << "a first paint draws every visible crosspoint";
    Click(form->Grid(), 2, 3);
    EXPECT_EQ(Shown(*form), (Pairs{{1, 1}, {2, 2}, {3, 1}, {3, 4}}));
    EXPECT_EQ(form->Grid()->CellsPainted(), 1) << "only the changed crosspoint is painted again";
    EXPECT_TRUE(matrix.Connected(3, 3)) << "nothing stored before OK";
    form->OkButton()->click();
    EXPECT_TRUE(matrix.Connected(3, 1));
    EXPECT_TRUE(matrix.Connected(3, 4));
    EXPECT_FALSE(matrix.Connected(3, 3));
    EXPECT_EQ(matrix.Mode(), objscope::audio::TCombiningMode::kMixingRouter);
}

TEST_F(MixingEditors, CancelStopsAtTheFirstFailureAndSaysWhatStayed) {
    Upload();
    auto* form = OpenEditor<TMCombinerForm>(kMatrix16);
    ASSERT_NE(form, nullptr);
    Click(form->Grid(), 0, 5);
    Click(form->Grid(), 3, 9);
    device_->kill();
    device_->waitForFinished(5000);
    form->CancelButton()->click();
    EXPECT_TRUE(WaitFor([&] { return object_->Editor() == nullptr; }, 30000));
    const auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
              "2 crosspoint(s) could not be returned to the state the window opened with:\r"
              "Input 6 to Output 1\rInput 10 to Output 4");
}

TEST_F(MixingEditors, ARowsMixerOpensModallyAndTheRowFollowsIt) {
    objscope::audio::TU32MatrixCombiner matrix;
    matrix.SetNumInputs(3);
    matrix.SetNumOutputs(3);
    matrix.ShowEditor(false, false, false);
    auto* form = dynamic_cast<TMCombinerForm*>(matrix.Editor());
    ASSERT_NE(form, nullptr);
    form->Grid()->setFocus();
    form->Grid()->SetFocusCell(0, objscope::audio::kEditColumn);
    QTest::keyClick(form->Grid(), Qt::Key_Return);
    auto* row = dynamic_cast<TMixerForm*>(matrix.Output(1)->Editor());
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->windowTitle(), "Mixer - Internal Mixer 1");
    EXPECT_EQ(row->windowModality(), Qt::ApplicationModal);
    auto* mute = row->findChild<QPushButton*>("btnMute2");
    ASSERT_NE(mute, nullptr);
    EXPECT_TRUE(mute->isChecked()) << "input 2 is not heard by output 1";
    mute->click();
    row->OkButton()->click();
    EXPECT_TRUE(form->Points().Connected(0, 1)) << "the row shows what its mixer now hears";
    EXPECT_TRUE(form->Points().Connected(0, 0));
    form->close();
}

TEST_F(MixingEditors, MixerPagesHoldEightStripsEach) {
    const struct {
        int inputs;
        std::vector<QString> tabs;
        int width;
    } cases[] = {{1, {"1"}, 64},
                 {7, {"1-7"}, 7 * 44 + 20},
                 {9, {"1-8", "9"}, 372},
                 {17, {"1-8", "9-16", "17"}, 372}};
    for (const auto& c : cases) {
        objscope::audio::TU32Mixer mixer;
        mixer.SetNumInputs(static_cast<uint16_t>(c.inputs));
        mixer.ShowEditor(false, false, false);
        auto* form = dynamic_cast<TMixerForm*>(mixer.Editor());
        ASSERT_NE(form, nullptr);
        std::vector<QString> tabs;
        for (int t = 0; t < form->Pages()->count(); ++t)
            tabs.push_back(form->Pages()->tabText(t));
        EXPECT_EQ(tabs, c.tabs) << c.inputs;
        EXPECT_EQ(form->Pages()->width(), c.width) << c.inputs;
        EXPECT_NE(form->findChild<QWidget*>("sldInput" + QString::number(c.inputs)), nullptr);
        form->close();
        WaitFor([] { return false; }, 20);
    }
}

TEST_F(MixingEditors, ReadOnlyWindowUndoesEveryPress) {
    objscope::audio::TU32MatrixRouter router;
    router.SetNumInputs(3);
    router.SetNumOutputs(3);
    router.ShowEditor(false, true, false);
    auto* form = dynamic_cast<TMCombinerForm*>(router.Editor());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Matrix Router - Matrix Router");
    EXPECT_FALSE(form->findChild<QWidget*>("rbCombiningMode")->isVisible());
    EXPECT_FALSE(form->findChild<QWidget*>("btnOneToOne")->isEnabled());
    Click(form->Grid(), 0, 2);
    form->Grid()->setFocus();
    form->Grid()->SetFocusCell(1, objscope::audio::kMuteColumn);
    QTest::keyClick(form->Grid(), Qt::Key_Space);
    EXPECT_EQ(Shown(*form), Diagonal(3));
    EXPECT_FALSE(form->Grid()->RowMuted(1));
    form->close();
}

TEST_F(MixingEditors, GraphicEqShowsOnlyItsPlaceholderWindow) {
    Upload();
    const int before = TraceCount("Get Property");
    auto* window = OpenEditor<objscope::audio::TEQ1_3Form>(150);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "One Third Octave EQ");
    EXPECT_EQ(window->size(), QSize(281, 140));
    auto* label = window->findChild<QLabel*>("lblUnderConstruction");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Under Construction");
    EXPECT_EQ(label->pos(), QPoint(48, 52));
    EXPECT_TRUE(label->font().bold());
    EXPECT_EQ(TraceCount("Get Property"), before) << "it reads nothing";
    window->close();
    WaitFor([] { return false; }, 100);
    EXPECT_EQ(object_->Editor(), nullptr);
}

// With VEK_SCREENSHOT_DIR set, saves the mixer, the 16 x 16 and 256 x 256
// matrices and the graphic EQ window for docs/screenshots.
TEST_F(MixingEditors, ScreenshotsWhenAsked) {
    const QByteArray folder = qgetenv("VEK_SCREENSHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "VEK_SCREENSHOT_DIR not set";
    Upload();
    const auto save = [&](QWidget* window, const char* name) {
        ASSERT_NE(window, nullptr);
        WaitFor([] { return false; }, 300);
        EXPECT_TRUE(window->grab().save(QString(folder) + "/" + name));
    };
    auto* mixer = OpenEditor<TMixerForm>(kMixer);
    save(mixer, "mixer-editor.png");
    mixer->close();
    auto* matrix16 = OpenEditor<TMCombinerForm>(kMatrix16);
    ASSERT_NE(matrix16, nullptr);
    Click(matrix16->Grid(), 2, 5);
    Click(matrix16->Grid(), 7, 1);
    matrix16->Grid()->SetFocusCell(4, 9);
    matrix16->resize(matrix16->sizeHint());  // the offscreen screen is small
    save(matrix16, "matrix-16x16.png");
    matrix16->CancelButton()->click();
    WaitFor([&] { return object_->Editor() == nullptr; }, 10000);
    auto* eq = OpenEditor<objscope::audio::TEQ1_3Form>(150);
    save(eq, "graphic-eq-window.png");
    eq->close();
    objscope::audio::TU32MatrixCombiner big;
    big.SetAddress(0, 1, kMatrix256);
    big.SetObjectName("Matrix 256");
    big.SetNumInputs(256);
    big.SetNumOutputs(256);
    big.ShowEditor(false, false, true);
    auto* form = dynamic_cast<TMCombinerForm*>(big.Editor());
    ASSERT_NE(form, nullptr);
    form->resize(1000, 700);
    form->Grid()->horizontalScrollBar()->setValue(form->Grid()->horizontalScrollBar()->maximum());
    form->Grid()->verticalScrollBar()->setValue(form->Grid()->verticalScrollBar()->maximum());
    save(form, "matrix-256x256.png");
    form->close();
}

}  // namespace
}  // namespace objscope_gui
