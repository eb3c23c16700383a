// One second-order digital section (biquad) and its design by filter type.
// Transfer function: H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 - a1 z^-1 - a2 z^-2),
// note the minus signs in the denominator. Everything is double precision.
#pragma once

#include <cstdint>

namespace objscope::audio {

// The system's fixed sample rate.
inline constexpr double kSampleRate = 48000.0;

struct BiquadSection {
    double a1 = 0.0;
    double a2 = 0.0;
    double b0 = 1.0;
    double b1 = 0.0;
    double b2 = 0.0;
};

// The section that passes everything unchanged.
inline constexpr BiquadSection kFlatSection{};

// Filter type codes (the "Filter Type" byte of a band).
namespace filter_type {
inline constexpr uint8_t kPeakingWideCut = 1;      // Q widened on cuts
inline constexpr uint8_t kPeakingNarrowBoost = 2;  // Q narrowed on boosts (notch cuts)
inline constexpr uint8_t kBandPass = 3;
inline constexpr uint8_t kLowPass2 = 4;
inline constexpr uint8_t kHighPass2 = 5;
inline constexpr uint8_t kLowPass1 = 6;
inline constexpr uint8_t kHighPass1 = 7;
inline constexpr uint8_t kLowShelf = 8;
inline constexpr uint8_t kHighShelf = 9;
inline constexpr uint8_t kAllPass2 = 10;
inline constexpr uint8_t kAllPass1 = 11;
inline constexpr uint8_t kGraphicBand = 100;
inline constexpr uint8_t kAlignedLowPass = 101;   // "e"
inline constexpr uint8_t kAlignedHighPass = 102;  // "f"
inline constexpr uint8_t kAlignedAllPass = 103;   // "g"
}  // namespace filter_type

// Linear factor of a gain in dB, computed as e^(G * ln10 / 20).
double DecibelsToFactor(double gainDb);

// K = tan(pi * f / fs): the bilinear transform's pre-warped frequency.
double PrewarpedFrequency(double frequency);

// What one section is to be: its type, gain, pre-warped frequency K, Q and
// polarity. Unknown types design the flat section.
struct SectionDesign {
    uint8_t type = filter_type::kPeakingWideCut;
    double gainDb = 0.0;
    double k = 0.0;
    double q = 0.707;
    bool invert = false;
    bool bypass = false;
};

BiquadSection DesignSection(const SectionDesign& design);

}  // namespace objscope::audio
