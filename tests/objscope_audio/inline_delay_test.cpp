// The delay objects (the line's taps, the tap class chosen by class ID, the
// sample delay's limits) and the delay grid's numbers: a delay as time and
// as distance at the editor's temperature.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "audio/delay/delay_distance.h"
#include "audio/delay/delay_objects.h"
#include "model/object_build.h"
#include "object_values.h"
#include "values/property_typed_values.h"

using namespace objscope;
using namespace objscope::audio;
using namespace objscope_audio_test;

TEST(SampleDelay, KeepsOneToTwentySamples) {
    const TU32SampleDelay samples;
    const LimitCase cases[] = {
        {"0 samples", samples, kSamplesOfDelayProperty, 0, 1},
        {"above 20 samples", samples, kSamplesOfDelayProperty, 30, 20},
        {"12 samples", samples, kSamplesOfDelayProperty, 12, 12},
    };
    ExpectLimits(cases);
}

TEST(DelayLine, TapCountIsLimitedAndNewTapsAreOfTheLinesKind) {
    const struct { int requested, taps; } cases[] = {{1, 1}, {8, 8}, {72, 72}, {100, 72}, {0, 1}};
    for (const auto& c : cases) {
        TU32SignalDelayLine line;
        line.SetNumOutputs(static_cast<uint16_t>(c.requested));
        EXPECT_EQ(line.TapCount(), c.taps) << c.requested;
        EXPECT_EQ(line.NumOwnedObjs, c.taps);
        EXPECT_EQ(line.NumOutputs, c.taps);
    }
    TU32SignalDelayLine line;
    line.SetNumOutputs(3);
    line.SetNumOutputs(2);
    ObjectList list;
    line.CollectObjects(list);
    ASSERT_EQ(list.size(), 4u);  // the line, its input, two taps
    EXPECT_EQ(list[3]->ObjectName(), "Delay 2");
    EXPECT_EQ(list[3]->TagField(), 2);
    EXPECT_EQ(list[3]->ClassName(), "TSignalDelay");

    TU32DelayLineAutoCalc autoCalc;
    autoCalc.SetNumOutputs(2);
    EXPECT_EQ(autoCalc.Tap(1).ClassName(), "TSignalDelayAutoCalc");
    EXPECT_EQ(autoCalc.Tap(1).DelayPropertyID(), tap_property::kBaseDelay);
    EXPECT_NE(autoCalc.Input(), nullptr);
}

// A listed tap of class 51 is built as an auto-calculating tap (the
// catalogue names the plain tap's class for both IDs) and keeps its target
// properties; one of class 35 is a plain tap.
TEST(DelayLine, ListedTapsAreBuiltByTheirClassID) {
    RegisterDelayClasses();
    const auto number = [](uint16_t id, double value) {
        auto property = std::make_unique<TU32SWord>();
        property->SetPropertyID(id);
        property->SetData(value);
        return property;
    };
    const auto owner = [](uint16_t handle) {
        auto property = std::make_unique<TU32aesOBJ_Handle>();
        property->SetPropertyID(kOwnerHandlePropertyID);
        property->SetData(handle);
        return property;
    };
    std::vector<TListedObject> listing(3);
    listing[0].objHandle = 620;
    listing[0].classId = 61;
    auto userData = std::make_unique<TU32UserData>();
    userData->SetPropertyID(kUserDataPropertyID);
    userData->SetData("D");
    listing[0].properties.push_back(std::move(userData));
    listing[1].objHandle = 622;
    listing[1].classId = 51;
    listing[1].properties.push_back(owner(620));
    for (uint16_t id = 5122; id <= 5125; ++id)
        listing[1].properties.push_back(number(id, id - 5000));
    listing[2].objHandle = 602;
    listing[2].classId = 35;
    auto built = BuildObjects(0, 1, listing);
    ASSERT_EQ(built.size(), 2u);
    auto* line = dynamic_cast<TU32DelayLineAutoCalc*>(built[0].get());
    ASSERT_NE(line, nullptr);
    ASSERT_EQ(line->TapCount(), 1);
    const TDelayTap& tap = line->Tap(0);
    EXPECT_EQ(tap.ClassName(), "TSignalDelayAutoCalc");
    EXPECT_EQ(tap.ClassID(), 51);
    for (uint16_t id = 5122; id <= 5125; ++id)
        EXPECT_DOUBLE_EQ(Number(tap, id).GetData(), id - 5000) << id;
    EXPECT_EQ(built[1]->ClassName(), "TSignalDelay");
    EXPECT_EQ(built[1]->ClassID(), 35);
}

// At 21 °C sound travels 343979 mm/s: 0.343979 m or 1.128540 ft per ms.
TEST(DelayDistance, DelayAndDistanceAtTheEditorsTemperature) {
    const double metres = DistanceFactor(kDelayTemperature, TDistanceUnit::kMetres);
    const double feet = DistanceFactor(kDelayTemperature, TDistanceUnit::kFeet);
    EXPECT_DOUBLE_EQ(metres, 0.343979);
    EXPECT_NEAR(feet, 0.343979 * 3.2808398950131233596, 1e-12);
    const struct {
        double ms;
        TDistanceUnit unit;
        const char* distance;
    } cases[] = {
        {10, TDistanceUnit::kMetres, "3.439 m"},  // 3.43979 truncated
        {10, TDistanceUnit::kFeet, "11.28 ft"},   // 11.2854 truncated
        {0, TDistanceUnit::kMetres, "0 m"},          {0, TDistanceUnit::kFeet, "0 ft"},
        {1, TDistanceUnit::kMetres, "0.343 m"},      {100, TDistanceUnit::kMetres, "34.397 m"},
        {2.9069, TDistanceUnit::kMetres, "0.999 m"}, {8.88623, TDistanceUnit::kFeet, "10.02 ft"},
    };
    for (const auto& c : cases) {
        const double factor = c.unit == TDistanceUnit::kFeet ? feet : metres;
        EXPECT_EQ(DistanceCellText(DistanceOfDelay(c.ms, factor, c.unit), c.unit), c.distance)
            << c.ms;
    }
}

TEST(DelayDistance, TypedDistanceTurnsBackIntoADelay) {
    const double metres = DistanceFactor(kDelayTemperature, TDistanceUnit::kMetres);
    const double feet = DistanceFactor(kDelayTemperature, TDistanceUnit::kFeet);
    // Truncated to the unit's steps before the division.
    EXPECT_DOUBLE_EQ(DelayOfDistance(3.4399, metres, TDistanceUnit::kMetres), 3.439 / metres);
    EXPECT_DOUBLE_EQ(DelayOfDistance(11.289, feet, TDistanceUnit::kFeet), 11.28 / feet);
    EXPECT_NEAR(DelayOfDistance(3.43979, metres, TDistanceUnit::kMetres), 9.99770, 1e-5);
    EXPECT_DOUBLE_EQ(DelayOfDistance(0, feet, TDistanceUnit::kFeet), 0);
}

TEST(DelayDistance, TimeCellsAndTheSpeedOfSoundGuard) {
    const struct {
        double ms;
        const char* text;
    } cells[] = {{10, "10.000 msec"},
                 {0.0208333, "0.020 msec"},
                 {1.9999, "1.999 msec"},
                 {3, "3.000 msec"},
                 {0, "0.000 msec"}};
    for (const auto& c : cells)
        EXPECT_EQ(DelayCellText(c.ms, 1000), c.text) << c.ms;
    EXPECT_DOUBLE_EQ(DelayOfCellText("12.3456 msec", 1000), 12.345);
    EXPECT_DOUBLE_EQ(DelayOfCellText("abc", 1000), 0);
    EXPECT_DOUBLE_EQ(TruncateToSteps(2.9999999999, 1000), 3.0);
    // Far below absolute zero the formula gives no speed; the editor keeps
    // 1 mm/s so a distance still divides.
    EXPECT_EQ(GuardedSpeedOfSound(21), 343979);
    EXPECT_EQ(GuardedSpeedOfSound(-32768), 1);
    EXPECT_GT(DistanceFactor(-32768, TDistanceUnit::kMetres), 0);
}
