// The one-third-octave graphic equaliser object: its fixed layout of owned
// objects, their settings, the rebuild by tags and its stream record.
#include "audio/eq/graphic_eq_objects.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/class_catalogue.h"
#include "values/property_messages.h"

using namespace objscope;
using namespace objscope::audio;

namespace {

class ShownMessages {
  public:
    ShownMessages() {
        previous_ = SetPropertyMessageSink([this](const std::string& t) { texts.push_back(t); });
    }
    ~ShownMessages() { SetPropertyMessageSink(previous_); }
    std::vector<std::string> texts;

  private:
    PropertyMessageSink previous_;
};

template <class Band>
std::unique_ptr<Band> TaggedBand(int tag, const char* name) {
    auto band = std::make_unique<Band>();
    band->SetTagField(static_cast<uint8_t>(tag));
    band->SetObjectName(name);
    return band;
}

}  // namespace

TEST(GraphicEq, NewSetHoldsItsFixedLayout) {
    TU32EQ1_3 set;
    EXPECT_EQ(set.ClassID(), 60);
    EXPECT_EQ(set.ObjectName(), "Graphic EQ Set");
    EXPECT_EQ(set.UserData(), "E");
    EXPECT_STREQ(LookupVariant(set.UserData()), "TU32EQ1_3");
    EXPECT_EQ(set.NumOwnedObjs, 33);
    EXPECT_EQ(set.NumInputs, 1);
    EXPECT_EQ(set.MaxOutputs, 1);
    auto* graphic = dynamic_cast<TU32UWord*>(set.FindProperty(19457));
    auto* parametric = dynamic_cast<TU32UWord*>(set.FindProperty(19458));
    ASSERT_TRUE(graphic && parametric);
    EXPECT_EQ(graphic->Value(), 29);
    EXPECT_EQ(parametric->Value(), 1) << "one, not two";
    EXPECT_TRUE(graphic->ReadOnly());
    EXPECT_EQ(set.FindProperty(3072)->Name(), "Bypass Flag");

    ObjectList list;
    set.CollectObjects(list);
    ASSERT_EQ(list.size(), 34u);
    EXPECT_EQ(list[0], &set);
    EXPECT_EQ(list[1]->ClassName(), "TAudioObjectInput");
    EXPECT_EQ(list[1]->ObjectName(), "1");
    EXPECT_EQ(list[2]->ClassName(), "TOutputGainControl");
    EXPECT_EQ(list[3]->ObjectName(), "Band 0");
    EXPECT_EQ(list[31]->ObjectName(), "Band 28");
    EXPECT_EQ(list[32]->ClassName(), "TPeqFilterBand");
    EXPECT_EQ(list[33]->ObjectName(), "Para EQ Band 1");

    const struct {
        int band;
        double hertz;
    } centres[] = {{0, 25}, {10, 250}, {20, 2500}, {28, 15773.934}};
    for (const auto& c : centres)
        EXPECT_NEAR(set.GraphicBand(c.band)->Frequency(), c.hertz, c.hertz * 3e-4) << c.band;
    EXPECT_EQ(set.GraphicBand(7)->TagField(), 7);
    EXPECT_EQ(set.GraphicBand(7)->UserData(), std::string("\x20\x07\x00", 3));
    EXPECT_EQ(set.GraphicBand(7)->ClassID(), 38);
    EXPECT_NEAR(set.ParametricBand(0)->Frequency(), 20, 0.01);
    EXPECT_NEAR(set.ParametricBand(1)->Frequency(), 20000, 10);
    EXPECT_EQ(set.ParametricBand(1)->FilterType(), 0);
    EXPECT_EQ(set.ParametricBand(1)->FilterOrder(), 2);
    EXPECT_EQ(set.ParametricBand(1)->UserData(), std::string("\x20\x01\x00", 3));
}

TEST(GraphicEq, RebuildFillsSlotsByTagAndLeavesOthersOut) {
    TU32EQ1_3 set;
    set.ClearOwnedObjects();
    EXPECT_EQ(set.NumOwnedObjs, 0);
    EXPECT_EQ(set.AddOwnedObject(TaggedBand<TGeqFilterBand>(4, "g4")), nullptr);
    EXPECT_NE(set.AddOwnedObject(TaggedBand<TGeqFilterBand>(29, "g29")), nullptr);
    EXPECT_EQ(set.AddOwnedObject(TaggedBand<TPeqFilterBand>(1, "p1")), nullptr);
    EXPECT_NE(set.AddOwnedObject(TaggedBand<TPeqFilterBand>(2, "p2")), nullptr);
    EXPECT_EQ(set.AddOwnedObject(std::make_unique<TOutputGainControl>()), nullptr);
    EXPECT_EQ(set.AddOwnedObject(std::make_unique<TAudioObjectInput>()), nullptr);
    EXPECT_NE(set.AddOwnedObject(std::make_unique<TAudioElement>()), nullptr);
    ObjectList list;
    set.CollectObjects(list);
    std::vector<std::string> names;
    for (TVEKroot* o : list)
        names.push_back(o->ObjectName());
    EXPECT_EQ(names, (std::vector<std::string>{"Graphic EQ Set", "AudioObjectInput",
                                               "Output Gain Control", "g4", "p1"}));
    EXPECT_EQ(set.NumOwnedObjs, 4);
    EXPECT_EQ(set.GraphicBand(3), nullptr);
}

TEST(GraphicEq, NamesAndNodesAreTheInputsAndTheOutputStages) {
    TU32EQ1_3 set;
    set.SetInputName(0, std::string(30, 'a'));
    set.SetOutputNode(0, 9);
    set.SetInputNode(0, 8);
    EXPECT_EQ(set.GetInputName(0), std::string(24, 'a'));
    EXPECT_EQ(set.Output()->GetOutputNode(0), 9);
    EXPECT_EQ(set.Input()->GetInputNode(0), 8);
}

TEST(GraphicEq, StreamRoundTripAndACutStreamIsReported) {
    TU32EQ1_3 set;
    set.GraphicBand(12)->SetGainDb(-4.5);
    set.ParametricBand(0)->SetFrequency(63);
    set.SetOutputName(0, "Hall");
    std::vector<uint8_t> bytes;
    ByteWriter out(bytes);
    set.SaveToStream(out);

    TU32EQ1_3 copy;
    copy.ClearOwnedObjects();  // as a rebuild leaves it
    ByteReader in(bytes);
    ShownMessages shown;
    ASSERT_TRUE(copy.LoadFromStream(in));
    EXPECT_TRUE(shown.texts.empty());
    EXPECT_EQ(copy.NumOwnedObjs, 33);
    EXPECT_DOUBLE_EQ(copy.GraphicBand(12)->GainDb(), -4.5);
    EXPECT_NEAR(copy.ParametricBand(0)->Frequency(), 63, 0.1);
    EXPECT_EQ(copy.GetOutputName(0), "Hall");

    // Cut inside the last band's record.
    std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 10);
    ByteReader shortIn(cut);
    TU32EQ1_3 partial;
    EXPECT_FALSE(partial.LoadFromStream(shortIn));
    EXPECT_EQ(shown.texts, (std::vector<std::string>{"Error Reading 1/3 Octave EQ Data"}));
    EXPECT_DOUBLE_EQ(partial.GraphicBand(12)->GainDb(), -4.5) << "keeps what was read";
}
