// The crossover editors against hubserver and tarnsim: "Edit" on an
// uploaded crossover opens it connected; moving a crossover point with the
// keyboard or the mouse reaches the device at once; Cancel returns the
// device to the object's values, OK keeps the new ones; a change made by
// another client shows within a second.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <cmath>

#include "audio/crossover_form.h"
#include "audio/crossover_objects.h"
#include "audio/peq_band_comm.h"
#include "comm/editor_comm_monitor.h"
#include "core/object_factory.h"
#include "gui_session.h"

namespace objscope_gui {
namespace {

using objscope::audio::TCrossoverEditorBase;

class CrossoverEditor : public GuiSession {
  protected:
    void SetUp() override {
        StartSession();
        comm_ = std::make_unique<objscope::TMonitorEditorComm>(*monitor_);
        objscope::audio::RegisterCrossoverEditors(*comm_);
    }
    void TearDown() override {
        for (const char* name :
             {"TU32CrossOver", "TU32CrossOverBand", "TU32LinkWitz", "TU32LWCrossOverBand",
              "TU32Peq", "TPeqFilterBand", "TGeqFilterBand"})
            objscope::UnregisterObjectClass(name);
        GuiSession::TearDown();
    }

    TCrossoverEditorBase* OpenEditor(uint16_t handle) {
        main_->UploadObjects();
        EXPECT_TRUE(WaitFor([&] { return !main_->Busy(); }));
        const int row = RowOfObject(handle);
        EXPECT_GE(row, 0);
        if (row < 0)
            return nullptr;
        object_ = main_->Objects().at(static_cast<size_t>(row));
        main_->List()->setCurrentRow(row);
        main_->findChild<QPushButton*>("btnEdit")->click();
        auto* form = dynamic_cast<TCrossoverEditorBase*>(object_->Editor());
        if (form)
            WaitFor([] { return false; }, 300);
        return form;
    }

    // The device's centre frequency of a band object, in Hz.
    double DeviceFrequency(uint16_t handle) {
        objscope::TU32VEKDecade2 frequency;
        frequency.SetPropertyID(3075);
        objscope::TTarn_Property_Link link(0, 1, handle, &frequency);
        EXPECT_EQ(monitor_->GetPropertyNow(link), 0);
        return frequency.GetFrequency();
    }
    void SetDeviceFrequency(uint16_t handle, double hertz) {
        objscope::TU32VEKDecade2 frequency;
        frequency.SetPropertyID(3075);
        frequency.SetFrequency(hertz);
        objscope::TTarn_Property_Link link(0, 1, handle, &frequency);
        ASSERT_GE(monitor_->SetPropertyWait(link), 0);
    }
    QLineEdit* Keys(QWidget* form) { return form->findChild<QLineEdit*>("HiddenEdit"); }

    std::unique_ptr<objscope::TMonitorEditorComm> comm_;
    objscope::TVEKroot* object_ = nullptr;
};

// The upper edge of the first output (object 214, 800 Hz on the device).
TEST_F(CrossoverEditor, KeyboardMoveReachesTheDeviceAndCancelRestoresIt) {
    TCrossoverEditorBase* form = OpenEditor(200);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Vek Crossover - Two-way Crossover");
    EXPECT_TRUE(form->Connected());
    ASSERT_EQ(form->OutputCount(), 2);
    auto* outputs = form->findChild<QComboBox*>("OutputCombo");
    ASSERT_EQ(outputs->count(), 2);
    EXPECT_EQ(outputs->itemText(0), "Low - L") << "the lowest output first";
    EXPECT_EQ(outputs->itemText(1), "High - H");
    QTest::keyClick(Keys(form), Qt::Key_Right);  // lower edge -> upper edge of the same output
    ASSERT_TRUE(form->UpperSelected());
    EXPECT_NEAR(form->EdgeFrequency(0, true), 800, 0.1);
    QTest::keyClick(Keys(form), Qt::Key_Right, Qt::ShiftModifier);
    const double moved = form->EdgeFrequency(0, true);
    EXPECT_NEAR(moved, 800 * std::exp2(2 / 42.2), 2.0);
    EXPECT_TRUE(WaitFor([&] { return std::fabs(DeviceFrequency(214) - moved) < 0.2; }, 2000));

    form->CancelButton()->click();
    EXPECT_TRUE(WaitFor([&] { return std::fabs(DeviceFrequency(214) - 800) < 0.2; }, 2000))
        << "Cancel returns the device to the object's value";
    EXPECT_EQ(object_->Editor(), nullptr);
}

TEST_F(CrossoverEditor, MouseDragThenOkKeepsTheNewPoint) {
    TCrossoverEditorBase* form = OpenEditor(200);
    ASSERT_NE(form, nullptr);
    auto* graph = form->Graph();
    const int x = objscope::audio::CrossoverColumn(800);
    QTest::mousePress(graph, Qt::LeftButton, {}, QPoint(x, 7));
    ASSERT_TRUE(form->UpperSelected());
    QMouseEvent move(QEvent::MouseMove, QPointF(x + 20, 7), QPointF(), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(graph, &move);
    QTest::mouseRelease(graph, Qt::LeftButton, {}, QPoint(x + 20, 7));
    const double moved = objscope::audio::CrossoverColumnFrequency(x + 20);
    EXPECT_NEAR(form->EdgeFrequency(0, true), moved, 0.5);
    EXPECT_TRUE(WaitFor([&] { return std::fabs(DeviceFrequency(214) - moved) < 0.2; }, 2000));
    auto& crossover = static_cast<objscope::audio::TU32CrossOver&>(*object_);
    form->OkButton()->click();
    EXPECT_NEAR(crossover.Output(0).UpperEdge().Frequency(), moved, 0.2) << "OK commits";
    EXPECT_NEAR(DeviceFrequency(214), moved, 0.2);
}

TEST_F(CrossoverEditor, ArrowKeysWalkTheEdgesInFrequencyOrder) {
    TCrossoverEditorBase* form = OpenEditor(200);
    ASSERT_NE(form, nullptr);
    const auto at = [&] { return std::make_pair(form->SelectedOutput(), form->UpperSelected()); };
    form->SelectEdge(0, true);  // "L", upper edge
    QTest::keyClick(Keys(form), Qt::Key_Right);
    EXPECT_EQ(at(), std::make_pair(1, false)) << "to the lower edge of the next higher output";
    QTest::keyClick(Keys(form), Qt::Key_Right);
    EXPECT_EQ(at(), std::make_pair(1, true));
    QTest::keyClick(Keys(form), Qt::Key_Right);
    EXPECT_EQ(at(), std::make_pair(1, true)) << "no output above the highest";
    QTest::keyClick(Keys(form), Qt::Key_Left);
    QTest::keyClick(Keys(form), Qt::Key_Left);
    EXPECT_EQ(at(), std::make_pair(0, true));
}

TEST_F(CrossoverEditor, ChangeByAnotherClientShowsWithinASecond) {
    TCrossoverEditorBase* form = OpenEditor(200);
    ASSERT_NE(form, nullptr);
    SetDeviceFrequency(214, 1000);
    EXPECT_TRUE(
        WaitFor([&] { return std::fabs(form->EdgeFrequency(0, true) - 1000) < 0.2; }, 1000));
}

TEST_F(CrossoverEditor, LinkwitzPointMovesEveryOutputsSlot) {
    TCrossoverEditorBase* form = OpenEditor(250);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "VEK Linkwitz-Riley Crossover - Linkwitz-Riley Crossover");
    ASSERT_EQ(form->OutputCount(), 2);
    EXPECT_EQ(form->EdgeFrequency(0, false), 20);
    EXPECT_EQ(form->EdgeFrequency(1, true), 20000);
    form->SelectEdge(0, true);  // point 0
    const double before = form->EdgeFrequency(0, true);
    form->MoveSelectedEdge(1200);
    EXPECT_NEAR(form->EdgeFrequency(1, false), 1200, 0.1) << "the point is shared";
    EXPECT_TRUE(WaitFor([&] { return std::fabs(DeviceFrequency(263) - 1200) < 0.2; }, 2000));
    // Slot 1 of the second output belongs to the same point.
    EXPECT_NEAR(form->OutputSet(1).Parametric(0).Frequency(), 1200, 0.1);
    EXPECT_NE(before, 1200);
}

TEST_F(CrossoverEditor, ScreenshotsWhenAsked) {
    const QByteArray folder = qgetenv("VEK_SCREENSHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "VEK_SCREENSHOT_DIR not set";
    TCrossoverEditorBase* general = OpenEditor(200);
    ASSERT_NE(general, nullptr);
    general->SelectEdge(0, true);
    WaitFor([] { return false; }, 200);
    EXPECT_TRUE(general->grab().save(QString(folder) + "/crossover-editor.png"));
    general->OkButton()->click();
    const int row = RowOfObject(250);
    ASSERT_GE(row, 0);
    objscope::TVEKroot* lw = main_->Objects().at(static_cast<size_t>(row));
    main_->List()->setCurrentRow(row);
    main_->findChild<QPushButton*>("btnEdit")->click();
    auto* form = dynamic_cast<TCrossoverEditorBase*>(lw->Editor());
    ASSERT_NE(form, nullptr);
    WaitFor([] { return false; }, 300);
    form->SelectEdge(0, true);
    EXPECT_TRUE(form->grab().save(QString(folder) + "/linkwitz-crossover-editor.png"));
}

}  // namespace
}  // namespace objscope_gui
