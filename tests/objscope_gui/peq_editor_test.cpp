// The parametric EQ editor against hubserver and tarnsim: "Edit" on the
// uploaded set opens it connected; keyboard and mouse gain changes reach the
// device at once; a change made by another client shows within a second.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <type_traits>

#include "audio/shared/device_quantisation.h"
#include "audio/filters/filter_band.h"
#include "audio/eq/peq_form.h"
#include "audio/shared/peq_graph_geometry.h"
#include "audio/eq/peq_objects.h"
#include "comm/editor_comm_monitor.h"
#include "model/object_factory.h"
#include "values/property_typed_values.h"
#include "gui_session.h"
#include "windows/message_boxes.h"

namespace objscope_gui {
namespace {

using objscope::audio::TPeqForm;

class PeqEditor : public GuiSession {
  protected:
    void SetUp() override {
        StartSession(DeviceOptions());
    }
    // tarnsim's options: its default device unless a test loads another.
    virtual QStringList DeviceOptions() { return {}; }

    // Uploads the device and opens the editor of "Main PEQ" (object 100).
    TPeqForm* OpenEditor() {
        main_->UploadObjects();
        EXPECT_TRUE(WaitFor([&] { return !main_->Busy(); }));
        EXPECT_GE(RowOfObject(100), 0);
        set_ = main_->Objects().at(static_cast<size_t>(RowOfObject(100)));
        EXPECT_EQ(set_->ClassName(), "TU32Peq");
        main_->List()->setCurrentRow(RowOfObject(100));
        main_->findChild<QPushButton*>("btnEdit")->click();
        auto* form = dynamic_cast<TPeqForm*>(set_->Editor());
        if (form)
            WaitFor([] { return false; }, 300);  // the first reads return
        return form;
    }

    // The device's gain of band object `handle` read by a separate request.
    double DeviceGain(uint16_t handle) {
        objscope::TU32VEKDB1 gain;
        gain.SetPropertyID(3072);
        objscope::TTarn_Property_Link link(0, 1, handle, &gain);
        EXPECT_EQ(monitor_->GetPropertyNow(link), 0);
        return gain.GetData();
    }

    // A band property of the device read by a separate request (the
    // centre frequency in Hz).
    template <class Property>
    double DeviceValue(uint16_t handle, uint16_t id) {
        Property value;
        value.SetPropertyID(id);
        objscope::TTarn_Property_Link link(0, 1, handle, &value);
        if (monitor_->GetPropertyNow(link) != 0)
            return -1e9;
        if constexpr (std::is_same_v<Property, objscope::TU32VEKDecade2>)
            return value.GetFrequency();
        else
            return value.GetData();
    }
    double DeviceFrequency(uint16_t handle) {
        return DeviceValue<objscope::TU32VEKDecade2>(handle, 3075);
    }
    double DeviceQ(uint16_t handle) { return DeviceValue<objscope::TU32VEKRatio2>(handle, 3077); }
    double DeviceByte(uint16_t handle, uint16_t id) {
        return DeviceValue<objscope::TU32UByte>(handle, id);
    }
    // Waits until the device holds `expected` (within `tolerance`).
    bool DeviceReaches(const std::function<double()>& read, double expected,
                       double tolerance = 1e-6) {
        return WaitFor([&] { return std::fabs(read() - expected) <= tolerance; }, 3000);
    }

    // A value set by another client, as a property of `Property`'s type.
    template <class Property>
    void SetOnDevice(uint16_t handle, uint16_t id, double value) {
        Property property;
        property.SetPropertyID(id);
        property.SetData(value);
        objscope::TTarn_Property_Link link(0, 1, handle, &property);
        ASSERT_GE(monitor_->SetPropertyWait(link), 0);
    }

    // The user types into a field and presses Enter.
    static void TypeInto(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    // The user picks an item of a list.
    static void Choose(QComboBox* box, const QString& item) {
        const int index = box->findText(item);
        ASSERT_GE(index, 0) << item.toStdString();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    // Selects band `band` with the keyboard (the display list from the left).
    static void SelectWithKeys(TPeqForm* form, int band) {
        auto* keys = form->findChild<QLineEdit*>("HiddenEdit");
        keys->setFocus();
        while (form->Selected() >= 0)
            QTest::keyClick(keys, Qt::Key_Left);
        for (int step = 0; step < form->BandCount() && form->Selected() != band; ++step)
            QTest::keyClick(keys, Qt::Key_Right);
    }
    // A drag on the graph with the left button: press, moves, release.
    static void DragOnGraph(TPeqForm* form, QPoint from, const std::vector<QPoint>& moves) {
        auto* graph = form->Graph();
        QTest::mousePress(graph, Qt::LeftButton, {}, from);
        QPoint last = from;
        for (QPoint to : moves) {
            QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(graph->mapToGlobal(to)),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(graph, &move);
            last = to;
        }
        QTest::mouseRelease(graph, Qt::LeftButton, {}, last);
    }
    // What the device holds for a frequency or a Q asked for.
    static double HeldFrequency(double hertz) {
        return objscope::audio::DeviceValues({0, hertz, 1}).frequency;
    }
    static double HeldQ(double q) { return objscope::audio::DeviceValues({0, 1000, q}).q; }
    static int Column(const objscope::audio::TFilterBand& band) {
        return objscope::audio::peq_graph::FrequencyColumn(band.Frequency());
    }

    objscope::TVEKroot* set_ = nullptr;
};

TEST_F(PeqEditor, OpensConnectedWithTheDevicesBands) {
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), "Parametric EQ - Main PEQ");
    EXPECT_TRUE(form->Connected());
    EXPECT_TRUE(form->findChild<QLabel*>("OnlineStatusLight")->property("lit").toBool());
    ASSERT_EQ(form->BandCount(), 3);
    EXPECT_DOUBLE_EQ(form->HeldBand(0).GainDb(), -3.0);
    EXPECT_NEAR(form->HeldBand(1).Frequency(), 1000.0, 0.1);
    EXPECT_EQ(form->HeldBand(2).FilterType(), 101);
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(PeqEditor, KeyboardGainStepReachesTheDeviceAtOnce) {
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    auto* keys = form->findChild<QLineEdit*>("HiddenEdit");
    QTest::keyClick(keys, Qt::Key_Right);  // the lowest band: "Filter 1" at 125 Hz
    ASSERT_EQ(form->Selected(), 0);
    QTest::keyClick(keys, Qt::Key_Up);
    QTest::keyClick(keys, Qt::Key_Up);
    EXPECT_DOUBLE_EQ(form->HeldBand(0).GainDb(), -2.0);
    EXPECT_TRUE(WaitFor([&] { return DeviceGain(103) == -2.0; }, 2000));
    // The device's change notifications of both steps come back in order; a
    // busy machine may still be delivering the first when the device holds
    // the second, so the field is allowed to settle.
    auto* gainEdit = form->findChild<QLineEdit*>("GainEdit");
    EXPECT_TRUE(WaitFor([&] { return gainEdit->text() == "-2.0 dB"; }, 2000))
        << gainEdit->text().toStdString();
}

TEST_F(PeqEditor, MouseGainDragReachesTheDevice) {
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    auto* graph = form->Graph();
    const int x = objscope::audio::peq_graph::FrequencyColumn(form->HeldBand(1).Frequency());
    // Pressed on the band's marker (2.5 dB above the 0 dB row).
    const int row = objscope::audio::peq_graph::GainRow(form->HeldBand(1).GainDb(), 124, 3.7);
    QTest::mousePress(graph, Qt::LeftButton, {}, QPoint(x, row));
    ASSERT_EQ(form->Selected(), 1);
    // 6 dB at 3.7 pixels per dB above the 0 dB row (124).
    QMouseEvent move(QEvent::MouseMove, QPointF(x, 124 - 6 * 3.7), QPointF(), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(graph, &move);
    QTest::mouseRelease(graph, Qt::LeftButton, {}, QPoint(x, 102));
    EXPECT_DOUBLE_EQ(form->HeldBand(1).GainDb(), 6.0);
    EXPECT_TRUE(WaitFor([&] { return DeviceGain(104) == 6.0; }, 2000));
}

TEST_F(PeqEditor, BypassButtonSendsTheSetsFlag) {
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    auto* bypass = form->findChild<QPushButton*>("ByPassButton");
    ASSERT_NE(bypass, nullptr);
    EXPECT_FALSE(bypass->isChecked());
    bypass->click();
    objscope::TU32Boolean flag;
    flag.SetPropertyID(3072);
    objscope::TTarn_Property_Link link(0, 1, 100, &flag);
    EXPECT_TRUE(WaitFor([&] { return monitor_->GetPropertyNow(link) == 0 && flag.Value(); }, 2000));
}

TEST_F(PeqEditor, OutputStageButtonsSendTheirFlags) {
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    struct Case {
        const char* button;
        uint16_t property;  // on the output stage, object 102
        const char* hint;
    };
    const Case cases[] = {{"TarnButton1", 4097, "Reverse Polarity of Output"},
                          {"TarnButton2", 2048, "Mute PEQ Output"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        auto* button = form->findChild<QPushButton*>(c.button);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->toolTip(), c.hint);
        button->click();
        objscope::TU32Boolean flag;
        flag.SetPropertyID(c.property);
        objscope::TTarn_Property_Link link(0, 1, 102, &flag);
        EXPECT_TRUE(
            WaitFor([&] { return monitor_->GetPropertyNow(link) == 0 && flag.Value(); }, 2000));
    }
}

TEST_F(PeqEditor, ChangeByAnotherClientShowsWithinASecond) {
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    objscope::TU32VEKDB1 gain;
    gain.SetPropertyID(3072);
    gain.SetData(4.5);
    objscope::TTarn_Property_Link link(0, 1, 105, &gain);
    ASSERT_GE(monitor_->SetPropertyWait(link), 0);
    EXPECT_TRUE(WaitFor([&] { return form->HeldBand(2).GainDb() == 4.5; }, 1000));
}

TEST_F(PeqEditor, ClosingWithRepliesOutstandingCallsNothingBack) {
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    QTest::keyClick(form->findChild<QLineEdit*>("HiddenEdit"), Qt::Key_Right);
    form->close();  // registrations cancelled, the window goes
    WaitFor([] { return false; }, 500);
    EXPECT_EQ(set_->Editor(), nullptr);
    // The set opens a fresh editor afterwards.
    main_->findChild<QPushButton*>("btnEdit")->click();
    EXPECT_NE(set_->Editor(), nullptr);
}

}  // namespace
}  // namespace objscope_gui

namespace objscope_gui {
namespace {

// With VEK_SCREENSHOT_DIR set, saves the editor as it shows the simulated
// device's set (band 2 selected, phase shown, the pointer resting on band
// 1) for docs/screenshots.
TEST_F(PeqEditor, ScreenshotWhenAsked) {
    const QByteArray folder = qgetenv("VEK_SCREENSHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "VEK_SCREENSHOT_DIR not set";
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    auto* keys = form->findChild<QLineEdit*>("HiddenEdit");
    QTest::keyClick(keys, Qt::Key_Right);
    QTest::keyClick(keys, Qt::Key_Right);
    form->findChild<QCheckBox*>("PhaseCheckBox")->setChecked(true);
    keys->setFocus();
    // The pointer rests on band 1's marker: its hover box shows.
    const QPoint at(Column(form->HeldBand(0)) + 1,
                    objscope::audio::peq_graph::GainRow(form->HeldBand(0).GainDb(), 124, 3.7) + 2);
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(form->Graph()->mapToGlobal(at)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form->Graph(), &move);
    WaitFor([] { return false; }, 200);
    EXPECT_TRUE(form->grab().save(QString(folder) + "/peq-editor.png"));
}

}  // namespace
}  // namespace objscope_gui

namespace objscope_gui {
namespace {

using objscope::audio::BandField;
using objscope::audio::QFromBandwidthOctaves;

// Typed values of the band fields, in the order a user types them into band
// 1 ("Filter 1", object 103): each row's value is limited, shown in its
// format and held by the device; an unparsable text keeps the value.
TEST_F(PeqEditor, BandFieldsLimitShowAndSendTypedValues) {
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    SelectWithKeys(form, 0);
    ASSERT_EQ(form->Selected(), 0);
    enum Field { kFreq, kGain, kBandwidth };
    struct Case {
        Field field;
        const char* typed;
        double held;  // frequency, gain or Q held afterwards
        const char* shown;
    };
    const Case cases[] = {
        {kFreq, "1.5k", 1500, "1.50 KHz"},
        {kFreq, "30000", 20000, "20.00 KHz"},
        {kFreq, "treble", 20000, "20.00 KHz"},  // unparsable: kept
        {kFreq, "10 Hz", 20, "20.0 Hz"},
        {kFreq, "995Hz", 995, "995 Hz"},
        {kGain, "20", 12, "12.0 dB"},
        {kGain, "-7.5 dB", -7.5, "-7.5 dB"},
        {kGain, "loud", -7.5, "-7.5 dB"},
        {kGain, "-30", -12, "-12.0 dB"},
        {kBandwidth, "1", QFromBandwidthOctaves(1), "1.000 Octaves"},
        {kBandwidth, "9 octaves", QFromBandwidthOctaves(5), ""},  // 5 octaves
        {kBandwidth, "wide", QFromBandwidthOctaves(5), ""},
    };
    auto* freq = form->findChild<QLineEdit*>("FreqEdit");
    auto* gain = form->findChild<QLineEdit*>("GainEdit");
    auto* bandwidth = form->findChild<QComboBox*>("edtBandwidth");
    const objscope::audio::TFilterBand& band = form->HeldBand(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        // Each value is held at once; the device's reports of the earlier
        // ones never take it back.
        switch (c.field) {
            case kFreq:
                TypeInto(freq, c.typed);
                EXPECT_TRUE(
                    DeviceReaches([&] { return DeviceFrequency(103); }, HeldFrequency(c.held)));
                EXPECT_DOUBLE_EQ(band.Frequency(), HeldFrequency(c.held));
                EXPECT_EQ(freq->text(), c.shown);
                break;
            case kGain:
                TypeInto(gain, c.typed);
                EXPECT_TRUE(DeviceReaches([&] { return DeviceGain(103); }, c.held));
                EXPECT_DOUBLE_EQ(band.GainDb(), c.held);
                EXPECT_EQ(gain->text(), c.shown);
                break;
            case kBandwidth:
                TypeInto(bandwidth->lineEdit(), c.typed);
                EXPECT_TRUE(DeviceReaches([&] { return DeviceQ(103); }, HeldQ(c.held)));
                EXPECT_DOUBLE_EQ(band.Q(), HeldQ(c.held));
                // The bandwidth the device holds, three decimals.
                EXPECT_EQ(bandwidth->currentText(),
                          objscope::audio::BandwidthText(band.BandwidthOctaves()));
                if (*c.shown) {
                    EXPECT_EQ(bandwidth->currentText(), c.shown);
                }
                break;
        }
    }
    // Leaving a field that was not typed into changes nothing, even where
    // its text rounds the value.
    TypeInto(freq, "1023.4");
    EXPECT_EQ(freq->text(), "1.02 KHz");
    gain->setFocus();
    freq->setFocus();
    gain->setFocus();
    EXPECT_DOUBLE_EQ(band.Frequency(), HeldFrequency(1023.4));
}

// Shift+arrows step the frequency on its grid and the device follows.
TEST_F(PeqEditor, ShiftArrowsStepTheFrequencyOnTheDevice) {
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    SelectWithKeys(form, 0);
    TypeInto(form->findChild<QLineEdit*>("FreqEdit"), "995");
    auto* keys = form->findChild<QLineEdit*>("HiddenEdit");
    keys->setFocus();
    // Each step starts from the last one, whatever the device still has to
    // report about the earlier values.
    for (double expected : {1000.0, 1100.0, 1200.0}) {
        QTest::keyClick(keys, Qt::Key_Right, Qt::ShiftModifier);
        EXPECT_DOUBLE_EQ(form->HeldBand(0).Frequency(), HeldFrequency(expected));
        EXPECT_TRUE(DeviceReaches([&] { return DeviceFrequency(103); }, HeldFrequency(expected)));
    }
    WaitFor([] { return false; }, 300);  // the device's reports of every step
    EXPECT_DOUBLE_EQ(form->HeldBand(0).Frequency(), HeldFrequency(1200));
    EXPECT_EQ(form->Selected(), 0);
}

// Gain drags keep to the graph's limits (a notch to -48..0 dB).
TEST_F(PeqEditor, GainDragsKeepToTheGraphAndNotchLimits) {
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    // Band 2's +2.5 dB would make "Top" refused: another client lowers it.
    SetOnDevice<objscope::TU32VEKDB1>(104, 3072, 0);
    ASSERT_TRUE(WaitFor([&] { return form->HeldBand(1).GainDb() == 0; }, 2000));
    auto* zero = form->findChild<QComboBox*>("cbxdB0");
    struct Case {
        const char* type;
        const char* zeroRow;
        double asked;  // dB above the 0 dB row the pointer goes to
        double expected;
    };
    const Case cases[] = {
        {"Notch", "Center", 6, 0},        // a notch never rises above 0 dB
        {"Notch", "Center", -20, -20},    // ... but cuts deeper than the graph
        {"Peaking", "Center", -20, -12},  // the graph's lower limit
        {"Peaking", "Top", 6, 0},         // "Top": nothing above 0 dB
        {"Peaking", "Top", -3.5, -3.5},   //
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " at " + c.zeroRow + " asked " +
                     std::to_string(c.asked));
        SelectWithKeys(form, 0);
        Choose(form->findChild<QComboBox*>("cbxType"), c.type);
        zero->setCurrentIndex(zero->findText(c.zeroRow));
        ASSERT_EQ(zero->currentText(), c.zeroRow);
        const int zeroRow = objscope::audio::peq_graph::ZeroDbRow(zero->currentIndex());
        const int x = Column(form->HeldBand(0));
        const int markerRow =
            objscope::audio::peq_graph::GainRow(form->HeldBand(0).GainDb(), zeroRow, 3.7);
        const int target = zeroRow - static_cast<int>(std::lround(c.asked * 3.7));
        DragOnGraph(form, QPoint(x, markerRow),
                    {QPoint(x, (markerRow + target) / 2), QPoint(x, target)});
        EXPECT_DOUBLE_EQ(form->HeldBand(0).GainDb(), c.expected);
        EXPECT_TRUE(DeviceReaches([&] { return DeviceGain(103); }, c.expected));
    }
}

// Received class values: 1..3 show their names, 4 asks for Q, others are
// stored as 0 and show no class. The page's labels follow type and class.
TEST_F(PeqEditor, ReceivedClassesShowTheirNamesAndFields) {
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    SelectWithKeys(form, 2);  // "Filter 3", a low-pass
    ASSERT_EQ(form->Selected(), 2);
    auto* classes = form->findChild<QComboBox*>("cbxClass");
    auto* upper = form->findChild<QLabel*>("lblUpper");
    auto* lower = form->findChild<QLabel*>("lblLower");
    EXPECT_EQ(form->findChild<QComboBox*>("cbxType")->currentText(), "Lo pass");
    EXPECT_EQ(form->findChild<QComboBox*>("cbxSlope")->currentText(), "12 dB/Oct.");
    struct Case {
        int sent;
        int held;
        const char* shown;
        const char* lowerLabel;
        const char* lowerField;
    };
    const Case cases[] = {
        {3, 3, "Linkwitz-Riley", "Slope:", "cbxSlope"},
        {2, 2, "Bessel", "Slope:", "cbxSlope"},
        {7, 0, "", "Slope:", "cbxSlope"},
        {4, 4, "", "Q:", "edtFilterQ"},
        {1, 1, "Butterworth", "Slope:", "cbxSlope"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sent);
        SetOnDevice<objscope::TU32UByte>(105, 4097, c.sent);
        EXPECT_TRUE(WaitFor([&] { return form->HeldBand(2).Family() == c.held; }, 2000));
        EXPECT_EQ(classes->currentText(), c.shown);
        EXPECT_EQ(upper->text(), "Class:");
        EXPECT_EQ(lower->text(), c.lowerLabel);
        EXPECT_TRUE(form->findChild<QWidget*>(c.lowerField)->isVisible());
        // The held gain of the pass filter, under its class and slope.
        EXPECT_TRUE(form->findChild<QWidget*>("GainEdit")->isVisible());
        EXPECT_TRUE(form->findChild<QWidget*>("lblPassGain")->isVisible());
    }
    SelectWithKeys(form, 0);  // a peaking band
    EXPECT_EQ(upper->text(), "Gain:");
    EXPECT_EQ(lower->text(), "BW:");
    EXPECT_FALSE(form->findChild<QWidget*>("lblPassGain")->isVisible());
    EXPECT_TRUE(form->findChild<QWidget*>("edtBandwidth")->isVisible());
    EXPECT_FALSE(classes->isVisible());
    EXPECT_EQ(form->findChild<QComboBox*>("edtBandwidth")->count(), 9);
    // The fields sit on the page of the selected band's number.
    EXPECT_EQ(form->findChild<QTabWidget*>("C")->currentIndex(), 0);
    EXPECT_EQ(form->findChild<QTabWidget*>("C")->count(), 9);
}

// "Filter 3" is a low-pass holding -6 dB, which lowers its whole curve: the
// page shows that gain and takes a new one, which reaches the device and
// lifts the curve; the keys still leave a pass filter's gain alone.
TEST_F(PeqEditor, APassFiltersHeldGainIsShownAndCanBeChanged) {
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    SelectWithKeys(form, 2);
    ASSERT_EQ(form->Selected(), 2);
    auto* gain = form->findChild<QLineEdit*>("GainEdit");
    auto* label = form->findChild<QLabel*>("lblPassGain");
    ASSERT_TRUE(gain->isVisible());
    ASSERT_TRUE(label->isVisible());
    EXPECT_EQ(label->text(), "Gain:");
    EXPECT_EQ(label->buddy(), gain);
    EXPECT_EQ(gain->text(), "-6.0 dB");
    const int lowRow = form->Graph()->Frame().held->gain[10];  // near 20 Hz, in the pass band
    TypeInto(gain, "0");
    EXPECT_TRUE(DeviceReaches([&] { return DeviceGain(105); }, 0));
    EXPECT_EQ(gain->text(), "0.0 dB");
    EXPECT_LT(form->Graph()->Frame().held->gain[10], lowRow);  // 6 dB higher up
    auto* keys = form->findChild<QLineEdit*>("HiddenEdit");
    keys->setFocus();
    QTest::keyClick(keys, Qt::Key_Up);
    EXPECT_DOUBLE_EQ(form->HeldBand(2).GainDb(), 0);
    EXPECT_TRUE(TakeMessages().empty());
}

// Choosing a type sets what goes with it and sends type, order, Q and gain;
// the class and slope lists send theirs.
TEST_F(PeqEditor, TypeClassAndSlopeChoicesReachTheDevice) {
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    SelectWithKeys(form, 0);  // peaking, -3 dB, Q 4.333
    auto* type = form->findChild<QComboBox*>("cbxType");
    struct Case {
        const char* item;
        int type;
        double gain;
        double q;
        const char* upperLabel;
    };
    const Case cases[] = {
        {"Lo pass", 101, 0, 0.707, "Class:"},  // a pass filter: 0 dB, Q 0.707
        {"Notch", 2, 0, 4.333, "Gain:"},       // back to a band: Q 4.333
        {"Hi pass", 102, 0, 0.707, "Class:"},
        {"All Pass", 103, 0, 0.707, "Class:"},  // class 1: the table-driven all-pass
        {"Peaking", 1, 0, 4.333, "Gain:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        Choose(type, c.item);
        EXPECT_EQ(form->HeldBand(0).FilterType(), c.type);
        EXPECT_EQ(form->findChild<QLabel*>("lblUpper")->text(), c.upperLabel);
        EXPECT_TRUE(DeviceReaches([&] { return DeviceByte(103, 4096); }, c.type));
        EXPECT_TRUE(DeviceReaches([&] { return DeviceGain(103); }, c.gain));
        EXPECT_TRUE(DeviceReaches([&] { return DeviceQ(103); }, c.q, 1.0 / 256));
    }
    // A peaking band's gain is limited when it becomes a notch.
    TypeInto(form->findChild<QLineEdit*>("GainEdit"), "6");
    ASSERT_TRUE(DeviceReaches([&] { return DeviceGain(103); }, 6));
    Choose(type, "Notch");
    EXPECT_DOUBLE_EQ(form->HeldBand(0).GainDb(), 0);
    EXPECT_TRUE(DeviceReaches([&] { return DeviceGain(103); }, 0));

    Choose(type, "Lo pass");
    Choose(form->findChild<QComboBox*>("cbxSlope"), "24 dB/Oct.");
    EXPECT_EQ(form->HeldBand(0).Order(), 4);
    EXPECT_TRUE(DeviceReaches([&] { return DeviceByte(103, 4098); }, 4));
    Choose(form->findChild<QComboBox*>("cbxClass"), "Bessel");
    EXPECT_EQ(form->HeldBand(0).Family(), 2);
    EXPECT_TRUE(DeviceReaches([&] { return DeviceByte(103, 4097); }, 2));

    // Class 4 (set elsewhere): "All Pass" becomes the second-order all-pass
    // with Q, order 2, and the page asks for Q.
    SetOnDevice<objscope::TU32UByte>(103, 4097, 4);
    ASSERT_TRUE(WaitFor([&] { return form->HeldBand(0).Family() == 4; }, 2000));
    Choose(type, "All Pass");
    EXPECT_EQ(form->HeldBand(0).FilterType(), 10);
    EXPECT_EQ(form->HeldBand(0).Order(), 2);
    EXPECT_TRUE(DeviceReaches([&] { return DeviceByte(103, 4096); }, 10));
    EXPECT_TRUE(DeviceReaches([&] { return DeviceByte(103, 4098); }, 2));
    EXPECT_EQ(form->findChild<QLabel*>("lblLower")->text(), "Q:");
    auto* q = form->findChild<QLineEdit*>("edtFilterQ");
    TypeInto(q, "12");
    EXPECT_EQ(q->text(), "5.000");
    EXPECT_TRUE(DeviceReaches([&] { return DeviceQ(103); }, 5, 1.0 / 256));
    TypeInto(q, "sharp");
    EXPECT_EQ(q->text(), "5.000");
}

// Choices of the display lists that would put a band off the graph are
// refused and the list shows its previous item. The device's bands are at
// -3, +2.5 and -6 dB; band 1 is first moved to -9 dB.
TEST_F(PeqEditor, DisplayListsRefuseChoicesThatHideABand) {
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    SelectWithKeys(form, 0);
    TypeInto(form->findChild<QLineEdit*>("GainEdit"), "-9");
    ASSERT_DOUBLE_EQ(form->HeldBand(0).GainDb(), -9);
    auto* legend = form->findChild<QComboBox*>("cbxLegend");
    auto* zero = form->findChild<QComboBox*>("cbxdB0");
    struct Case {
        QComboBox* list;
        const char* choice;
        const char* shownAfter;
    };
    const Case cases[] = {
        {zero, "Bottom", "Center"},  // -3 dB would be below the graph
        {zero, "Top", "Center"},     // +2.5 dB above it
        {legend, "3   dB/Div", "3   dB/Div"},
        {zero, "Mid Lower", "Center"},  // -9 dB at 3 dB/Div
        {zero, "Mid Upper", "Mid Upper"},
        {legend, "12 dB/Div", "12 dB/Div"},
        {zero, "Mid Lower", "Mid Lower"},
        {legend, "3   dB/Div", "12 dB/Div"},  // -9 dB at "Mid Lower"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice);
        c.list->setCurrentIndex(c.list->findText(c.choice));
        EXPECT_EQ(c.list->currentText(), c.shownAfter);
        EXPECT_EQ(form->Graph()->Display().legend, legend->currentIndex());
        EXPECT_EQ(form->Graph()->Display().zeroDbLocation, zero->currentIndex());
    }
}

// A frequency change re-sorts the display list; the selection follows the
// band, and each band keeps its device object.
TEST_F(PeqEditor, FrequencyChangesResortAndKeepDeviceIdentity) {
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(form->DisplayOrder(), (std::vector<int>{0, 1, 2}));
    SelectWithKeys(form, 0);
    TypeInto(form->findChild<QLineEdit*>("FreqEdit"), "20k");
    EXPECT_EQ(form->DisplayOrder(), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(form->Selected(), 0);
    EXPECT_EQ(form->findChild<QTabWidget*>("C")->currentIndex(), 0);  // page "1"
    EXPECT_TRUE(DeviceReaches([&] { return DeviceFrequency(103); }, HeldFrequency(20000)));
    EXPECT_NEAR(DeviceFrequency(104), 1000, 0.1);

    // The keys walk the new order: from the top band down to "Filter 3".
    auto* keys = form->findChild<QLineEdit*>("HiddenEdit");
    keys->setFocus();
    QTest::keyClick(keys, Qt::Key_Left);
    EXPECT_EQ(form->Selected(), 2);
    EXPECT_EQ(form->findChild<QTabWidget*>("C")->currentIndex(), 2);  // page "3"

    // A frequency drag from the top strip takes "Filter 3" below the others.
    const int x = Column(form->HeldBand(2));
    DragOnGraph(form, QPoint(x, 20), {QPoint(x - 100, 20), QPoint(27 + 42, 20)});
    const double dragged = HeldFrequency(19.0 * std::pow(2.0, 42 / 42.2));
    EXPECT_DOUBLE_EQ(form->HeldBand(2).Frequency(), dragged);
    EXPECT_EQ(form->DisplayOrder(), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(form->Selected(), 2);
    EXPECT_TRUE(DeviceReaches([&] { return DeviceFrequency(105); }, dragged));
    QTest::keyClick(keys, Qt::Key_Left);  // past the lowest band: none
    EXPECT_EQ(form->Selected(), -1);
}

// The bandwidth handles: a drag beside either handle and Ctrl+arrows set
// the half-width in pixels and send the matching Q; the device's echo of
// that Q leaves the width where the user put it.
TEST_F(PeqEditor, BandwidthDragAndCtrlArrowsSendQ) {
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    SelectWithKeys(form, 0);
    const int x = Column(form->HeldBand(0));
    const int w = form->HalfWidth(0);
    const auto qOf = [](int halfWidth) {
        return QFromBandwidthOctaves(objscope::audio::peq_graph::HalfWidthBandwidth(halfWidth));
    };
    // Right handle: w = X - x - 6.
    DragOnGraph(form, QPoint(x + w + 5, 25), {QPoint(x + 20 + 6, 25)});
    EXPECT_EQ(form->HalfWidth(0), 20);
    EXPECT_EQ(form->findChild<QComboBox*>("edtBandwidth")->currentText(),
              objscope::audio::BandwidthText(form->HeldBand(0).BandwidthOctaves()));
    EXPECT_TRUE(DeviceReaches([&] { return DeviceQ(103); }, qOf(20), 1.0 / 256));
    // Left handle: w = x - X - 4.
    DragOnGraph(form, QPoint(x - 20 - 3, 25), {QPoint(x - 12 - 4, 25)});
    EXPECT_EQ(form->HalfWidth(0), 12);
    EXPECT_TRUE(DeviceReaches([&] { return DeviceQ(103); }, qOf(12), 1.0 / 256));

    auto* keys = form->findChild<QLineEdit*>("HiddenEdit");
    keys->setFocus();
    for (int expected : {13, 14, 15}) {
        QTest::keyClick(keys, Qt::Key_Right, Qt::ControlModifier);
        EXPECT_EQ(form->HalfWidth(0), expected);
        EXPECT_TRUE(DeviceReaches([&] { return DeviceQ(103); }, qOf(expected), 1.0 / 256));
        WaitFor([] { return false; }, 150);  // the echo arrives
        EXPECT_EQ(form->HalfWidth(0), expected);
    }
    QTest::keyClick(keys, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(form->HalfWidth(0), 14);
    EXPECT_EQ(form->Selected(), 0);  // the selection stays
    // Tab leaves the graph like any field.
    QTest::keyClick(keys, Qt::Key_Tab);
    EXPECT_FALSE(keys->hasFocus());
}

// Resting the pointer near a marker shows its frequency and gain in a
// 68 x 40 box beside it (left of markers from column 250 on).
TEST_F(PeqEditor, HoverBoxShowsTheBandNearThePointer) {
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    struct Case {
        int band;  // -1: a point far from every marker
        const char* frequency;
        const char* gain;
        bool leftOfMarker;
    };
    const Case cases[] = {
        {0, "125.0 Hz", "dB = -3.0", false},
        {1, "1.0 KHz", "dB = 2.5", true},
        {-1, "", "", false},
    };
    auto* graph = form->Graph();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.band);
        QPoint at(200, 40);
        int x = 0;
        int row = 0;
        if (c.band >= 0) {
            x = Column(form->HeldBand(c.band));
            row = objscope::audio::peq_graph::GainRow(form->HeldBand(c.band).GainDb(), 124, 3.7);
            at = QPoint(x + 1, row + 6);
        }
        QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(graph->mapToGlobal(at)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(graph, &move);
        const auto& hover = graph->Frame().hover;
        ASSERT_EQ(hover.has_value(), c.band >= 0);
        if (!hover)
            continue;
        EXPECT_EQ(hover->frequency, c.frequency);
        EXPECT_EQ(hover->gain, c.gain);
        EXPECT_EQ(hover->box.size(), QSize(68, 40));
        if (c.leftOfMarker)
            EXPECT_EQ(hover->box.right() + 1, x - 10);
        else
            EXPECT_EQ(hover->box.left(), x + 15);
    }
}

// The output stage's gain moves the whole curve: its device value on
// opening, a typed value (sent to the output stage) and a new scale.
TEST_F(PeqEditor, MasterGainOffsetsTheCurveAndReachesTheOutputStage) {
    SetOnDevice<objscope::TU32VEKDB1>(102, 4096, -3);
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    auto* master = form->findChild<objscope::TTarnSlider*>("MasterGain");
    ASSERT_NE(master, nullptr);
    EXPECT_DOUBLE_EQ(master->Position(), -3);
    EXPECT_EQ(form->MasterOffset(), 11);  // -round(-3 x 3.7)
    EXPECT_EQ(form->Graph()->Frame().masterOffset, 11);
    TypeInto(master->TextField(), "4");
    EXPECT_EQ(form->MasterOffset(), -15);
    EXPECT_TRUE(DeviceReaches([&] { return DeviceValue<objscope::TU32VEKDB1>(102, 4096); }, 4));
    auto* legend = form->findChild<QComboBox*>("cbxLegend");
    legend->setCurrentIndex(legend->findText("12 dB/Div"));
    EXPECT_EQ(form->MasterOffset(), -7);  // -round(4 x 1.85)
}

// "Set Defaults" asks first; on OK every band is sent its defaults band by
// band on timers (the window keeps running meanwhile), on Abort nothing.
TEST_F(PeqEditor, SetDefaultsAsksThenSendsEveryBand) {
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    struct Case {
        objscope::BoxAnswer answer;
        bool applied;
    };
    const Case cases[] = {{objscope::BoxAnswer::Abort, false}, {objscope::BoxAnswer::Ok, true}};
    auto* button = form->findChild<QPushButton*>("FlatButton");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "Set D&efaults");
    for (const Case& c : cases) {
        std::vector<std::pair<objscope::BoxKind, std::string>> asked;
        objscope::SetMessageBoxHandler([&](objscope::BoxKind kind, const std::string& text) {
            asked.emplace_back(kind, text);
            return c.answer;
        });
        button->click();
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].first, objscope::BoxKind::OkAbortConfirmation);
        EXPECT_EQ(asked[0].second, "Set all filters to peaking and default values?");
        EXPECT_EQ(form->SettingDefaults(), c.applied);
        if (!c.applied) {
            WaitFor([] { return false; }, 300);
            EXPECT_EQ(DeviceByte(105, 4096), 101);
            EXPECT_DOUBLE_EQ(DeviceGain(103), -3);
            continue;
        }
        // The click returned before anything was sent: the pauses are timers.
        EXPECT_FALSE(button->isEnabled());
        EXPECT_EQ(DeviceByte(105, 4096), 101);
        ASSERT_TRUE(WaitFor([&] { return !form->SettingDefaults(); }, 5000));
        EXPECT_TRUE(button->isEnabled());
        for (int band = 0; band < 3; ++band) {
            SCOPED_TRACE(band);
            const auto handle = static_cast<uint16_t>(103 + band);
            const double frequency = 25.0 * std::pow(1.209, band);
            EXPECT_TRUE(
                DeviceReaches([&] { return DeviceFrequency(handle); }, HeldFrequency(frequency)));
            EXPECT_DOUBLE_EQ(DeviceGain(handle), 0);
            EXPECT_NEAR(DeviceQ(handle), 2.5, 1.0 / 256);
            EXPECT_EQ(DeviceByte(handle, 4096), 1);
            EXPECT_EQ(DeviceByte(handle, 4097), 0);
            EXPECT_EQ(DeviceByte(handle, 4098), 2);
            EXPECT_EQ(form->HeldBand(band).FilterType(), 1);
        }
    }
}

}  // namespace
}  // namespace objscope_gui

namespace objscope_gui {
namespace {

// A device whose "Main PEQ" (object 100) has a given number of bands,
// objects 103 onwards, 100 Hz apart from 100 Hz, all peaking at 0 dB.
class PeqEditorOfBands : public PeqEditor, public ::testing::WithParamInterface<int> {
  protected:
    QStringList DeviceOptions() override {
        char pattern[] = "/tmp/objscope-peq.XXXXXX";
        if (!mkdtemp(pattern))
            return {};
        deviceFolder_ = pattern;
        const std::string path = deviceFolder_ + "/bands.tdev";
        std::ofstream file(path);
        file << "object 0 class 17\n  prop 2 String \"Band Device\"\n"
             << "object 100 class 60\n  prop 2 String \"Main PEQ\"\n  prop 8 String \"Q\"\n"
             << "  prop 2068 UByte 255\n  prop 3072 Boolean 0\n  prop 3073 UWord 0\n"
             << "  prop 3074 UWord " << GetParam() << "\n"
             << "object 101 class 33 owner 100\n  prop 2 String \"In\"\n"
             << "object 102 class 4 owner 100\n  prop 2 String \"Out\"\n"
             << "  prop 4096 dB1 0 min -6 max 6\n";
        for (int band = 0; band < GetParam(); ++band)
            file << "object " << 103 + band << " class 65 owner 100\n"
                 << "  prop 2 String \"Filter " << band + 1 << "\"\n"
                 << "  prop 3072 dB1 0\n  prop 3073 Boolean 0\n"
                 << "  prop 3075 Decade2 " << std::log10(10.0 * 100 * (band + 1)) << "\n"
                 << "  prop 3077 Ratio2 4.333 min 0.03 max 50\n  prop 4096 UByte 1\n"
                 << "  prop 4097 UByte 1\n  prop 4098 UByte 2 min 1 max 8\n";
        return {"--load", QString::fromStdString(path)};
    }
    void TearDown() override {
        PeqEditor::TearDown();
        if (!deviceFolder_.empty())
            std::filesystem::remove_all(deviceFolder_);
    }
    std::string deviceFolder_;
};

// Pages "1" to "9", and one per band above nine; the keys walk every band
// onto its page; frequency changes never lose a band or the selection, and a
// single band never moves.
TEST_P(PeqEditorOfBands, EveryBandHasItsPageAndKeepsItsPlace) {
    TPeqForm* form = OpenEditor();
    ASSERT_NE(form, nullptr);
    const int bands = GetParam();
    ASSERT_EQ(form->BandCount(), bands);
    auto* pages = form->findChild<QTabWidget*>("C");
    EXPECT_EQ(pages->count(), std::max(9, bands));
    auto* keys = form->findChild<QLineEdit*>("HiddenEdit");
    keys->setFocus();
    for (int band = 0; band < bands; ++band) {
        QTest::keyClick(keys, Qt::Key_Right);
        ASSERT_EQ(form->Selected(), band);
        EXPECT_EQ(pages->currentIndex(), band);
        EXPECT_EQ(pages->tabText(pages->currentIndex()), QString::number(band + 1));
        EXPECT_TRUE(form->findChild<QWidget*>("FreqEdit")->isVisible());
    }
    // The last band taken to the bottom, then dragged to the top again.
    const int last = bands - 1;
    TypeInto(form->findChild<QLineEdit*>("FreqEdit"), "20");
    EXPECT_EQ(form->Selected(), last);
    EXPECT_EQ(form->DisplayOrder().front(), last);
    DragOnGraph(form, QPoint(Column(form->HeldBand(last)), 20), {QPoint(447, 20)});
    EXPECT_EQ(form->Selected(), last);
    EXPECT_EQ(form->DisplayOrder().back(), last);
    std::vector<int> sorted = form->DisplayOrder();
    std::sort(sorted.begin(), sorted.end());
    for (int band = 0; band < bands; ++band)
        EXPECT_EQ(sorted[static_cast<size_t>(band)], band);
    EXPECT_TRUE(DeviceReaches([&] { return DeviceFrequency(static_cast<uint16_t>(103 + last)); },
                              form->HeldBand(last).Frequency()));
    QTest::keyClick(keys, Qt::Key_Right);  // past the top band
    EXPECT_EQ(form->Selected(), -1);
}

INSTANTIATE_TEST_SUITE_P(BandCounts, PeqEditorOfBands, ::testing::Values(1, 12));

}  // namespace
}  // namespace objscope_gui
