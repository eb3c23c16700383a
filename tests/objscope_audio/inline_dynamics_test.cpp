// The dynamics processors' objects: defaults and limits, the noise gate's
// side chain input and the audio comparator's two inputs.
#include <gtest/gtest.h>

#include "audio/dynamics/dynamics_objects.h"
#include "object_values.h"

using namespace objscope;
using namespace objscope::audio;
using namespace objscope_audio_test;

TEST(DynamicsObjects, PropertiesKeepTheirLimits) {
    const TU32Limiter limiter;
    const TU32Compressor compressor;
    const TU32NoiseGate gate;
    const TU32EnvelopeDetector detector;
    const LimitCase cases[] = {
        {"limiter attack above 50 ms", limiter, limiter_property::kAttack, 100, 50},
        {"limiter attack below 0.02 ms", limiter, limiter_property::kAttack, 0, 0.02},
        {"limiter release above 5000 ms", limiter, limiter_property::kRelease, 9000, 5000},
        {"limiter gain above 10 dB", limiter, limiter_property::kGain, 12, 10},
        {"limiter gain below -20 dB", limiter, limiter_property::kGain, -30, -20},
        {"limiter threshold above 0 dB", limiter, limiter_property::kThreshold, 3, 0},
        {"limiter knee type above 1", limiter, limiter_property::kKneeType, 2, 1},
        {"compressor ratio above 16", compressor, limiter_property::kCompressionRatio, 20, 16},
        {"compressor ratio below 1", compressor, limiter_property::kCompressionRatio, 0.5, 1},
        {"gate attack below one sample", gate, gate_property::kAttack, 0, 1000.0 / 48000},
        {"gate release below one sample", gate, gate_property::kRelease, -5, 1000.0 / 48000},
        {"gate hold above 600 s", gate, gate_property::kHold, 700000, 600000},
        {"gate closed gain below -100 dB", gate, gate_property::kClosedGain, -120, -100},
        {"detector attack below 1 ms", detector, detector_property::kAttack, 0.5, 1},
        {"detector hold below 0", detector, detector_property::kHold, -1, 0},
    };
    ExpectLimits(cases);
}

TEST(DynamicsObjects, Defaults) {
    const TU32Limiter limiter;
    const TU32Compressor compressor;
    const TU32NoiseGate gate;
    const TU32EnvelopeDetector detector;
    const TU32AudioComparator comparator;
    const DefaultCase cases[] = {
        {"limiter attack", limiter, limiter_property::kAttack, 1.0},
        {"limiter release", limiter, limiter_property::kRelease, 1000},
        {"limiter input level", limiter, limiter_property::kInputLevel, -100},
        {"compressor ratio", compressor, limiter_property::kCompressionRatio, 1.0},
        {"gate attack: one sample", gate, gate_property::kAttack, 1000.0 / 48000},
        {"gate hold", gate, gate_property::kHold, 20},
        {"gate current gain", gate, gate_property::kCurrentGain, -100},
        {"detector attack", detector, detector_property::kAttack, 600},
        {"comparator offset level", comparator, comparator_property::kOffsetLevel, -40},
    };
    ExpectDefaults(cases);
    EXPECT_TRUE(limiter.FindProperty(limiter_property::kCurrentGain)->ReadOnly());
    EXPECT_TRUE(gate.FindProperty(gate_property::kGateState)->ReadOnly());
    EXPECT_FALSE(limiter.FindProperty(limiter_property::kThreshold)->ReadOnly());
    EXPECT_EQ(compressor.ClassID(), 49);
    EXPECT_EQ(compressor.ObjectName(), "Compressor");
    // The limiter's release is declared as a 3-byte item (36867).
    EXPECT_EQ(limiter.FindProperty(limiter_property::kRelease)->PropertyID(), 36867);
}

TEST(NoiseGate, TakesOneOrTwoInputsAndTheSecondIsTheSideChain) {
    TU32NoiseGate gate;
    EXPECT_EQ(gate.NumInputs, 1);
    gate.SetNumInputs(3);
    EXPECT_EQ(gate.NumInputs, 1);
    gate.SetNumInputs(2);
    gate.SetSideChainEnabled(true);
    EXPECT_EQ(gate.NumInputs, 2);
    EXPECT_EQ(gate.GetInputName(2), "Side Chain");
    EXPECT_EQ(gate.GetInputName(1), "In");
    gate.SetInputNode(2, 77);
    EXPECT_EQ(Number(gate, gate_property::kSideChainSource).GetData(), 77);
    EXPECT_EQ(gate.GetInputNode(2), 77);
    EXPECT_EQ(gate.GetInputNode(1), 0);
    gate.SetNumInputs(0);  // refused: the side chain stays
    EXPECT_TRUE(gate.SideChainEnabled());
    gate.SetNumInputs(1);
    EXPECT_EQ(gate.NumInputs, 1);
    EXPECT_FALSE(gate.SideChainEnabled());
}

TEST(AudioComparator, InputsAreNamedAndConnectedThroughTheirSources) {
    TU32AudioComparator comparator;
    EXPECT_EQ(comparator.NumInputs, 2);
    EXPECT_EQ(comparator.NumOutputs, 0);
    EXPECT_EQ(comparator.GetInputName(1), "+");
    EXPECT_EQ(comparator.GetInputName(2), "-");
    EXPECT_EQ(comparator.GetInputName(3), "");
    comparator.SetInputNode(1, 12);
    comparator.SetInputNode(2, 13);
    comparator.SetInputNode(3, 14);  // no such input
    EXPECT_EQ(Number(comparator, comparator_property::kPlusSource).GetData(), 12);
    EXPECT_EQ(Number(comparator, comparator_property::kMinusSource).GetData(), 13);
    EXPECT_EQ(comparator.GetInputNode(3), 0);
}
