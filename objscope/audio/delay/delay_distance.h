// The delay grid's numbers: a delay as time and as the distance sound
// travels in it at the temperature the editor uses, both truncated to the
// resolution shown, and the cell texts. Qt-free.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace objscope::audio {

// No temperature is configured anywhere: the editor works at 21 °C and says
// so in its window.
inline constexpr int16_t kDelayTemperature = 21;
inline constexpr double kFeetPerMetre = 3.2808398950131233596;

enum class TDistanceUnit { kFeet, kMetres };

// The speed of sound in mm/s at `celsius`, kept above 0 (at least 1 mm/s),
// so that a distance always turns back into a delay.
int32_t GuardedSpeedOfSound(int16_t celsius);

// Metres (or feet) per millisecond of delay.
double DistanceFactor(int16_t celsius, TDistanceUnit unit);

// trunc(value * stepsPerUnit) / stepsPerUnit, immune to the last bit of a
// product that should have been whole (2999.9999999 stays 3000).
double TruncateToSteps(double value, double stepsPerUnit);

// Steps per unit the distance is shown with: 0.01 ft or 0.001 m.
double DistanceSteps(TDistanceUnit unit);

// The distance of a delay, truncated to the unit's steps.
double DistanceOfDelay(double ms, double factor, TDistanceUnit unit);
// The delay of a typed distance: truncated to the unit's steps first.
double DelayOfDistance(double distance, double factor, TDistanceUnit unit);

// "%1.<decimals>f msec" of the delay truncated to its type's steps.
std::string DelayCellText(double ms, double stepsPerUnit);
// A typed delay: the number read as the bound controls read it, truncated
// to the type's steps.
double DelayOfCellText(std::string_view text, double stepsPerUnit);
// The distance in its shortest decimal form after truncation, " ft" or " m".
std::string DistanceCellText(double distance, TDistanceUnit unit);

}  // namespace objscope::audio
