// The delay editors against hubserver and tarnsim: the grid shows each tap's
// delay as time and distance, edits of either reach the device, another
// client's change shows within a second, the auto-calculating line's
// controls and columns, Mute All, and the sample delay's limits.
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>

#include "audio/delay/delay_objects.h"
#include "audio/delay/multi_delay_form.h"
#include "audio/delay/sample_delay_form.h"
#include "inline_editor_session.h"
#include "windows/tarn_edit_box.h"

namespace objscope_gui {
namespace {

using namespace objscope::audio;
namespace c = delay_column;

constexpr uint16_t kLine = 600;
constexpr uint16_t kFirstTap = 602;
constexpr uint16_t kSecondTap = 603;
constexpr uint16_t kAutoLine = 620;
constexpr uint16_t kAutoTap = 622;
constexpr uint16_t kSampleDelay = 650;

class DelayEditors : public InlineEditorSession {
  protected:
    static QString Cell(TMultiDelayForm* form, int row, int column) {
        return form->Model()->index(row, column).data().toString();
    }
    // The user edits a cell of the grid: starts typing on it, Enter.
    static void TypeIntoCell(TMultiDelayForm* form, int row, int column, const QString& text) {
        QTableView* grid = form->Grid();
        const QModelIndex index = form->Model()->index(row, column);
        grid->setFocus();
        grid->setCurrentIndex(index);
        grid->edit(index);
        // The cell's editor, a child of the grid's viewport.
        auto* editor = grid->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        ASSERT_EQ(editor->text(), index.data(Qt::EditRole).toString());
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();  // the grid commits the cell queued
        // The closed editor goes now, so the next edit finds only its own.
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(DelayEditors, PlainLineShowsTimeAndDistance) {
    auto* form = OpenEditor<TMultiDelayForm>(kLine);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Delay Line");
    EXPECT_TRUE(form->Connected());
    ASSERT_EQ(form->Model()->rowCount(), 2);
    EXPECT_EQ(form->Model()->headerData(c::kTime, Qt::Horizontal, Qt::DisplayRole).toString(),
              " Delay Time   ");
    EXPECT_EQ(Cell(form, 0, c::kNumber), "1");
    EXPECT_EQ(Cell(form, 1, c::kName), "Tap 2");
    EXPECT_EQ(Cell(form, 1, c::kTime), "10.000 msec");
    EXPECT_EQ(Cell(form, 1, c::kDistance), "11.28 ft");
    form->findChild<QRadioButton*>("radMetres")->click();
    EXPECT_EQ(Cell(form, 1, c::kDistance), "3.439 m");
    EXPECT_EQ(Cell(form, 0, c::kDistance), "1.719 m");
    EXPECT_EQ(form->findChild<QLabel*>("lblMaxDelayValue")->text(), "100.000 msec");
    EXPECT_TRUE(form->findChild<QLabel*>("lblTemperature")->text().contains("21 °C"));
    // A plain line has no calculation controls or columns.
    EXPECT_EQ(form->findChild<QWidget*>("cbxAutoCalcMaster"), nullptr);
    EXPECT_EQ(form->findChild<QWidget*>("edtSourceX"), nullptr);
    for (int column = c::kMute; column <= c::kOffset; ++column)
        EXPECT_TRUE(form->Grid()->isColumnHidden(column)) << column;
    EXPECT_FALSE(form->Grid()->isColumnHidden(c::kDistance));
}

TEST_F(DelayEditors, TimeAndDistanceEditsReachTheDevice) {
    auto* form = OpenEditor<TMultiDelayForm>(kLine);
    ASSERT_NE(form, nullptr);
    TypeIntoCell(form, 1, c::kTime, "12.3456");
    EXPECT_EQ(Cell(form, 1, c::kTime), "12.345 msec");
    EXPECT_TRUE(DeviceReaches(kSecondTap, tap_property::kDelay, 12.345));
    form->findChild<QRadioButton*>("radMetres")->click();
    TypeIntoCell(form, 0, c::kDistance, "3.43979");  // read as 3.439 m
    EXPECT_EQ(Cell(form, 0, c::kDistance), "3.439 m");
    // 3.439 m is 9.99770 ms, which the device keeps as 9.998 ms.
    EXPECT_TRUE(DeviceReaches(kFirstTap, tap_property::kDelay, 9.998));
    EXPECT_TRUE(WaitFor([&] { return Cell(form, 0, c::kTime) == "9.998 msec"; }, 1000));

    form->findChild<QPushButton*>("btnMute")->click();
    EXPECT_TRUE(DeviceReaches(kFirstTap, 2048, 1));
    EXPECT_TRUE(DeviceReaches(kSecondTap, 2048, 1));
    form->findChild<QPushButton*>("btnBypass")->click();
    EXPECT_TRUE(DeviceReaches(kLine, delay_line_property::kBypass, 1));
}

TEST_F(DelayEditors, AnotherClientsChangeShowsWithinASecond) {
    auto* form = OpenEditor<TMultiDelayForm>(kLine);
    ASSERT_NE(form, nullptr);
    SetOnDevice<objscope::TU32VEKuSec3>(kFirstTap, tap_property::kDelay, 7);
    EXPECT_TRUE(WaitFor([&] { return Cell(form, 0, c::kTime) == "7.000 msec"; }, 1000));
    EXPECT_EQ(Cell(form, 0, c::kDistance), "7.89 ft");
    SetOnDevice<objscope::TU32Boolean>(kFirstTap, 2048, 1);
    SetOnDevice<objscope::TU32Boolean>(kSecondTap, 2048, 1);
    auto* muteAll = form->findChild<QPushButton*>("btnMute");
    EXPECT_TRUE(WaitFor([&] { return muteAll->isChecked(); }, 1000));
}

// The source fields edit the declared source position (3078..3080), not
// the stage reference delays the device reports at 3076 and 3077.
TEST_F(DelayEditors, AutoCalcLineEditsSourceAndTargets) {
    auto* form = OpenEditor<TMultiDelayForm>(kAutoLine);
    ASSERT_NE(form, nullptr);
    auto* master = form->findChild<QCheckBox*>("cbxAutoCalcMaster");
    ASSERT_NE(master, nullptr);
    EXPECT_TRUE(master->isChecked());
    for (int column = c::kCalc; column <= c::kOffset; ++column)
        EXPECT_FALSE(form->Grid()->isColumnHidden(column)) << column;
    EXPECT_EQ(Cell(form, 0, c::kTargetX), "1000");
    EXPECT_EQ(Cell(form, 0, c::kTime), "3.000 msec");
    EXPECT_EQ(form->Model()->index(0, c::kCalc).data(Qt::CheckStateRole).toInt(), Qt::Checked);

    const struct {
        const char* field;
        uint16_t id;
        int value;
    } sources[] = {{"edtSourceX", 3078, 150}, {"edtSourceY", 3079, -20}, {"edtSourceZ", 3080, 7}};
    for (const auto& s : sources) {
        TypeInto(form->findChild<QLineEdit*>(s.field), QString::number(s.value));
        EXPECT_TRUE(DeviceReaches(kAutoLine, s.id, s.value)) << s.field;
    }
    EXPECT_EQ(DeviceValue(kAutoLine, 3076), 0);
    EXPECT_EQ(DeviceValue(kAutoLine, 3077), 0);

    TypeIntoCell(form, 0, c::kTargetY, "250");
    EXPECT_TRUE(DeviceReaches(kAutoTap, tap_property::kTargetY, 250));
    form->Model()->setData(form->Model()->index(0, c::kCalc), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_TRUE(DeviceReaches(kAutoTap, tap_property::kAutoCalcFlag, 0));
    TypeIntoCell(form, 0, c::kTime, "4.5");
    EXPECT_TRUE(DeviceReaches(kAutoTap, tap_property::kBaseDelay, 4.5));
    master->click();
    EXPECT_TRUE(DeviceReaches(kAutoLine, delay_line_property::kAutoCalc, 0));
}

TEST_F(DelayEditors, SampleDelayStaysWithinOneToTwentySamples) {
    auto* form = OpenEditor<TSampleDelayForm>(kSampleDelay);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "SDelay - Sample Delay");
    auto* text = form->findChild<QLineEdit*>("TarnSlider1Text");
    const struct {
        const char* typed;
        double held;
    } cases[] = {{"5", 5}, {"0", 1}, {"25", 20}, {"7.6", 8}};
    for (const auto& t : cases) {
        TypeInto(text, t.typed);
        EXPECT_DOUBLE_EQ(form->SamplesSlider()->Position(), t.held) << t.typed;
        EXPECT_TRUE(DeviceReaches(kSampleDelay, kSamplesOfDelayProperty, t.held)) << t.typed;
    }
}

TEST_F(DelayEditors, Screenshots) {
    if (qgetenv("VEK_SCREENSHOT_DIR").isEmpty())
        GTEST_SKIP() << "VEK_SCREENSHOT_DIR not set";
    SaveScreenshot(OpenEditor<TMultiDelayForm>(kLine), "delay-line-editor.png");
    SaveScreenshot(OpenEditor<TMultiDelayForm>(kAutoLine), "delay-line-auto-calc-editor.png");
    SaveScreenshot(OpenEditor<TSampleDelayForm>(kSampleDelay), "sample-delay-editor.png");
}

}  // namespace
}  // namespace objscope_gui
