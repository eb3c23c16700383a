// The numbers the inline processors' editors share: the peak hold items and
// the time fields' steps.
#include <gtest/gtest.h>

#include "audio/shared/peak_hold_list.h"
#include "audio/shared/time_field.h"

using namespace objscope::audio;

TEST(PeakHoldItems, LeadingWholeNumberLimitedTo255) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"0 (don't hold)", 0}, {"1 sec", 1},     {"2 sec", 2}, {"4 sec", 4},
        {"10 sec", 10},        {"", 0},          {"sec", 0},   {"+7 s", 7},
        {"-3 sec", 0},         {"300 sec", 255}, {"255", 255}, {"1-2", 0},
        {" 5 sec", 0},  // the digits must start the text
    };
    for (const auto& c : cases)
        EXPECT_EQ(PeakHoldValueOfText(c.text), c.value) << c.text;
    QStringList items = PeakHoldItems();
    EXPECT_EQ(items.size(), 5);
    EXPECT_EQ(items.first(), "0 (don't hold)");
    EXPECT_EQ(items.last(), "10 sec");
}

TEST(TimeFieldSteps, ClickAddsOrSubtractsTheStepInForce) {
    const TTimeSteps compressor{1, OneSampleMs(48000)};
    const TTimeSteps gateHold{1000, 20};
    const TTimeSteps detectorHold{1, 0.125};
    const struct {
        const char* what;
        TTimeSteps steps;
        double current;
        bool fine, up;
        double next;
    } cases[] = {
        {"compressor up", compressor, 1, false, true, 2},
        {"compressor fine up: one sample", compressor, 1, true, true, 1 + 1000.0 / 48000},
        {"compressor fine down", compressor, 1, true, false, 1 - 1000.0 / 48000},
        {"gate hold up", gateHold, 20, false, true, 1020},
        {"gate hold fine down", gateHold, 20, true, false, 0},
        {"detector hold fine up", detectorHold, 0, true, true, 0.125},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(SteppedTime(c.current, c.steps, c.fine, c.up), c.next) << c.what;
    EXPECT_NEAR(OneSampleMs(48000), 0.0208333, 1e-7);
    EXPECT_DOUBLE_EQ(OneSampleMs(0), 0.02);
    EXPECT_DOUBLE_EQ(OneSampleMs(-1), 0.02);
}
