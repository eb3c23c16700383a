// The mixer, the signal selector and their internal variants: inputs and
// their limits, the owned objects as editors number them, rebuilding from a
// device listing, and the selection that mutes the other inputs.
#include "audio/mixing/mixer_objects.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/class_catalogue.h"
#include "model/object_build.h"
#include "model/object_copy.h"
#include "values/property_string_value.h"

using namespace objscope;
using namespace objscope::audio;

namespace {

std::vector<std::string> Names(TVEKroot& object) {
    ObjectList list;
    object.CollectObjects(list);
    std::vector<std::string> names;
    for (TVEKroot* o : list)
        names.push_back(o->ClassName() + ":" + o->ObjectName());
    return names;
}

std::vector<bool> Mutes(const TMixerBase& mixer) {
    std::vector<bool> mutes;
    for (int k = 1; k <= mixer.InputCount(); ++k)
        mutes.push_back(mixer.Input(k) && IsMuted(*mixer.Input(k)));
    return mutes;
}

class MixerClasses : public ::testing::Test {
  protected:
    void SetUp() override { RegisterMixerClasses(); }
};

}  // namespace

TEST(Mixer, NewMixerHasTwoInputsAfterItsOutputStage) {
    TU32Mixer mixer;
    EXPECT_EQ(mixer.ClassID(), 59);
    EXPECT_EQ(mixer.ObjectName(), "Mixer");
    EXPECT_EQ(mixer.NumInputs, 2);
    EXPECT_EQ(mixer.NumOutputs, 1);
    EXPECT_EQ(mixer.NumOwnedObjs, 3);
    EXPECT_EQ(Names(mixer),
              (std::vector<std::string>{"TU32Mixer:Mixer", "TOutputGainControl:Output Gain Control",
                                        "TInputGainControl:1", "TInputGainControl:2"}));
    EXPECT_EQ(mixer.Input(2)->TagField(), 2);
    EXPECT_EQ(mixer.Input(1)->Gain().gain->Min(), -60);
    EXPECT_EQ(mixer.Input(1)->Gain().gain->Max(), 0);
    EXPECT_EQ(mixer.Output()->Gain().gain->Max(), 10);
    EXPECT_EQ(mixer.NomAdjustSlope().GetData(), 0);
    EXPECT_EQ(mixer.NomAdjustSlope().Max(), 6);
    EXPECT_EQ(mixer.NomCount().Value(), 1);
    EXPECT_EQ(mixer.NomAdjustSlope().PropertyID() & 0x3FFF, 3072);
    EXPECT_EQ(mixer.NomCount().PropertyID() & 0x3FFF, 3073);
}

TEST(Mixer, InputCountIsLimitedByTheClass) {
    const struct {
        int requested, plain, internal;
    } cases[] = {{100, 72, 100}, {72, 72, 72}, {300, 72, 256}, {0, 1, 0}, {1, 1, 1}, {5, 5, 5}};
    for (const auto& c : cases) {
        TU32Mixer mixer;
        TU32SpecialMixer special;
        TU32SignalSelector selector;
        mixer.SetNumInputs(static_cast<uint16_t>(c.requested));
        special.SetNumInputs(static_cast<uint16_t>(c.requested));
        selector.SetNumInputs(static_cast<uint16_t>(c.requested));
        EXPECT_EQ(mixer.InputCount(), c.plain) << c.requested;
        EXPECT_EQ(selector.InputCount(), c.plain) << c.requested;
        EXPECT_EQ(special.InputCount(), c.internal) << c.requested;
        EXPECT_EQ(mixer.NumOwnedObjs, c.plain + 1);
    }
    TU32Mixer mixer;
    mixer.SetNumInputs(5);
    mixer.SetInputName(5, "Lectern");
    mixer.SetNumInputs(3);
    mixer.SetNumInputs(5);
    EXPECT_EQ(mixer.Input(5)->ObjectName(), "5") << "a new input, not the freed one";
    EXPECT_EQ(mixer.GetInputName(5), "Out");
}

TEST(Mixer, NamesAndNodesAddressInputsFromOneAndTheOutputStage) {
    TU32Mixer mixer;
    mixer.SetInputNode(2, 77);
    mixer.SetInputName(1, std::string(30, 'x'));
    mixer.SetOutputNode(1, 12);
    mixer.SetInputNode(0, 5);  // no input 0
    mixer.SetInputNode(3, 5);  // nor 3
    EXPECT_EQ(mixer.GetInputNode(2), 77);
    EXPECT_EQ(mixer.Input(2)->GetInputNode(0), 77);
    EXPECT_EQ(mixer.GetInputNode(1), 0);
    EXPECT_EQ(mixer.GetInputName(1), std::string(24, 'x'));
    EXPECT_EQ(mixer.GetInputName(3), "");
    EXPECT_EQ(mixer.GetOutputNode(1), 12);

    PropertyList list;
    EXPECT_TRUE(mixer.GetInputProperties(2, list));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]->Name(), "Gain");
    EXPECT_EQ(list[1]->Name(), "Mute");
    EXPECT_EQ(list[2]->Name(), "Polarity Inverted?");
    EXPECT_FALSE(mixer.GetInputProperties(3, list));
    EXPECT_TRUE(mixer.GetOutputProperties(1, list));
    EXPECT_EQ(list.size(), 6u);
}

TEST(Mixer, RebuildPlacesInputsByTagAndHandsBackStrangers) {
    TU32Mixer mixer;
    mixer.ClearOwnedObjects();
    EXPECT_EQ(mixer.NumOwnedObjs, 0);
    EXPECT_EQ(mixer.InputCount(), 0);
    auto input = [](int tag, const char* name) {
        auto in = std::make_unique<TInputGainControl>();
        in->SetTagField(static_cast<uint8_t>(tag));
        in->SetObjectName(name);
        return in;
    };
    EXPECT_EQ(mixer.AddOwnedObject(input(2, "second")), nullptr);
    EXPECT_EQ(mixer.AddOwnedObject(std::make_unique<TOutputGainControl>()), nullptr);
    EXPECT_EQ(mixer.AddOwnedObject(input(1, "first")), nullptr);
    EXPECT_NE(mixer.AddOwnedObject(input(0, "untagged")), nullptr);
    EXPECT_NE(mixer.AddOwnedObject(input(73, "beyond")), nullptr);
    EXPECT_NE(mixer.AddOwnedObject(std::make_unique<TAudioObjectInput>()), nullptr);
    EXPECT_EQ(mixer.AddOwnedObject(input(2, "again")), nullptr) << "replaces input 2";
    EXPECT_EQ(Names(mixer),
              (std::vector<std::string>{"TU32Mixer:Mixer", "TOutputGainControl:Output Gain Control",
                                        "TInputGainControl:first", "TInputGainControl:again"}));
    EXPECT_EQ(mixer.NumOwnedObjs, 3);
    EXPECT_EQ(mixer.Input(2)->Gain().gain->Min(), -60) << "a listed input takes its limits";
    EXPECT_EQ(mixer.Input(2)->Gain().gain->Max(), 0);
    EXPECT_EQ(mixer.Output()->Gain().gain->Max(), 10);

    // A gap stays empty and is skipped.
    TU32Mixer gapped;
    gapped.ClearOwnedObjects();
    gapped.AddOwnedObject(input(3, "third"));
    EXPECT_EQ(gapped.InputCount(), 3);
    EXPECT_EQ(gapped.Input(1), nullptr);
    EXPECT_EQ(Names(gapped),
              (std::vector<std::string>{"TU32Mixer:Mixer", "TInputGainControl:third"}));
}

TEST(Selector, SelectionMutesEveryOtherInput) {
    const struct {
        int inputs;
        bool forceOne;
        int select, stored;
        std::vector<bool> mutes;
    } cases[] = {
        {3, false, 2, 2, {true, false, true}}, {3, false, 0, 0, {true, true, true}},
        {3, true, 0, 1, {false, true, true}},  // force one: 0 becomes 1
        {3, false, 5, 5, {true, true, true}},  // above the count: none in force
        {3, true, 5, 5, {true, true, true}},
    };
    for (const auto& c : cases) {
        TU32SignalSelector selector;
        selector.SetNumInputs(static_cast<uint16_t>(c.inputs));
        selector.SetForceOne(c.forceOne);
        selector.SetSelection(c.select);
        EXPECT_EQ(selector.Selection(), c.stored) << c.select;
        EXPECT_EQ(Mutes(selector), c.mutes) << c.select;
    }
    TU32SignalSelector selector;
    EXPECT_EQ(selector.ClassID(), 58);
    EXPECT_EQ(selector.ObjectName(), "Signal Selector");
    EXPECT_EQ(selector.FindProperty(3072)->Name(), "Current Selection");
    EXPECT_EQ(selector.FindProperty(3073)->Name(), "Force One Selection?");
    EXPECT_EQ(selector.SelectionProperty().Max(), 72);
    EXPECT_EQ(Mutes(selector), (std::vector<bool>{true, true})) << "nothing selected yet";
    selector.SetSelection(5);
    selector.SetNumInputs(6);
    EXPECT_EQ(Mutes(selector), (std::vector<bool>{true, true, true, true, false, true}))
        << "an input added later takes up the kept selection";
    EXPECT_EQ(selector.EffectiveSelection(), 5);
}

TEST_F(MixerClasses, VariantsAreBuiltFromTheirUserDataLetter) {
    EXPECT_EQ(TU32SpecialMixer().UserData(), "m");
    EXPECT_EQ(TU32SpcSignalSelector().UserData(), "s");
    EXPECT_EQ(TU32SpcSignalSelector().SelectionProperty().Max(), 255);
    const struct {
        uint16_t classId;
        const char* userData;
        const char* className;
    } cases[] = {{59, "", "TU32Mixer"},
                 {59, "m", "TU32SpecialMixer"},
                 {59, "n", "TU32Mixer"},
                 {58, "", "TU32SignalSelector"},
                 {58, "s", "TU32SpcSignalSelector"}};
    for (const auto& c : cases) {
        std::vector<TListedObject> listing(1);
        listing[0].objHandle = 5;
        listing[0].classId = c.classId;
        auto userData = std::make_unique<TU32UserData>();
        userData->SetPropertyID(8);
        userData->SetData(c.userData);
        listing[0].properties.push_back(std::move(userData));
        auto built = BuildObjects(0, 1, listing);
        ASSERT_EQ(built.size(), 1u);
        EXPECT_EQ(built[0]->ClassName(), c.className) << c.userData;
        EXPECT_EQ(built[0]->ClassID(), c.classId);
        EXPECT_EQ(built[0]->NumOwnedObjs, 0) << "emptied for the rebuild";
    }
}

// A copy holds the source's owned objects only, not the new object's
// defaults besides them.
TEST_F(MixerClasses, ACopyHasTheSourcesInputsAndNoMore) {
    for (uint16_t inputs : {1, 2, 5}) {
        TU32Mixer mixer;
        mixer.SetNumInputs(inputs);
        auto copy = CopyObject(mixer);
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(Names(*copy), Names(mixer)) << inputs << " inputs";
    }
}
