// The arithmetic of the bound slider and meter, apart from any widget: the
// track layout, the number of scale intervals and the arrow step that
// follows from a resolution (the numbers shown and typed are in
// control_numbers, shared with the edit and combo boxes).
#pragma once

namespace objscope {

// What the layout depends on.
struct TSliderLayoutInput {
    int width = 60;
    int height = 250;
    int topSpace = 3;
    int borderWidth = 2;    // 2 with a border, else 0
    int textBoxHeight = 0;  // 0 without a text box
    int legendWidth = 0;    // already measured
    bool meter = false;
    bool legend = true;
    double dataMax = 20;
    double dataMin = -60;
};

struct TSliderLayout {
    int trackTop = 0;
    int trackHeight = 0;
    int trackBottom = 0;
    double valuePerPixel = 1;
};

TSliderLayout LayoutSliderTrack(const TSliderLayoutInput& in);

// The number of scale intervals: `fixed` when non-zero, else chosen so an
// interval spans 20 to 40 pixels, preferring a divisor of the top value that
// brings it near 30. A track of no height (or less) has no intervals at all,
// so there is nothing to loop over and no ticks are drawn.
double ScaleIntervals(double fixed, double dataMax, double dataMin, int trackHeight);

// The arrow-key step: `arrowStep` when non-zero, else 0.5 for fine
// resolutions and one step for coarse ones.
double ArrowStepFor(double arrowStep, double stepsPerUnit);

}  // namespace objscope
