// The bound slider's arithmetic: track layout, scale intervals (including a
// track too short for its ticks) and the arrow step.
#include "windows/slider_scale.h"

#include <gtest/gtest.h>

namespace objscope {
namespace {

TEST(SliderLayout, DefaultSliderLeavesRoomForTheHandle) {
    // 250 high, top space 3, border 2: 250 - 6 - 4 - 2 = 238, minus the handle.
    const TSliderLayout layout = LayoutSliderTrack({});
    EXPECT_EQ(layout.trackTop, 3 + 2 + 6);
    EXPECT_EQ(layout.trackHeight, 238 - 13);
    EXPECT_EQ(layout.trackBottom, layout.trackTop + layout.trackHeight);
    EXPECT_DOUBLE_EQ(layout.valuePerPixel, 80.0 / 225);
}

TEST(SliderLayout, TextBoxAndMeterShapes) {
    TSliderLayoutInput slider;
    slider.textBoxHeight = 21;
    EXPECT_EQ(LayoutSliderTrack(slider).trackHeight, (250 - 6 - 4) - 21 - 2 - 3 - 13);
    TSliderLayoutInput meter;
    meter.meter = true;
    meter.legend = false;
    EXPECT_EQ(LayoutSliderTrack(meter).trackHeight, 238);
    EXPECT_EQ(LayoutSliderTrack(meter).trackTop, 5);
    TSliderLayoutInput flat;
    flat.dataMax = flat.dataMin = 5;
    EXPECT_DOUBLE_EQ(LayoutSliderTrack(flat).valuePerPixel, 1);
}

TEST(SliderScale, IntervalsByTrackHeight) {
    struct Case {
        int trackHeight;
        double fixed, dataMax, dataMin, intervals;
    };
    const Case cases[] = {
        {200, 0, 20, -60, 8},    // 80 intervals are too dense, 8 give 25 pixels each
        {200, 5, 20, -60, 5},    // a fixed count is kept
        {200, 0, 0, 0, 2},       // no range
        {1000, 0, 20, -60, 40},  // 12.5 px per 10 dB: 80 is too dense, 8 too wide, 80/2
        {1, 0, 20, -60, 0.04},   // one pixel still ends
        {0, 0, 20, -60, 0},      // no track: no ticks
        {-1, 0, 20, -60, 0},     // a control too small for its ticks: no ticks,
        {-250, 0, 12, -12, 0},   // instead of dividing forever
    };
    for (const Case& c : cases)
        EXPECT_NEAR(ScaleIntervals(c.fixed, c.dataMax, c.dataMin, c.trackHeight), c.intervals, 1e-9)
            << "track height " << c.trackHeight;
}

TEST(SliderScale, ArrowStep) {
    EXPECT_DOUBLE_EQ(ArrowStepFor(0, 128), 0.5);
    EXPECT_DOUBLE_EQ(ArrowStepFor(0, 0.1), 10);
    EXPECT_DOUBLE_EQ(ArrowStepFor(3, 128), 3);
}

}  // namespace
}  // namespace objscope
