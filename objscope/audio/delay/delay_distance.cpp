#include "audio/delay/delay_distance.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "values/numbers.h"
#include "windows/control_numbers.h"

namespace objscope::audio {

namespace {

constexpr double kMmPerMetre = 1000.0;
constexpr double kMsPerSecond = 1000.0;
constexpr double kWholeTolerance = 1e-7;
constexpr double kFeetSteps = 100;
constexpr double kMetreSteps = 1000;

}  // namespace

int32_t GuardedSpeedOfSound(int16_t celsius) {
    return std::max<int32_t>(1, SpeedOfSound(celsius));
}

double DistanceFactor(int16_t celsius, TDistanceUnit unit) {
    const double metresPerMs = GuardedSpeedOfSound(celsius) / (kMmPerMetre * kMsPerSecond);
    return unit == TDistanceUnit::kFeet ? metresPerMs * kFeetPerMetre : metresPerMs;
}

double TruncateToSteps(double value, double stepsPerUnit) {
    const double steps = stepsPerUnit > 0 ? stepsPerUnit : 1;
    const double scaled = value * steps;
    const double nudged = scaled >= 0 ? scaled + kWholeTolerance : scaled - kWholeTolerance;
    return std::trunc(nudged) / steps;
}

double DistanceSteps(TDistanceUnit unit) {
    return unit == TDistanceUnit::kFeet ? kFeetSteps : kMetreSteps;
}

double DistanceOfDelay(double ms, double factor, TDistanceUnit unit) {
    return TruncateToSteps(ms * factor, DistanceSteps(unit));
}

double DelayOfDistance(double distance, double factor, TDistanceUnit unit) {
    return TruncateToSteps(distance, DistanceSteps(unit)) / factor;
}

std::string DelayCellText(double ms, double stepsPerUnit) {
    return FormatValueText(TruncateToSteps(ms, stepsPerUnit), DecimalsForSteps(stepsPerUnit),
                           " msec");
}

double DelayOfCellText(std::string_view text, double stepsPerUnit) {
    return TruncateToSteps(ParseTypedNumber(text), stepsPerUnit);
}

std::string DistanceCellText(double distance, TDistanceUnit unit) {
    const double steps = DistanceSteps(unit);
    std::string text =
        FormatValueText(TruncateToSteps(distance, steps), DecimalsForSteps(steps), "");
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
    }
    if (text == "-0")
        text = "0";
    return text + (unit == TDistanceUnit::kFeet ? " ft" : " m");
}

}  // namespace objscope::audio
