// The arithmetic of the bar meter apart from any widget: the rows of values
// on the bar, its three colour zones and the unlit part, the colour of the
// peak marker and the peak-hold settings.
#pragma once

#include <vector>

namespace objscope {

// The bar's pixel rows (top < bottom) and the values it shows.
struct TMeterBarInput {
    int top = 0;
    int bottom = 0;
    double dataMax = 0;
    double dataMin = -60;
    double position = -60;
    double color2Position = 0;  // where the second zone starts
    double color3Position = 0;  // where the third zone starts
};

// The row of a value: bottom - (value - dataMin) * pixels per unit, halves
// away from zero. A range below 0.01 counts the whole bar as one unit.
int MeterRow(const TMeterBarInput& bar, double value);

// Which colour a span of the bar has.
enum class TLedZone { kOff, kColor1, kColor2, kColor3 };

// Rows [top, bottom) of one colour.
struct TLedSpan {
    int top = 0;
    int bottom = 0;
    TLedZone zone = TLedZone::kOff;
    bool operator==(const TLedSpan&) const = default;
};

// The bar from the bottom up: the lit zones up to the position's row, each
// only when the position exceeds the zone's start, then the unlit rest. At
// dataMin the whole bar is unlit. Rows are kept inside the bar.
std::vector<TLedSpan> MeterSpans(const TMeterBarInput& bar);

// The zone whose colour the peak marker takes: the third above both zone
// starts, the second above the second's start only, else the first.
TLedZone PeakZone(double peak, double color2Position, double color3Position);

// The hold time setting: 0 off, 1 to 60 seconds, 255 on with a first fall
// after 1 ms (each new peak is then held 255 s); any other value is refused
// and reads as 0.
struct TPeakHoldSetting {
    unsigned char value = 0;
    bool on = false;
    int firstMs = 0;  // the timer's interval when the hold is switched on
    int holdMs = 0;   // how long each new peak is held before it falls
};
TPeakHoldSetting PeakHoldSettingFor(int value);

// How fast a held peak falls: every 100 ms by 2 units, not below dataMin.
inline constexpr int kPeakFallIntervalMs = 100;
inline constexpr double kPeakFallStep = 2.0;
double FallenPeak(double peak, double dataMin);

}  // namespace objscope
