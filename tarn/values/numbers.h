// Shared values and number conversions of the property viewer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace objscope {

// Audio sample rate of the devices, used by the filter mathematics.
inline constexpr double kSampleRate = 48000.0;

// Speed of sound in millimetres per second at `celsius` degrees:
// 331450 + the nearest integer (ties to even) to celsius * 0.09 * 6629.
int32_t SpeedOfSound(int16_t celsius);

// Rounds halves away from zero: 2.5 gives 3, -2.5 gives -3, 2.4 gives 2.
// NaN gives 0; values beyond the 64-bit range are clamped to it.
int64_t RoundHalfAway(double x);

// Trims; a text that is empty or holds "$" is returned as it is; otherwise
// the part before the first blank, or (without a blank) the text with
// trailing characters removed until it ends in a digit or ".".
std::string CleanNumberText(std::string_view text);

}  // namespace objscope
