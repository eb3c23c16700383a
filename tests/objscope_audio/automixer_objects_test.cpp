// The automatic mixer's objects: the owned objects and their numbering,
// the input and output counts, the processing slots, the direct outputs,
// the node list and its wiring, the rebuild by tags and the stream record.
#include "audio/automixer/automixer_objects.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "values/property_messages.h"
#include "values/property_multi_value.h"

using namespace objscope;
using namespace objscope::audio;

namespace {

std::vector<std::string> Names(TVEKroot& object) {
    ObjectList list;
    object.CollectObjects(list);
    std::vector<std::string> names;
    for (TVEKroot* o : list)
        names.push_back(o->ClassName() + ":" + o->ObjectName() + ":" +
                        std::to_string(o->TagField()));
    return names;
}

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

double Value(const TVEKroot& object, uint16_t id) {
    auto* number = dynamic_cast<TU32MultiValue*>(object.FindProperty(id));
    EXPECT_NE(number, nullptr) << id;
    return number ? number->GetData() : -1;
}

template <class T>
std::unique_ptr<TVEKroot> WithTag(int tag, uint16_t classId = 0) {
    auto object = std::make_unique<T>();
    object->SetTagField(static_cast<uint8_t>(tag));
    if (classId != 0)
        object->SetClassID(classId);
    object->SetObjectName("placed " + std::to_string(tag));
    return object;
}

}  // namespace

TEST(AutoMixer, NewAutoMixerNumbersItsObjectsForTheEditor) {
    TU32AutoMixer mixer;
    EXPECT_EQ(mixer.ClassID(), 70);
    EXPECT_EQ(mixer.NumInputs, 2);
    EXPECT_EQ(mixer.NumOutputs, 1);
    EXPECT_EQ(
        Names(mixer),
        (std::vector<std::string>{
            "TU32AutoMixer:AutoMixer:0", "TU32AutoMixerGate:1:1", "TInlineAudioProcessing:1:129",
            "TInlineAudioProcessing:D1:1", "TU32Peq:1:1", "TU32AutoMixerGate:2:2",
            "TInlineAudioProcessing:2:130", "TInlineAudioProcessing:D2:2", "TU32Peq:2:2",
            "TU32Mixer:1:1", "TU32Mixer:IntDiscSummer:255", "TU32Mixer:ExtDiscSummer:254"}));
    EXPECT_EQ(mixer.NumOwnedObjs, 11);
    EXPECT_EQ(mixer.OutputMixer(1)->InputCount(), 2);
    EXPECT_EQ(mixer.IntDiscSummer()->InputCount(), 2);
    EXPECT_EQ(mixer.ExtDiscSummer()->InputCount(), 2);
    // Properties as a new automixer holds them.
    EXPECT_EQ(Value(mixer, 3072), 0);
    EXPECT_EQ(Value(mixer, 3073), 1);
    EXPECT_EQ(Value(mixer, 3074), 0) << "below its minimum of 1";
    EXPECT_EQ(Value(mixer, 3075), 4);
    EXPECT_EQ(Value(mixer, 3093), -50);
    EXPECT_TRUE(mixer.FindProperty(3079)->ReadOnly());
    // The voicing equaliser.
    const TU32Peq& eq = *mixer.Input(1)->eq;
    ASSERT_EQ(eq.BandCount(), 2);
    EXPECT_EQ(eq.Output()->Gain().gain->GetData(), -2.5);
    EXPECT_EQ(eq.Band(0).FilterType(), 102);
    EXPECT_EQ(eq.Band(0).FilterOrder(), 1);
    EXPECT_NEAR(eq.Band(0).Frequency(), 270.02, 0.5);
    EXPECT_NEAR(eq.Band(0).Q(), 0.707031, 1e-3);
    EXPECT_EQ(eq.Band(1).GainDb(), 7);
    EXPECT_NEAR(eq.Band(1).Frequency(), 3390.0, 2);
    // The gate.
    const TU32AutoMixerGate& gate = *mixer.Input(2)->gate;
    EXPECT_EQ(gate.ClassID(), 54);
    EXPECT_EQ(Value(gate, 20483), 3);
    EXPECT_EQ(gate.GetInputName(2), "Discriminator Input");
    EXPECT_EQ(gate.GetOutputName(2), "Level Output");
    EXPECT_EQ(gate.NumInputs, 2);
}

TEST(AutoMixer, CountsAreLimitedAndTheMixersFollowTheInputs) {
    const struct {
        int inputs, expectedInputs, outputs, expectedOutputs;
    } cases[] = {{100, 72, 12, 8}, {1, 2, 0, 1}, {9, 9, 3, 3}};
    for (const auto& c : cases) {
        TU32AutoMixer mixer;
        mixer.SetNumInputs(static_cast<uint16_t>(c.inputs));
        mixer.SetNumOutputs(static_cast<uint16_t>(c.outputs));
        EXPECT_EQ(mixer.InputCount(), c.expectedInputs) << c.inputs;
        EXPECT_EQ(mixer.OutputCount(), c.expectedOutputs) << c.outputs;
        for (int m = 1; m <= mixer.OutputCount(); ++m)
            EXPECT_EQ(mixer.OutputMixer(m)->InputCount(), c.expectedInputs);
        EXPECT_EQ(mixer.IntDiscSummer()->InputCount(), c.expectedInputs);
        EXPECT_EQ(mixer.ExtDiscSummer()->InputCount(), 2);
        EXPECT_EQ(mixer.NumOwnedObjs, 4 * c.expectedInputs + c.expectedOutputs + 2);
    }
    // A new output mixer takes each input's processed signal.
    TU32AutoMixer mixer;
    mixer.Input(2)->processing->SetOutputNode(0, 44);
    mixer.SetNumOutputs(2);
    EXPECT_EQ(mixer.OutputMixer(2)->GetInputNode(2), 44);
    EXPECT_EQ(mixer.OutputMixer(2)->ObjectName(), "2");
    EXPECT_EQ(mixer.OutputMixer(2)->TagField(), 2);
}

TEST(AutoMixer, ReplacingAProcessingSlotKeepsItsNodesAndAddress) {
    TU32AutoMixer mixer;
    mixer.SetAddress(0, 1, 500);
    mixer.SetNumInputs(3);
    TVEKroot& old = *mixer.Input(3)->processing;
    old.SetInputNode(0, 10);
    old.SetOutputNode(0, 11);
    old.SetAddress(0, 1, 541);
    TVEKroot* limiter = mixer.ReplaceProcessing(3, TProcessingKind::kLimiter);
    ASSERT_NE(limiter, nullptr);
    EXPECT_EQ(limiter->ClassID(), 37);
    EXPECT_EQ(limiter->ObjectName(), "Automatic Mixer Input 3");
    EXPECT_EQ(limiter->TagField(), 131);
    EXPECT_EQ(limiter->GetInputNode(0), 10);
    EXPECT_EQ(limiter->GetOutputNode(0), 11);
    EXPECT_EQ(limiter->ObjHandle(), 541);
    EXPECT_EQ(limiter->DevHandle(), 1);
    EXPECT_EQ(limiter->OwnerHandle(), 500);
    EXPECT_EQ(mixer.Kind(3), TProcessingKind::kLimiter);
    EXPECT_EQ(mixer.ReplaceProcessing(3, TProcessingKind::kLimiter), limiter) << "unchanged";
    const struct {
        TProcessingKind kind;
        uint16_t classId;
    } kinds[] = {{TProcessingKind::kCompressor, 49},
                 {TProcessingKind::kProgGain, 165},
                 {TProcessingKind::kNone, 36}};
    for (const auto& k : kinds) {
        TVEKroot* made = mixer.ReplaceProcessing(3, k.kind);
        EXPECT_EQ(made->ClassID(), k.classId);
        EXPECT_EQ(made->GetOutputNode(0), 11);
        EXPECT_EQ(mixer.Kind(3), k.kind);
    }
    EXPECT_EQ(mixer.ReplaceProcessing(4, TProcessingKind::kLimiter), nullptr);
}

TEST(AutoMixer, DirectOutputsFollowTheMixersWhenShown) {
    TU32AutoMixer mixer;
    mixer.SetNumInputs(4);
    mixer.SetNumOutputs(2);
    EXPECT_EQ(mixer.NumOutputs, 2);
    EXPECT_EQ(mixer.GetOutputName(3), "<Error>");
    mixer.SetShowDirectOutputs(true);
    EXPECT_EQ(mixer.NumOutputs, 6);
    EXPECT_EQ(mixer.GetOutputName(3), "D1");
    EXPECT_EQ(mixer.GetOutputName(6), "D4");
    mixer.SetOutputNode(4, 321);
    EXPECT_EQ(mixer.Input(2)->direct->GetOutputNode(0), 321);
    EXPECT_EQ(mixer.GetOutputNode(4), 321);
    mixer.SetOutputNode(1, 77);
    EXPECT_EQ(mixer.OutputMixer(1)->GetOutputNode(0), 77);
    mixer.SetShowDirectOutputs(false);
    EXPECT_EQ(mixer.NumOutputs, 2);
    EXPECT_EQ(mixer.Input(2)->direct->GetOutputNode(0), 0);
}

TEST(AutoMixer, NodeListRewiresTheInsideAndShortListsAreRefused) {
    TU32AutoMixer mixer;
    mixer.SetNumOutputs(2);
    std::vector<uint16_t> nodes = {11, 12, 13, 14, 21, 22, 23, 24, 31, 32};
    mixer.SetNodeList(nodes);
    EXPECT_EQ(mixer.GetNodeList(), nodes);
    for (int k = 1; k <= 2; ++k) {
        const TAutoMixInput& in = *mixer.Input(k);
        const uint16_t base = static_cast<uint16_t>(10 * k);
        EXPECT_EQ(in.processing->GetInputNode(0), base + 1) << "gate output";
        EXPECT_EQ(in.direct->GetInputNode(0), base + 3) << "processed";
        EXPECT_EQ(in.gate->DetectorNode(), base + 4) << "voiced";
        EXPECT_EQ(mixer.OutputMixer(1)->GetInputNode(k), base + 3);
        EXPECT_EQ(mixer.OutputMixer(2)->GetInputNode(k), base + 3);
        EXPECT_EQ(mixer.IntDiscSummer()->GetInputNode(k), base + 2) << "level";
        EXPECT_EQ(in.gate->DiscriminatorNode(), 32);
    }
    EXPECT_EQ(mixer.ExtDiscSummer()->GetInputNode(2), 31);

    ShownMessages shown;
    mixer.SetNodeList({1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_EQ(shown.texts, std::vector<std::string>{ShortNodeListText(9, 10)});
    EXPECT_EQ(mixer.GetNodeList(), nodes) << "nothing changed";
}

TEST(AutoMixer, CopyLayoutTakesKindsAndClearsNodes) {
    TU32AutoMixer source;
    source.SetNumInputs(3);
    source.SetNumOutputs(2);
    source.ReplaceProcessing(2, TProcessingKind::kCompressor);
    TU32AutoMixer copy;
    copy.SetNodeList(std::vector<uint16_t>(10, 9));
    copy.CopyLayout(source);
    EXPECT_EQ(copy.InputCount(), 3);
    EXPECT_EQ(copy.OutputCount(), 2);
    EXPECT_EQ(copy.Kind(2), TProcessingKind::kCompressor);
    EXPECT_EQ(copy.Kind(1), TProcessingKind::kNone);
    EXPECT_EQ(copy.GetNodeList(), std::vector<uint16_t>(14, 0));
}

TEST(AutoMixer, RebuildPlacesObjectsByTagInOrderAndIgnoresTheRest) {
    TU32AutoMixer mixer;
    mixer.ClearOwnedObjects();
    EXPECT_EQ(mixer.InputCount(), 2);
    EXPECT_EQ(mixer.OutputCount(), 1);
    EXPECT_EQ(mixer.IntDiscSummer(), nullptr);
    struct Case {
        const char* what;
        std::unique_ptr<TVEKroot> object;
        bool taken;
    } cases[] = {
        {"gate 3", WithTag<TU32AutoMixerGate>(3), true},
        {"gate 0", WithTag<TU32AutoMixerGate>(0), false},
        {"gate 73", WithTag<TU32AutoMixerGate>(73), false},
        {"internal summer", WithTag<TU32Mixer>(255), true},
        {"external summer", WithTag<TU32Mixer>(254), true},
        {"output mixer 2", WithTag<TU32Mixer>(2), true},
        {"mixer 9", WithTag<TU32Mixer>(9), false},
        {"limiter of input 3", WithTag<TInlineAudioProcessing>(131, 37), true},
        {"processing tag 128", WithTag<TInlineAudioProcessing>(128), false},
        {"processing of input 73", WithTag<TInlineAudioProcessing>(201), false},
        {"direct output 2", WithTag<TInlineAudioProcessing>(2), true},
        {"direct output 0", WithTag<TInlineAudioProcessing>(0), false},
        {"equaliser 3", WithTag<TU32Peq>(3), true},
        {"an input", WithTag<TAudioObjectInput>(1), false},
    };
    for (Case& c : cases) {
        auto back = mixer.AddOwnedObject(std::move(c.object));
        EXPECT_EQ(back == nullptr, c.taken) << c.what;
    }
    EXPECT_EQ(mixer.InputCount(), 3);
    EXPECT_EQ(mixer.OutputCount(), 2);
    EXPECT_EQ(mixer.Input(3)->gate->ObjectName(), "placed 3");
    EXPECT_EQ(mixer.Input(3)->processing->ObjectName(), "placed 131");
    EXPECT_EQ(mixer.Kind(3), TProcessingKind::kLimiter);
    EXPECT_EQ(mixer.Input(2)->direct->ObjectName(), "placed 2");
    EXPECT_EQ(mixer.Input(3)->eq->ObjectName(), "placed 3");
    EXPECT_EQ(mixer.IntDiscSummer()->ObjectName(), "placed 255");
    EXPECT_EQ(mixer.ExtDiscSummer()->ObjectName(), "placed 254");
    EXPECT_EQ(mixer.OutputMixer(2)->ObjectName(), "placed 2");
}

TEST(AutoMixer, StreamRecordRoundTripsLayoutAndValues) {
    TU32AutoMixer mixer;
    mixer.SetNumInputs(3);
    mixer.SetNumOutputs(2);
    mixer.SetShowDirectOutputs(true);
    mixer.ReplaceProcessing(2, TProcessingKind::kLimiter);
    mixer.SetNodeList({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
    dynamic_cast<TU32MultiValue*>(mixer.Input(3)->gate->FindProperty(4098))->SetData(42);
    std::vector<uint8_t> bytes;
    ByteWriter out(bytes);
    mixer.SaveToStream(out);

    TU32AutoMixer copy;
    ByteReader in(bytes);
    ASSERT_TRUE(copy.LoadFromStream(in));
    EXPECT_EQ(in.remaining(), 0u);
    EXPECT_EQ(copy.InputCount(), 3);
    EXPECT_EQ(copy.OutputCount(), 2);
    EXPECT_TRUE(copy.ShowDirectOutputs());
    EXPECT_EQ(copy.Kind(2), TProcessingKind::kLimiter);
    EXPECT_EQ(copy.GetNodeList(), mixer.GetNodeList());
    EXPECT_EQ(Value(*copy.Input(3)->gate, 4098), 42);

    ShownMessages shown;
    std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 3);
    TU32AutoMixer broken;
    ByteReader cutIn(cut);
    EXPECT_FALSE(broken.LoadFromStream(cutIn));
    EXPECT_EQ(shown.texts, std::vector<std::string>{"Error Reading AutoMixer Data"});
}

TEST(AutoMixerGating, BitsLightInputsByteByByte) {
    const struct {
        std::string bits;
        int inputs;
        std::vector<int> lit;
    } cases[] = {
        {std::string("\x05\x01", 2), 9, {1, 3, 9}}, {std::string("\x05\x01", 2), 8, {1, 3}},
        {std::string("\xFF", 1), 2, {1, 2}},        {std::string(), 4, {}},
        {std::string("\x00\x80", 2), 16, {16}},
    };
    for (const auto& c : cases) {
        const std::vector<bool> lights = GatingLights(c.bits, c.inputs);
        ASSERT_EQ(lights.size(), static_cast<size_t>(c.inputs));
        std::vector<int> lit;
        for (size_t i = 0; i < lights.size(); ++i)
            if (lights[i])
                lit.push_back(static_cast<int>(i) + 1);
        EXPECT_EQ(lit, c.lit) << c.inputs;
    }
}
