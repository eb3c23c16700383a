#include "audio/filters/biquad_section.h"

#include <cmath>
#include <numbers>

namespace objscope::audio {

namespace {

bool IsFirstOrder(uint8_t type) {
    return type == filter_type::kLowPass1 || type == filter_type::kHighPass1 ||
           type == filter_type::kAllPass1;
}

// The design quality: shelves and type 1 widen Q by A on cuts, type 2
// narrows it by A on boosts, every other type uses Q as given.
double DesignQuality(uint8_t type, double q, double a, double gainDb) {
    switch (type) {
        case filter_type::kPeakingWideCut:
        case filter_type::kLowShelf:
        case filter_type::kHighShelf:
            return gainDb < 0 ? q * a : q;
        case filter_type::kPeakingNarrowBoost:
            return gainDb >= 0 ? q * a : q;
        default:
            return q;
    }
}

void SetSecondOrderPoles(BiquadSection& s, double k, double q) {
    const double d = 1.0 + k / q + k * k;
    s.a1 = 2.0 * (1.0 - k * k) / d;
    s.a2 = (k / q - 1.0 - k * k) / d;
}

void SetFirstOrderPole(BiquadSection& s, double k) {
    s.a1 = (1.0 - k) / (1.0 + k);
    s.a2 = 0.0;
}

// The numerator for the given type once the poles are set; false for a type
// that designs no section.
bool SetNumerator(BiquadSection& s, uint8_t type, double a, double gainDb) {
    using namespace filter_type;
    switch (type) {
        case kPeakingWideCut:
        case kPeakingNarrowBoost: {
            const double d = (a - 1.0) * (1.0 + s.a2) / 2.0;
            s.b0 = 1.0 + d;
            s.b1 = -s.a1;
            s.b2 = -s.a2 - d;
            return true;
        }
        case kBandPass:
            s.b0 = a * (1.0 + s.a2) / 2.0;
            s.b1 = 0.0;
            s.b2 = -s.b0;
            return true;
        case kLowPass2:
            s.b0 = a * (1.0 - s.a1 - s.a2) / 4.0;
            s.b1 = 2.0 * s.b0;
            s.b2 = s.b0;
            return true;
        case kHighPass2:
            s.b0 = a * (1.0 + s.a1 - s.a2) / 4.0;
            s.b1 = -2.0 * s.b0;
            s.b2 = s.b0;
            return true;
        case kLowPass1:
            s.b0 = s.b1 = a * (1.0 - s.a1) / 2.0;
            s.b2 = 0.0;
            return true;
        case kHighPass1:
            s.b0 = a * (1.0 + s.a1) / 2.0;
            s.b1 = -s.b0;
            s.b2 = 0.0;
            return true;
        case kLowShelf: {
            const double h = a * (1.0 - s.a1 - s.a2);
            const double m = (s.a1 + h + 1.0 - s.a2) / 4.0;
            const double r = std::sqrt(a) * (1.0 + s.a2) / 2.0;
            s.b0 = m + r;
            s.b1 = (h - (1.0 + s.a1 - s.a2)) / 2.0;
            s.b2 = m - r;
            return true;
        }
        case kHighShelf: {
            const double h = 1.0 - s.a1 - s.a2;
            const double m = (a * (1.0 + s.a1 - s.a2) + h) / 4.0;
            const double r = std::sqrt(a) * (1.0 + s.a2) / 2.0;
            s.b0 = m + r;
            s.b1 = (h - a * (1.0 + s.a1 - s.a2)) / 2.0;
            s.b2 = m - r;
            return true;
        }
        case kAllPass2:
            s.b0 = -s.a2 * a;
            s.b1 = -s.a1 * a;
            s.b2 = a;
            return true;
        case kAllPass1:
            s.b0 = -s.a1 * a;
            s.b1 = a;
            s.b2 = 0.0;
            return true;
        case kGraphicBand: {
            // Only the band-pass part, scaled by (M - 1) with M from |G|.
            const double w = (1.0 + s.a2) * (DecibelsToFactor(std::fabs(gainDb)) - 1.0) / 2.0;
            s.b0 = w;
            s.b1 = 0.0;
            s.b2 = -w;
            return true;
        }
        default:
            return false;
    }
}

}  // namespace

double DecibelsToFactor(double gainDb) {
    return std::exp(gainDb * std::numbers::ln10 * 0.05);
}

double PrewarpedFrequency(double frequency) {
    return std::tan(std::numbers::pi * frequency / kSampleRate);
}

BiquadSection DesignSection(const SectionDesign& design) {
    // A bypassed band is flat; so is a Q that is not positive, which would
    // otherwise divide by zero and fill the curve with NaN.
    if (design.bypass || !(design.q > 0.0))
        return kFlatSection;
    const double a = DecibelsToFactor(design.gainDb);
    BiquadSection s;
    if (IsFirstOrder(design.type))
        SetFirstOrderPole(s, design.k);
    else
        SetSecondOrderPoles(s, design.k, DesignQuality(design.type, design.q, a, design.gainDb));
    if (!SetNumerator(s, design.type, a, design.gainDb))
        s = kFlatSection;
    if (design.invert) {
        s.b0 = -s.b0;
        s.b1 = -s.b1;
        s.b2 = -s.b2;
    }
    return s;
}

}  // namespace objscope::audio
