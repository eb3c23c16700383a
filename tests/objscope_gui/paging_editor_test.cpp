// The page zone and zone manager editors: their layout for a range of input
// counts (no device), and against hubserver and tarnsim: a strip's gain and
// priorities reach the device, also on a page built after the window
// opened; the zone manager's tag fields add and remove a zone; a change
// made by another client shows within a second.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <cmath>

#include "audio/paging/page_zone_form.h"
#include "audio/paging/paging_objects.h"
#include "audio/paging/zone_manager_form.h"
#include "gui_session.h"

namespace objscope_gui {
namespace {

using objscope::audio::TPageZoneForm;
using objscope::audio::TU32PageZone;
using objscope::audio::TU32ZoneManager;
using objscope::audio::TZoneManagerForm;

QStringList TabCaptions(QTabWidget* tabs) {
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i)
        captions << tabs->tabText(i);
    return captions;
}

// The user types into a field and presses Enter.
void TypeInto(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

}  // namespace

// Windows made for objects of our own, offline.
TEST(PageZoneLayout, PagesOfFourStripsSizedByTheInputCount) {
    const struct {
        int inputs;
        int width;
        QStringList tabs;
    } cases[] = {
        {0, 103, {}},           {1, 108, {"1"}},          {3, 324, {"1-3"}},
        {5, 412, {"1-4", "5"}}, {8, 412, {"1-4", "5-8"}}, {72, 412, {}},
    };
    for (const auto& c : cases) {
        TU32PageZone zone;
        zone.SetNumInputs(static_cast<uint16_t>(c.inputs));
        TPageZoneForm form(zone, nullptr);
        QTabWidget* pages = form.InputPages();
        EXPECT_EQ(pages->width(), c.width) << c.inputs;
        EXPECT_EQ(pages->isEnabled(), c.inputs > 0) << c.inputs;
        if (!c.tabs.isEmpty()) {
            EXPECT_EQ(TabCaptions(pages), c.tabs) << c.inputs;
        }
        EXPECT_EQ(pages->count(), (c.inputs + 3) / 4);
        // Only the first page's strips exist before another page is shown.
        for (int k = 1; k < pages->count(); ++k)
            EXPECT_FALSE(form.Pages().Built(k));
        if (c.inputs > 4) {
            EXPECT_EQ(form.Strip(5).level, nullptr);
        }
        if (c.inputs > 0) {
            EXPECT_NE(form.Strip(1).level, nullptr);
        }
        EXPECT_GE(form.Body()->width(), 3 * form.HelpButton()->sizeHint().width() + 30);
    }
    TU32PageZone zone;
    zone.SetNumInputs(72);
    TPageZoneForm form(zone, nullptr);
    EXPECT_EQ(TabCaptions(form.InputPages()).last(), "69-72");
    EXPECT_LT(form.findChildren<QWidget*>().size(), 120) << "not 72 strips up front";
    form.InputPages()->setCurrentIndex(17);
    EXPECT_TRUE(form.Pages().Built(17));
    ASSERT_NE(form.Strip(72).level, nullptr);
    EXPECT_EQ(form.Strip(72).level->toolTip(), "Level for Input 72 (dB)");
    EXPECT_EQ(form.Strip(72).level->x(), 3 * 98 + 5);
}

TEST(PageZoneLayout, StripControlsAndDesignedControlsBindTheirObjects) {
    TU32PageZone zone;
    zone.SetNumInputs(2);
    TPageZoneForm form(zone, nullptr);
    const auto& strip = form.Strip(2);
    EXPECT_EQ(strip.polarity->Tarn().Dest_Obj(), 4);
    EXPECT_EQ(strip.polarity->Tarn().PropID(), 4097);
    EXPECT_EQ(strip.mute->Tarn().PropID(), 2048);
    EXPECT_EQ(strip.ducking->Tarn().PropID(), 5122);
    EXPECT_EQ(strip.duckPriority->Tarn().PropID(), 5123);
    EXPECT_EQ(strip.mutePriority->Tarn().PropID(), 5124);
    EXPECT_EQ(strip.level->Tarn().PropID(), 4096);
    EXPECT_EQ(strip.name->Tarn().PropID(), 2);
    EXPECT_FALSE(strip.name->Tarn().Connect);
    EXPECT_EQ(strip.polarity->toolTip(), "Reverse Signal Polarity (before Summming)");
    EXPECT_EQ(strip.mute->toolTip(), "Mute this Input from the Sum/Mix");
    EXPECT_EQ(strip.duckPriority->toolTip(), "Ducking Value");
    EXPECT_EQ(strip.level->Data_Min(), -60);
    EXPECT_EQ(strip.level->Data_Max(), 0);
    for (const char* name : {"TarnButton1", "sldPageInput", "TarnLabel1"})
        EXPECT_NE(form.findChild<QWidget*>(name), nullptr) << name;
    auto* output = form.findChild<objscope::TTarnSlider*>("sldOutput");
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(output->Data_Max(), 10);
    EXPECT_EQ(output->Tarn().Dest_Obj(), 2);
    auto* number = form.findChild<objscope::TTarnEditBox*>("TarnEditBox1");
    ASSERT_NE(number, nullptr);
    EXPECT_TRUE(number->Tarn().DoRegistration);
    auto* caption = form.findChild<QLabel*>("lblZoneNumber");
    EXPECT_EQ(caption->buddy(), number);
}

TEST(ZoneManagerLayout, NewManagerShowsEightRowsOfTagFields) {
    TU32ZoneManager manager;
    TZoneManagerForm form(manager, nullptr);
    EXPECT_EQ(form.windowTitle(), "Zone Manager");
    ASSERT_EQ(form.RowCount(), 8);
    for (int i = 1; i <= 8; ++i) {
        auto* label = form.findChild<QLabel*>("lblBusInput" + QString::number(i));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), "Bus Input " + QString::number(i));
        EXPECT_EQ(label->buddy(), form.BusEdit(i));
        EXPECT_EQ(form.BusEdit(i)->y(), 25 * (i - 1) + 5);
        EXPECT_EQ(form.BusEdit(i)->Tarn().Dest_Obj(), i);
        EXPECT_EQ(form.BusEdit(i)->Tarn().PropID(), 11);
    }
    EXPECT_EQ(form.OkButton()->geometry(), QRect(35, 240, 75, 25));
    EXPECT_EQ(form.HelpButton()->geometry(), QRect(195, 240, 75, 25));
}

class PagingEditors : public GuiSession {
  protected:
    void SetUp() override { StartSession(); }

    template <class Form>
    Form* OpenEditor(uint16_t handle) {
        main_->UploadObjects();
        EXPECT_TRUE(WaitFor([&] { return !main_->Busy(); }));
        const int row = RowOfObject(handle);
        EXPECT_GE(row, 0) << handle;
        if (row < 0)
            return nullptr;
        object_ = main_->Objects().at(static_cast<size_t>(row));
        main_->List()->setCurrentRow(row);
        main_->findChild<QPushButton*>("btnEdit")->click();
        auto* form = dynamic_cast<Form*>(object_->Editor());
        if (form)
            WaitFor([] { return false; }, 300);
        return form;
    }


    objscope::TVEKroot* object_ = nullptr;
};

TEST_F(PagingEditors, StripGainAndPrioritiesReachTheDeviceOnEveryPage) {
    auto* form = OpenEditor<TPageZoneForm>(800);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Page Zone - Page Zone 1");
    EXPECT_TRUE(form->Connected());
    EXPECT_EQ(TabCaptions(form->InputPages()), (QStringList{"1-4", "5"}));

    TypeInto(form->Strip(1).level->TextField(), "-12");
    EXPECT_TRUE(DeviceReaches<objscope::TU32VEKDB1>(803, 4096, -12));
    TypeInto(form->Strip(2).duckPriority, "100");
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(804, 5123, 100));
    TypeInto(form->Strip(1).ducking, "-30");
    EXPECT_TRUE(DeviceReaches<objscope::TU32VEKDB1>(803, 5122, -30));

    // Input 5 sits on the second page, built and connected when shown.
    EXPECT_FALSE(form->Pages().Built(1));
    form->InputPages()->setCurrentIndex(1);
    ASSERT_NE(form->Strip(5).level, nullptr);
    EXPECT_TRUE(WaitFor([&] { return form->Strip(5).duckPriority->text() == "255"; }, 2000))
        << "the late strip read the device's value";
    WaitFor([] { return false; }, 300);  // the strip's other reads
    TypeInto(form->Strip(5).mutePriority, "7");
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(807, 5124, 7));
    QTest::mouseClick(form->Strip(5).mute, Qt::LeftButton);
    EXPECT_TRUE(DeviceReaches<objscope::TU32Boolean>(807, 2048, 1));

    // Cancel returns the device to the values the zone held.
    form->CancelButton()->click();
    EXPECT_TRUE(DeviceReaches<objscope::TU32VEKDB1>(803, 4096, 0));
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(807, 5124, 0));
    EXPECT_TRUE(DeviceReaches<objscope::TU32Boolean>(807, 2048, 0));
}

TEST_F(PagingEditors, ZoneNumberChangedByAnotherClientShowsWithinASecond) {
    auto* form = OpenEditor<TPageZoneForm>(800);
    ASSERT_NE(form, nullptr);
    auto* number = form->findChild<QLineEdit*>("TarnEditBox1");
    ASSERT_NE(number, nullptr);
    EXPECT_TRUE(WaitFor([&] { return number->text() == "1"; }, 1000));
    SetOnDevice<objscope::TU32UWord>(800, 4096, 7);
    EXPECT_TRUE(WaitFor([&] { return number->text() == "7"; }, 1000));
}

TEST_F(PagingEditors, RelayZoneOpensThePageZoneEditor) {
    auto* form = OpenEditor<TPageZoneForm>(830);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Page Zone - Relay Zone");
    EXPECT_EQ(object_->ClassID(), 78);
    EXPECT_EQ(TabCaptions(form->InputPages()), QStringList{"1"});
    QTest::mouseClick(form->findChild<QPushButton*>("btnOutput_Polarity"), Qt::LeftButton);
    EXPECT_TRUE(DeviceReaches<objscope::TU32Boolean>(832, 4097, 1));
}

TEST_F(PagingEditors, ZoneManagerAddsAndRemovesAZone) {
    auto* form = OpenEditor<TZoneManagerForm>(860);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Zone Manager");
    ASSERT_EQ(form->RowCount(), 8);
    EXPECT_TRUE(form->Connected());
    TypeInto(form->BusEdit(2), "5");
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(862, 11, 5));
    TypeInto(form->BusEdit(2), "0");
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(862, 11, 0));
    TypeInto(form->BusEdit(8), "3");
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(868, 11, 3));
    form->OkButton()->click();
    EXPECT_EQ(object_->Editor(), nullptr);
    auto* manager = dynamic_cast<TU32ZoneManager*>(object_);
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->Input(8)->TagField(), 3) << "OK keeps the new tag in the object";
}

TEST_F(PagingEditors, ReadOnlyZoneDisablesItsStrips) {
    main_->UploadObjects();
    ASSERT_TRUE(WaitFor([&] { return !main_->Busy(); }));
    const int row = RowOfObject(800);
    ASSERT_GE(row, 0);
    objscope::TVEKroot* zone = main_->Objects().at(static_cast<size_t>(row));
    zone->ShowEditor(false, true, true);
    auto* form = dynamic_cast<TPageZoneForm*>(zone->Editor());
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->Strip(1).level->isEnabled());
    EXPECT_FALSE(form->Strip(1).duckPriority->isEnabled());
    form->InputPages()->setCurrentIndex(1);
    EXPECT_FALSE(form->Strip(5).mute->isEnabled());
    EXPECT_FALSE(form->OkButton()->isEnabled());
    form->close();
    WaitFor([] { return false; }, 300);
}

// The zone number and state register for changes; closing the window
// cancels both registrations at the device.
TEST_F(PagingEditors, ClosingCancelsTheRegistrations) {
    auto* form = OpenEditor<TPageZoneForm>(800);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(TraceCount("TarnUnregAll obj"), 0);
    form->close();
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(TraceCount("TarnUnregAll obj"), 2) << "one request per registration";
}

// A page built just before the window closes still has its reads on the
// way; the session ends (and frees the objects) before the window is
// deleted, and the late replies touch nothing.
TEST_F(PagingEditors, RepliesAfterClosingTouchNothing) {
    auto* form = OpenEditor<TPageZoneForm>(800);
    ASSERT_NE(form, nullptr);
    form->InputPages()->setCurrentIndex(1);
    form->close();
}

// With VEK_SCREENSHOT_DIR set, saves the page zone editor (the second page
// of strips shown) and the zone manager editor for docs/screenshots.
TEST_F(PagingEditors, ScreenshotsWhenAsked) {
    const QByteArray folder = qgetenv("VEK_SCREENSHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "VEK_SCREENSHOT_DIR not set";
    auto* zone = OpenEditor<TPageZoneForm>(800);
    ASSERT_NE(zone, nullptr);
    TypeInto(zone->Strip(2).level->TextField(), "-18");
    TypeInto(zone->Strip(3).duckPriority, "40");
    WaitFor([] { return false; }, 300);
    EXPECT_TRUE(zone->grab().save(QString(folder) + "/page-zone-editor.png"));
    zone->close();
    auto* manager = OpenEditor<TZoneManagerForm>(860);
    ASSERT_NE(manager, nullptr);
    TypeInto(manager->BusEdit(1), "1");
    TypeInto(manager->BusEdit(2), "2");
    WaitFor([] { return false; }, 300);
    EXPECT_TRUE(manager->grab().save(QString(folder) + "/zone-manager-editor.png"));
}

}  // namespace objscope_gui
