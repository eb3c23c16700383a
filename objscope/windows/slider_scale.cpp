#include "windows/slider_scale.h"

#include <cmath>
#include <cstdlib>

#include "values/numbers.h"

namespace objscope {

namespace {

constexpr int kHandleHeight = 13;

// The divisor among 2..5 of the top value whose interval lies nearest 30
// pixels (1 when none divides it).
int PreferredDivisor(double intervals, double dataMax, double dataMin, int trackHeight) {
    const double top = dataMax != 0 ? dataMax : dataMin;
    const int64_t magnitude = std::llabs(RoundHalfAway(top));
    int best = 1;
    double bestDistance = 10000;
    for (int candidate = 2; candidate <= 5; ++candidate) {
        if (magnitude % candidate != 0)
            continue;
        const double spacing = trackHeight * candidate / intervals;
        const double distance = std::fabs(spacing - 30);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    }
    return best;
}

}  // namespace

TSliderLayout LayoutSliderTrack(const TSliderLayoutInput& in) {
    TSliderLayout out;
    const int b = in.borderWidth;
    out.trackHeight = in.height - 2 * in.topSpace - 2 * b - 2;
    out.trackTop = in.topSpace + b;
    if (in.textBoxHeight > 0)
        out.trackHeight =
            (in.height - 2 * in.topSpace - 2 * b) - in.textBoxHeight - 2 - in.topSpace;
    if (!in.meter) {
        out.trackHeight -= kHandleHeight;
        out.trackTop += 6;
    } else if (in.legend) {
        out.trackHeight -= 12;
        out.trackTop += 6;
    }
    out.trackBottom = out.trackTop + out.trackHeight;
    const int span = out.trackBottom - out.trackTop;
    out.valuePerPixel =
        (in.dataMax == in.dataMin || span == 0) ? 1 : (in.dataMax - in.dataMin) / span;
    return out;
}

double ScaleIntervals(double fixed, double dataMax, double dataMin, int trackHeight) {
    if (fixed != 0)
        return fixed;
    if (trackHeight <= 0)
        return 0;
    double n = std::fabs(dataMax - dataMin);
    if (n == 0)
        return 2;
    double d = trackHeight / n;
    while (d < 20) {
        n /= 10;
        d = trackHeight / n;
    }
    if (d <= 40)
        return n;
    n *= 10;
    return n / PreferredDivisor(n, dataMax, dataMin, trackHeight);
}

double ArrowStepFor(double arrowStep, double stepsPerUnit) {
    if (arrowStep != 0)
        return arrowStep;
    if (stepsPerUnit == 0)
        stepsPerUnit = 1;
    return stepsPerUnit > 1 ? 0.5 : 1 / stepsPerUnit;
}

}  // namespace objscope
