// The gain controls', meter's and card channels' objects: defaults and
// limits, and the card connector's channels.
#include <gtest/gtest.h>

#include "audio/gain/card_objects.h"
#include "audio/gain/gain_objects.h"
#include "object_values.h"

using namespace objscope;
using namespace objscope::audio;
using namespace objscope_audio_test;

TEST(GainObjects, PropertiesKeepTheirLimits) {
    const TU32GainControl gain;
    const TU32ProgGainControl prog;
    const TU32ADChannel ad;
    const TU32DAChannel da;
    const TU32CardInput input;
    const TU32Meter meter;
    const LimitCase cases[] = {
        {"gain above 20 dB", gain, gain_property::kGain, 25, 20},
        {"gain below -60 dB", gain, gain_property::kGain, -70, -60},
        {"desired level above 0 dB", prog, prog_gain_property::kDesiredLevel, 5, 0},
        {"stop threshold below -100 dB", prog, prog_gain_property::kStopThreshold, -120, -100},
        {"fast hold above 512 s", prog, 5133, 600, 512},
        {"slow attack below 1 ms", prog, 5136, 0, 1},
        {"A/D input level above 44 dB", ad, 4097, 50, 44},
        {"A/D input level below -56 dB", ad, 4097, -60, -56},
        {"A/D channel above 8", ad, 4096, 9, 8},
        {"D/A output level below 14 dBu", da, 4097, 10, 14},
        {"D/A output level above 24 dBu", da, 4097, 30, 24},
        {"card input channel above 16", input, 4096, 17, 16},
        {"meter level above 0 dB", meter, kMeterLevelProperty, 3, 0},
        {"meter level below -138 dB", meter, kMeterLevelProperty, -150, -138},
    };
    ExpectLimits(cases);
}

TEST(GainObjects, Defaults) {
    const TU32ProgGainControl prog;
    const TU32IntGainCtrl integrating;
    const TU32GainControl gain;
    const TU32ADChannel ad;
    const TU32DAChannel da;
    const DefaultCase cases[] = {
        {"gain", gain, gain_property::kGain, 0},
        {"gain coefficient", gain, gain_property::kCoefficient, 1},
        {"desired level", prog, prog_gain_property::kDesiredLevel, -10},
        {"stop threshold", prog, prog_gain_property::kStopThreshold, -30},
        {"integrating time", prog, prog_gain_property::kIntegratingTime, 3000},
        {"fast attack", prog, 5131, 600},
        {"fast hold", prog, 5133, 0.0078125},
        {"slow release", prog, 5137, 8000},
        {"slow hold", prog, 5138, 1},
        {"time constant", integrating, gain_property::kTimeConstant, 50},
        {"new A/D channel's input level", ad, 4097, 14},
        {"new D/A channel's output level", da, 4097, 14},
    };
    ExpectDefaults(cases);
    // The detectors' times are 4-byte items, their levels read-only.
    EXPECT_EQ(prog.FindProperty(5131)->PropertyID(), 54283);
    EXPECT_EQ(prog.FindProperty(5139)->PropertyID(), 21523);
    EXPECT_TRUE(prog.FindProperty(5139)->ReadOnly());
    EXPECT_TRUE(gain.FindProperty(gain_property::kCoefficient)->ReadOnly());
    EXPECT_TRUE(ad.FindProperty(4102)->ReadOnly());
}

TEST(CardConnector, OwnsUpTo16InputsAnd16Outputs) {
    TU32CardConnector connector;
    for (int i = 0; i < 17; ++i) {
        auto refused = connector.AddOwnedObject(std::make_unique<TU32CardInput>());
        EXPECT_EQ(refused == nullptr, i < 16) << i;
    }
    EXPECT_EQ(connector.AddOwnedObject(std::make_unique<TU32CardOutput>()), nullptr);
    EXPECT_NE(connector.AddOwnedObject(std::make_unique<TU32ADChannel>()), nullptr);
    EXPECT_EQ(connector.NumOwnedObjs, 17);
    EXPECT_EQ(connector.InputCount(), 16);
    EXPECT_EQ(connector.OutputCount(), 1);
    ObjectList list;
    connector.CollectObjects(list);
    EXPECT_EQ(list.size(), 18u);
    EXPECT_EQ(list.back()->ClassName(), "TU32CardOutput");
    connector.ClearOwnedObjects();
    EXPECT_EQ(connector.NumOwnedObjs, 0);
    // Its card number is its own property 2048, not an audio element's mute.
    EXPECT_EQ(connector.FindProperty(2048)->Name(), "Card Number");
    auto* handle = dynamic_cast<TU32aesDEV_Handle*>(connector.FindProperty(18434));
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(handle->Data(), 65535);
}
