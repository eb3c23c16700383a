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

#include "audio/crossover/crossover_form.h"
#include "audio/crossover/crossover_linkwitz.h"
#include "audio/crossover/crossover_objects.h"
#include "audio/shared/editor_fields.h"
#include "audio/eq/peq_band_comm.h"
#include "comm/editor_comm_monitor.h"
#include "model/object_factory.h"
#include "gui_session.h"
#include "windows/message_boxes.h"

namespace objscope_gui {
namespace {

using objscope::audio::CrossoverColumn;
using objscope::audio::CrossoverColumnFrequency;
using objscope::audio::TCrossoverEditorBase;

// The device keeps a frequency in steps of 1/10000 decade (and tenths of a
// hertz): how far the held value may lie from the one asked for.
double HeldTolerance(double hertz) {
    return hertz * 2.5e-4 + 0.1;
}

class CrossoverEditor : public GuiSession {
  protected:
    void SetUp() override {
        StartSession();
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

    // A property of a device object as the device holds it now.
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
        return WaitFor([&] { return std::fabs(DeviceValue<Property>(handle, id) - value) < 0.06; },
                       2000);
    }
    template <class Widget>
    Widget* Control(QWidget* form, const char* name) {
        auto* control = form->findChild<Widget*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    // Types into FreqEdit and presses Enter.
    void EnterFrequency(QWidget* form, const QString& text) {
        auto* edit = Control<QLineEdit>(form, "FreqEdit");
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    // Chooses a list item as the user does.
    void Choose(QWidget* form, const char* list, const QString& item) {
        auto* box = Control<QComboBox>(form, list);
        const int index = box->findText(item);
        ASSERT_GE(index, 0) << item.toStdString();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

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

// Both editors' outputs, output gain stages and band objects on a device
// with a three-way general crossover (500: H 510, M 520, L 530; each set's
// output stage at +2, its lower edge at +3, its upper edge at +4), an
// eight-way one (700) and a three-way Linkwitz-Riley crossover (600: outputs
// 610, 620, 630; stage +2, slots +3..+5), points at 800 and 1600 Hz.
class CrossoverDevice : public CrossoverEditor {
  protected:
    void SetUp() override {
        StartSession({"--load", VEK_FIXTURE_DIR "/crossovers.tdev"});
    }
    // Output indices of the three-way general crossover (highest first).
    static constexpr int H = 0, M = 1, L = 2;
};

TEST_F(CrossoverDevice, OutputListNamesRolesLowestFirstAndOuterEdgesAreOff) {
    const struct {
        uint16_t handle;
        QStringList items;
    } cases[] = {
        {500, {"Low - L", "Mid - M", "High - H"}},
        // Eight bands on the device: the crossover takes six.
        {700, {"Sub - S", "Low - L", "Mid-Low - ML", "Mid - M", "Mid-High - MH", "High - H"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.handle);
        TCrossoverEditorBase* form = OpenEditor(c.handle);
        ASSERT_NE(form, nullptr);
        auto* outputs = Control<QComboBox>(form, "OutputCombo");
        QStringList items;
        for (int i = 0; i < outputs->count(); ++i)
            items << outputs->itemText(i);
        EXPECT_EQ(items, c.items);
        const int highest = outputs->itemData(outputs->count() - 1).toInt();
        const int lowest = outputs->itemData(0).toInt();
        EXPECT_EQ(form->EdgeFrequency(highest, true), 0) << "the highest output has no upper edge";
        EXPECT_EQ(form->EdgeFrequency(lowest, false), 0) << "the lowest output has no lower edge";
        form->SelectEdge(highest, true);
        EXPECT_EQ(Control<QComboBox>(form, "FilterTypeCombo")->currentText(), "None");
        EXPECT_FALSE(Control<QLineEdit>(form, "FreqEdit")->isEnabled());
        EXPECT_FALSE(Control<QComboBox>(form, "SlopeCombo")->isEnabled());
        form->OkButton()->click();
    }
}

TEST_F(CrossoverDevice, FrequencyEntryKeepsLimitsAndTheFiveColumnGap) {
    TCrossoverEditorBase* form = OpenEditor(500);
    ASSERT_NE(form, nullptr);
    const double belowUpperOfM = CrossoverColumnFrequency(CrossoverColumn(1600) - 5);
    const struct {
        int output;
        bool upper;
        const char* typed;
        double expected;
        uint16_t edgeHandle;
    } cases[] = {
        {L, true, "10", 20, 534},                   // below the audio band
        {H, false, "25k", 20000, 513},              // "k" for thousands, above the band
        {H, false, "1.6K", 1600, 513},              // either case
        {M, false, "3000 Hz", belowUpperOfM, 523},  // a lower edge stops 5 columns below
        {M, false, "abc", belowUpperOfM, 523},      // unparsable: the shown value stays
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        form->SelectEdge(c.output, c.upper);
        EnterFrequency(form, c.typed);
        // The device keeps 1/10000 decade.
        EXPECT_NEAR(form->EdgeFrequency(c.output, c.upper), c.expected, HeldTolerance(c.expected));
        EXPECT_TRUE(form->isVisible()) << "Enter stays in the field";
        EXPECT_TRUE(DeviceReaches<objscope::TU32VEKDecade2>(c.edgeHandle, 3075,
                                                            std::log10(10 * c.expected)));
        EXPECT_EQ(Control<QLineEdit>(form, "FreqEdit")->text(),
                  objscope::audio::FrequencyFieldText(form->EdgeFrequency(c.output, c.upper)));
    }
}

TEST_F(CrossoverDevice, LinkingDifferentSlopesAsksAndCancelLeavesThemUnlinked) {
    TCrossoverEditorBase* editor = OpenEditor(500);
    auto* form = dynamic_cast<objscope::audio::TCrossoverForm*>(editor);
    ASSERT_NE(form, nullptr);
    form->SelectEdge(M, false);
    Choose(form, "SlopeCombo", "24 dB/octave");
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(523, 4098, 4));
    auto* linked = Control<QCheckBox>(form, "cbkLinked");

    objscope::SetMessageBoxHandler([this](objscope::BoxKind, const std::string& text) {
        messages_.push_back(text);
        return objscope::BoxAnswer::Cancel;
    });
    linked->click();
    EXPECT_EQ(TakeMessages(),
              std::vector<std::string>{"Ok to make the non selected output, L, Match selected "
                                       "output's parameters, M"});
    EXPECT_FALSE(linked->isChecked());
    EXPECT_FALSE(form->EdgeLinked(M, false));
    EXPECT_FALSE(form->EdgeLinked(L, true));
    EXPECT_EQ(DeviceValue<objscope::TU32UByte>(534, 4098), 2) << "the neighbour is left alone";

    objscope::SetMessageBoxHandler([this](objscope::BoxKind, const std::string& text) {
        messages_.push_back(text);
        return objscope::BoxAnswer::Ok;
    });
    linked->click();
    EXPECT_EQ(TakeMessages().size(), 1u);
    EXPECT_TRUE(linked->isChecked());
    EXPECT_TRUE(form->EdgeLinked(M, false) && form->EdgeLinked(L, true));
    EXPECT_EQ(Control<QLabel>(form, "lblLink")->text(), "With L - Upper");
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(534, 4098, 4)) << "OK matches the neighbour";

    // A linked neighbour follows frequency and slope.
    EnterFrequency(form, "700");
    EXPECT_TRUE(DeviceReaches<objscope::TU32VEKDecade2>(534, 3075, std::log10(7000)));
    Choose(form, "SlopeCombo", "48 dB/octave");
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(534, 4098, 8));
    Choose(form, "FilterTypeCombo", "Bessel");
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(523, 4097, 2));
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(534, 4097, 2));
    EXPECT_EQ(DeviceValue<objscope::TU32UByte>(534, 4096), 101) << "the facing edge passes lows";

    // The other box is refused while one is ticked; unticking clears both sides.
    auto* aligned = Control<QCheckBox>(form, "cbkAligned");
    aligned->click();
    EXPECT_FALSE(aligned->isChecked());
    linked->click();
    EXPECT_FALSE(form->EdgeLinked(M, false) || form->EdgeLinked(L, true));
    EXPECT_EQ(Control<QLabel>(form, "lblLink")->text(), "");
}

TEST_F(CrossoverDevice, MatchingEdgesLinkAtOnceAndOuterEdgesRefuse) {
    TCrossoverEditorBase* editor = OpenEditor(500);
    auto* form = dynamic_cast<objscope::audio::TCrossoverForm*>(editor);
    ASSERT_NE(form, nullptr);
    const struct {
        int output;
        bool upper;
        const char* box;
        bool accepted;
        const char* label;
    } cases[] = {
        {M, true, "cbkAligned", true, "With H - Lower"},  // 1600 Hz on both sides
        {H, true, "cbkLinked", false, ""},                // the highest output's upper edge
        {L, false, "cbkAligned", false, ""},              // the lowest output's lower edge
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        form->SelectEdge(c.output, c.upper);
        auto* box = Control<QCheckBox>(form, c.box);
        box->click();
        EXPECT_EQ(box->isChecked(), c.accepted);
        EXPECT_EQ(Control<QLabel>(form, "lblLink")->text(), c.label);
    }
    EXPECT_TRUE(TakeMessages().empty()) << "nothing to ask";
    EXPECT_TRUE(form->EdgeAligned(H, false));
}

TEST_F(CrossoverDevice, TiedNeighbourStopsTheEdgeFiveColumnsFromItsOtherEdge) {
    TCrossoverEditorBase* editor = OpenEditor(500);
    auto* form = dynamic_cast<objscope::audio::TCrossoverForm*>(editor);
    ASSERT_NE(form, nullptr);
    form->SelectEdge(L, true);
    Control<QCheckBox>(form, "cbkAligned")->click();  // 800 Hz on both sides
    ASSERT_TRUE(form->EdgeAligned(L, true));
    // L's upper edge pulls M's lower edge along, which stays 5 columns below
    // M's upper edge (1600 Hz).
    EnterFrequency(form, "5000");
    const double stop = CrossoverColumnFrequency(CrossoverColumn(1600) - 5);
    EXPECT_NEAR(form->EdgeFrequency(L, true), stop, HeldTolerance(stop));
    EXPECT_NEAR(form->EdgeFrequency(M, false), stop, HeldTolerance(stop));
    EXPECT_TRUE(DeviceReaches<objscope::TU32VEKDecade2>(523, 3075, std::log10(10 * stop)));
    // Shift+Left moves both by two columns.
    QTest::keyClick(Keys(form), Qt::Key_Left, Qt::ShiftModifier);
    const double moved = CrossoverColumnFrequency(CrossoverColumn(1600) - 7);
    EXPECT_NEAR(form->EdgeFrequency(M, false), moved, HeldTolerance(moved));
    EXPECT_TRUE(DeviceReaches<objscope::TU32VEKDecade2>(523, 3075, std::log10(10 * moved)));
}

TEST_F(CrossoverDevice, TiedNeighbourPushesItsOtherEdgeAlongWhenThatEdgeIsOff) {
    // H's upper edge is off; another client left it at 5000 Hz.
    SetDeviceFrequency(514, 5000);
    TCrossoverEditorBase* editor = OpenEditor(500);
    auto* form = dynamic_cast<objscope::audio::TCrossoverForm*>(editor);
    ASSERT_NE(form, nullptr);
    form->SelectEdge(M, true);
    Control<QCheckBox>(form, "cbkLinked")->click();  // 1600 Hz, order 2, class 1 on both sides
    ASSERT_TRUE(form->EdgeLinked(M, true));
    EnterFrequency(form, "6000");
    EXPECT_NEAR(form->EdgeFrequency(H, false), 6000, HeldTolerance(6000));
    const double pushed = CrossoverColumnFrequency(CrossoverColumn(6000) + 5);
    EXPECT_TRUE(DeviceReaches<objscope::TU32VEKDecade2>(514, 3075, std::log10(10 * pushed)));
    EXPECT_EQ(DeviceValue<objscope::TU32UByte>(514, 4096), 0) << "and it stays off";
}

TEST_F(CrossoverDevice, OutputGainMuteAndPolarityReachTheDevice) {
    TCrossoverEditorBase* form = OpenEditor(500);
    ASSERT_NE(form, nullptr);
    form->SelectEdge(M, false);
    auto* slider = Control<objscope::TTarnSlider>(form, "TarnOutGain");
    slider->TextField()->selectAll();
    QTest::keyClicks(slider->TextField(), "-3");
    QTest::keyClick(slider->TextField(), Qt::Key_Return);
    EXPECT_TRUE(DeviceReaches<objscope::TU32VEKDB1>(522, 4096, -3));
    EXPECT_EQ(form->OutputGainDb(M), -3);
    QTest::keyClick(Keys(form), Qt::Key_Up);
    EXPECT_EQ(slider->Position(), -2.5) << "Up moves the slider";
    EXPECT_TRUE(DeviceReaches<objscope::TU32VEKDB1>(522, 4096, -2.5)) << "and is sent at once";

    Control<QPushButton>(form, "btnMute")->click();
    EXPECT_TRUE(form->OutputMuted(M));
    EXPECT_TRUE(DeviceReaches<objscope::TU32Boolean>(522, 2048, 1));
    Control<QPushButton>(form, "btnAllMute")->click();
    for (uint16_t stage : {512, 522, 532})
        EXPECT_TRUE(DeviceReaches<objscope::TU32Boolean>(stage, 2048, 1)) << stage;
    Control<QPushButton>(form, "btnAllMute")->click();
    for (uint16_t stage : {512, 522, 532})
        EXPECT_TRUE(DeviceReaches<objscope::TU32Boolean>(stage, 2048, 0)) << stage;

    // The polarity lives on the lower edge, or on the upper edge when the
    // lower one is off.
    const struct {
        int output;
        uint16_t carrier, other;
    } polarity[] = {{M, 523, 524}, {H, 513, 514}, {L, 534, 533}};
    for (const auto& c : polarity) {
        SCOPED_TRACE(c.carrier);
        form->SelectEdge(c.output, false);
        auto* phase = Control<QPushButton>(form, "btnPhase");
        phase->click();
        EXPECT_TRUE(phase->isChecked());
        EXPECT_TRUE(DeviceReaches<objscope::TU32Boolean>(c.carrier, 3073, 1));
        EXPECT_EQ(DeviceValue<objscope::TU32Boolean>(c.other, 3073), 0);
        EXPECT_TRUE(form->OutputInverted(c.output));
        phase->click();
        EXPECT_TRUE(DeviceReaches<objscope::TU32Boolean>(c.carrier, 3073, 0));
    }
}

// The selected output's gain curve: cyan, red when muted, yellow inverted.
TEST_F(CrossoverDevice, CurveColourShowsMuteAndPolarity) {
    TCrossoverEditorBase* form = OpenEditor(500);
    ASSERT_NE(form, nullptr);
    form->SelectEdge(M, false);
    const auto shows = [&](QRgb colour) {
        const QImage image = form->Graph()->grab().toImage();
        int count = 0;
        for (int y = 36; y < 225; ++y)
            for (int x = 26; x < 470; ++x)
                count += image.pixel(x, y) == colour;
        return count > 50;
    };
    EXPECT_TRUE(shows(qRgb(0, 0xFF, 0xFF)));
    Control<QPushButton>(form, "btnMute")->click();
    EXPECT_TRUE(shows(qRgb(0xFF, 0, 0)));
    EXPECT_FALSE(shows(qRgb(0, 0xFF, 0xFF)));
    Control<QPushButton>(form, "btnMute")->click();
    Control<QPushButton>(form, "btnPhase")->click();
    EXPECT_TRUE(shows(qRgb(0xFF, 0xFF, 0)));
}

TEST_F(CrossoverDevice, LinkwitzPointsSlopeRewritesEveryOutputFromTheTable) {
    TCrossoverEditorBase* editor = OpenEditor(600);
    auto* form = dynamic_cast<objscope::audio::TCrossLinkwitz*>(editor);
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(form->OutputCount(), 3);
    EXPECT_NEAR(form->EdgeFrequency(0, true), 800, 0.1);
    EXPECT_NEAR(form->EdgeFrequency(1, true), 1600, 0.1);
    EXPECT_EQ(form->EdgeFrequency(2, true), 20000);
    // The top output: all-pass at 800 Hz and high-pass at 1600 Hz; the
    // high-pass slots inverted at order 2.
    const auto& top = form->OutputSet(2);
    EXPECT_EQ(top.Parametric(0).FilterType(), 103);
    EXPECT_EQ(top.Parametric(1).FilterType(), 102);
    EXPECT_TRUE(top.Parametric(1).Invert());
    EXPECT_TRUE(form->OutputSet(1).Parametric(0).Invert());

    form->SelectEdge(1, false);  // point 0, picked as output 2's lower edge
    EXPECT_EQ(Control<QComboBox>(form, "SlopeCombo")->currentText(), "12 dB/octave");
    Choose(form, "SlopeCombo", "24 dB/octave");
    const struct {
        uint16_t slot;
        double type, family, order, inverted;
    } rewritten[] = {
        {613, 101, 3, 4, 0},  // output 1: low-pass
        {623, 102, 3, 4, 0},  // output 2: high-pass, no longer inverted
        {633, 103, 1, 2, 0},  // output 3: all-pass at half the order
        {634, 102, 3, 2, 1},  // point 1 keeps its order and inversion
    };
    for (const auto& c : rewritten) {
        SCOPED_TRACE(c.slot);
        EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(c.slot, 4098, c.order));
        EXPECT_EQ(DeviceValue<objscope::TU32UByte>(c.slot, 4096), c.type);
        EXPECT_EQ(DeviceValue<objscope::TU32UByte>(c.slot, 4097), c.family);
        EXPECT_EQ(DeviceValue<objscope::TU32Boolean>(c.slot, 3073), c.inverted);
    }
    EXPECT_FALSE(form->OutputSet(1).Parametric(0).Invert());
    EXPECT_EQ(form->PointOrder(0), 4);

    // A point stays 5 columns from the next point, whichever output picked it.
    form->SelectEdge(0, true);
    EnterFrequency(form, "5000");
    const double stop = CrossoverColumnFrequency(CrossoverColumn(1600) - 5);
    EXPECT_NEAR(form->EdgeFrequency(1, false), stop, HeldTolerance(stop));
    EXPECT_TRUE(DeviceReaches<objscope::TU32VEKDecade2>(633, 3075, std::log10(10 * stop)));

    // The polarity is the output stage's, and it turns the output's phase.
    const int at100Hz = static_cast<int>(std::lround(42.2 * std::log2(100 / 19.5)));
    const int before = form->OutputCurves(0).phase.at(at100Hz);
    Control<QPushButton>(form, "btnPhase")->click();
    EXPECT_TRUE(DeviceReaches<objscope::TU32Boolean>(612, 4097, 1));
    EXPECT_TRUE(form->OutputInverted(0));
    EXPECT_NEAR(std::abs(form->OutputCurves(0).phase.at(at100Hz) - before), 180 * 0.49, 2);
}

TEST_F(CrossoverDevice, LinkwitzKeysWalkThePointsAndMoveThem) {
    TCrossoverEditorBase* form = OpenEditor(600);
    ASSERT_NE(form, nullptr);
    form->SelectEdge(0, false);  // the fixed 20 Hz edge
    const auto at = [&] { return std::make_pair(form->SelectedOutput(), form->UpperSelected()); };
    const struct {
        Qt::Key key;
        std::pair<int, bool> expected;
    } steps[] = {
        {Qt::Key_Right, {0, true}},  // point 0
        {Qt::Key_Right, {1, true}},  // point 1
        {Qt::Key_Right, {1, true}},  // no point above
        {Qt::Key_Left, {1, false}},  // point 0, as output 2's lower edge
        {Qt::Key_Left, {1, false}},  // no point below
    };
    for (const auto& step : steps) {
        QTest::keyClick(Keys(form), step.key);
        EXPECT_EQ(at(), step.expected);
    }
    QTest::keyClick(Keys(form), Qt::Key_Right, Qt::ShiftModifier);
    const double moved = CrossoverColumnFrequency(CrossoverColumn(800) + 2);
    EXPECT_NEAR(form->EdgeFrequency(0, true), moved, HeldTolerance(moved));
    for (uint16_t slot : {613, 623, 633})
        EXPECT_TRUE(DeviceReaches<objscope::TU32VEKDecade2>(slot, 3075, std::log10(10 * moved)))
            << slot;
}

TEST_F(CrossoverDevice, DragShowsTheRequestedCurveUntilRelease) {
    TCrossoverEditorBase* form = OpenEditor(500);
    ASSERT_NE(form, nullptr);
    auto* graph = form->Graph();
    const int x = CrossoverColumn(800);
    QTest::mousePress(graph, Qt::LeftButton, {}, QPoint(x, 20));
    ASSERT_EQ(form->SelectedOutput(), M);
    ASSERT_FALSE(form->UpperSelected());
    QMouseEvent move(QEvent::MouseMove, QPointF(x + 7, 20), QPointF(), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(graph, &move);
    // The column's frequency is finer than the device's tenths of a hertz.
    EXPECT_TRUE(form->ShowsRequestedCurve());
    const double held = form->EdgeFrequency(M, false);
    EXPECT_NEAR(held, std::round(CrossoverColumnFrequency(x + 7) * 10) / 10, 0.01);
    QTest::mouseRelease(graph, Qt::LeftButton, {}, QPoint(x + 7, 20));
    EXPECT_FALSE(form->ShowsRequestedCurve());
}

TEST_F(CrossoverDevice, ClassThreeFromTheDeviceShowsLinkwitzRileyWithNoItem) {
    TCrossoverEditorBase* form = OpenEditor(500);
    ASSERT_NE(form, nullptr);
    form->SelectEdge(M, false);
    objscope::TU32UByte family;
    family.SetPropertyID(4097);
    family.SetValue(3);
    objscope::TTarn_Property_Link link(0, 1, 523, &family);
    ASSERT_GE(monitor_->SetPropertyWait(link), 0);
    auto* types = Control<QComboBox>(form, "FilterTypeCombo");
    EXPECT_TRUE(WaitFor([&] { return types->currentIndex() == -1; }, 1000));
    EXPECT_EQ(types->placeholderText(), "LinkWitz-Riley");
    Choose(form, "FilterTypeCombo", "None");
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(523, 4096, 0));
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(523, 4097, 0));
    EXPECT_FALSE(Control<QLineEdit>(form, "FreqEdit")->isEnabled());
    Choose(form, "FilterTypeCombo", "Custom");
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(523, 4096, 102));
    EXPECT_TRUE(DeviceReaches<objscope::TU32UByte>(523, 4097, 4));
}

TEST_F(CrossoverDevice, HoldingHelpShowsTheBuildText) {
    const struct {
        uint16_t handle;
        const char* text;
        QPoint at;
    } cases[] = {{500, "Build = 120 - 7/12/2000", {100, 10}},
                 {600, "Build = 116 - 6/6/2000", {50, 10}}};
    for (const auto& c : cases) {
        TCrossoverEditorBase* form = OpenEditor(c.handle);
        ASSERT_NE(form, nullptr);
        auto* text = Control<QLabel>(form, "HelpHoldText");
        QTest::mousePress(form->HelpButton(), Qt::LeftButton);
        EXPECT_TRUE(text->isVisible());
        EXPECT_EQ(text->text(), c.text);
        EXPECT_EQ(text->pos(), c.at);
        QTest::mouseRelease(form->HelpButton(), Qt::LeftButton);
        EXPECT_FALSE(text->isVisible());
        form->OkButton()->click();
    }
}

// A read-only editor lets the user look and select, and changes nothing.
TEST_F(CrossoverDevice, ReadOnlyEditorChangesNothing) {
    main_->UploadObjects();
    ASSERT_TRUE(WaitFor([&] { return !main_->Busy(); }));
    object_ = main_->Objects().at(static_cast<size_t>(RowOfObject(500)));
    object_->ShowEditor(false, true, true);
    auto* form = dynamic_cast<TCrossoverEditorBase*>(object_->Editor());
    ASSERT_NE(form, nullptr);
    WaitFor([] { return false; }, 300);
    EXPECT_FALSE(form->Editable());
    for (const char* name : {"FreqEdit", "SlopeCombo", "FilterTypeCombo", "cbkLinked", "cbkAligned",
                             "btnMute", "btnPhase", "btnAllMute", "TarnOutGain"})
        EXPECT_FALSE(Control<QWidget>(form, name)->isEnabled()) << name;
    form->SelectEdge(M, false);
    EXPECT_TRUE(Control<QComboBox>(form, "OutputCombo")->isEnabled()) << "selection still works";
    QTest::keyClick(Keys(form), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(Keys(form), Qt::Key_Up);
    EXPECT_NEAR(form->EdgeFrequency(M, false), 800, 0.1);
    EXPECT_EQ(form->OutputGainDb(M), 0);
    WaitFor([] { return false; }, 200);
    EXPECT_NEAR(DeviceValue<objscope::TU32VEKDecade2>(523, 3075), std::log10(8000), 1e-4);
    EXPECT_EQ(DeviceValue<objscope::TU32VEKDB1>(522, 4096), 0);
}

TEST_F(CrossoverDevice, DisplayPageStartsFromAndKeepsTheStoredSettings) {
    TCrossoverEditorBase* form = OpenEditor(500);
    ASSERT_NE(form, nullptr);
    auto& settings = static_cast<objscope::audio::TU32CrossOver&>(*object_).settings;
    EXPECT_EQ(Control<QComboBox>(form, "ScalingCombo")->currentText(), "Octave");
    EXPECT_EQ(Control<QComboBox>(form, "dB0ComboBox")->currentText(), "Center");
    EXPECT_TRUE(Control<QCheckBox>(form, "GainBox")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(form, "PhaseBox")->isChecked());
    Control<QComboBox>(form, "LegendCombo")->setCurrentIndex(3);
    Control<QCheckBox>(form, "PhaseBox")->click();
    EXPECT_EQ(settings.legendScale, 3);
    EXPECT_TRUE(settings.showPhase);
    EXPECT_TRUE(form->Graph()->Display().showPhase);
}

// A "0 dB" or "dB/Div" choice that would put an output's gain off the plot
// is refused and the list returns to its previous item.
TEST_F(CrossoverDevice, DisplayChoicesThatHideAGainAreRefused) {
    TCrossoverEditorBase* form = OpenEditor(500);
    ASSERT_NE(form, nullptr);
    auto* legend = Control<QComboBox>(form, "LegendCombo");
    auto* zero = Control<QComboBox>(form, "dB0ComboBox");
    auto* gain = Control<objscope::TTarnSlider>(form, "TarnOutGain")->TextField();
    const struct {
        const char* gainOfM;
        int legendBefore, zeroBefore;
        QComboBox* list;
        int choice;
        bool refused;
    } cases[] = {
        {"-3", 1, 2, zero, 4, true},    // Bottom with a gain below 0
        {"-3", 1, 2, zero, 0, false},   // Top: nothing above 0
        {"3", 1, 2, zero, 0, true},     // Top with a gain above 0
        {"7", 1, 1, legend, 0, true},   // 3 dB/Div at Mid Upper with 7 dB
        {"5", 1, 1, legend, 0, false},  // 5 dB still fits
        {"-7", 0, 2, zero, 3, true},    // Mid Lower at 3 dB/Div with -7 dB
    };
    form->SelectEdge(M, false);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.gainOfM) + " " + c.list->objectName().toStdString());
        legend->setCurrentIndex(c.legendBefore);
        zero->setCurrentIndex(c.zeroBefore);
        gain->selectAll();
        QTest::keyClicks(gain, c.gainOfM);
        QTest::keyClick(gain, Qt::Key_Return);
        const int before = c.list->currentIndex();
        c.list->setCurrentIndex(c.choice);
        EXPECT_EQ(c.list->currentIndex(), c.refused ? before : c.choice);
        EXPECT_EQ(form->Graph()->Display().zeroDbLocation, zero->currentIndex());
        EXPECT_EQ(form->Graph()->Display().legend, legend->currentIndex());
        zero->setCurrentIndex(2);  // Center takes any gain
    }
}

// The three-way crossovers of the test device: the general one with the
// middle output's lower edge selected and the high output muted, the
// Linkwitz-Riley one with its phase curves.
TEST_F(CrossoverDevice, ScreenshotsWhenAsked) {
    const QByteArray folder = qgetenv("VEK_SCREENSHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "VEK_SCREENSHOT_DIR not set";
    TCrossoverEditorBase* general = OpenEditor(500);
    ASSERT_NE(general, nullptr);
    general->SelectEdge(H, false);
    Control<QPushButton>(general, "btnMute")->click();
    general->SelectEdge(M, false);
    Control<QComboBox>(general, "ScalingCombo")->setCurrentIndex(1);
    WaitFor([] { return false; }, 200);
    EXPECT_TRUE(general->grab().save(QString(folder) + "/crossover-editor.png"));
    general->CancelButton()->click();
    WaitFor([] { return false; }, 200);

    TCrossoverEditorBase* linkwitz = OpenEditor(600);
    ASSERT_NE(linkwitz, nullptr);
    linkwitz->SelectEdge(1, true);
    Control<QCheckBox>(linkwitz, "PhaseBox")->click();
    Control<QComboBox>(linkwitz, "ScalingCombo")->setCurrentIndex(1);
    WaitFor([] { return false; }, 200);
    EXPECT_TRUE(linkwitz->grab().save(QString(folder) + "/linkwitz-crossover-editor.png"));
    linkwitz->CancelButton()->click();
}

}  // namespace
}  // namespace objscope_gui
