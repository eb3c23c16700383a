// The numbers of the bound controls (edit box, combo box, slider, meter):
// the resolution a property type gives (steps per unit, decimals shown, unit
// text), rounding to that resolution, the text of a value and the reading of
// a typed or listed number. One place, so every control shows and reads a
// value the same way.
#pragma once

#include <string>
#include <string_view>

namespace objscope {

class TU32MultiValue;

// How a control shows the values of a numeric type.
struct TValueResolution {
    double stepsPerUnit = 1;  // 0 counts as 1
    int decimals = 0;
    std::string units;
};

// The resolution of the copy's type: its steps per unit and unit text.
TValueResolution ResolutionOf(const TU32MultiValue& number);

// Decimals shown for a number of steps per unit (0 counts as 1): none up to
// one step per unit, else enough digits for the step (0.5 shows 1, 1/128
// shows 3).
int DecimalsForSteps(double stepsPerUnit);
// round(value * steps) / steps with halves to even (steps 0 counts as 1).
double RoundToResolution(double value, double stepsPerUnit);
// The value with `decimals` digits after a "." (whatever the locale), then
// the unit text: "-12.5 dB".
std::string FormatValueText(double value, int decimals, std::string_view units);
// A typed or listed number: trimmed, cut at the first character outside
// "+-.0123456789E"; empty or unreadable text reads as 0 ("12.5 dB" reads
// 12.5, "1.5 : 1" reads 1.5, "abc" reads 0). The "." is the decimal point
// whatever the locale.
double ParseTypedNumber(std::string_view text);

}  // namespace objscope
