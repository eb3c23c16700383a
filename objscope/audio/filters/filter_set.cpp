#include "audio/filters/filter_set.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace objscope::audio {

TFilterSet::TFilterSet(int graphicBands, int parametricBands, double sampleRate)
    : sampleRate_(sampleRate) {
    graphic_.reserve(static_cast<size_t>(std::max(graphicBands, 0)));
    for (int i = 0; i < graphicBands; ++i)
        graphic_.emplace_back(this);
    parametric_.reserve(static_cast<size_t>(std::max(parametricBands, 0)));
    for (int i = 0; i < parametricBands; ++i)
        parametric_.emplace_back(this);
}

void TFilterSet::SwapParametric(int i, int j) {
    std::swap(parametric_.at(static_cast<size_t>(i)), parametric_.at(static_cast<size_t>(j)));
}

void TFilterSet::SpreadBands(double fHigh, double fLow) {
    const int n = GraphicCount();
    if (n == 0)
        return;
    // One band has no spacing: it sits at fLow, one octave wide.
    const double step = n > 1 ? std::log2(fHigh / fLow) / (n - 1) : 1.0;
    for (int i = 0; i < n; ++i) {
        TGraphicFilter& band = graphic_[static_cast<size_t>(i)];
        band.SetGainDb(0.0);
        band.SetFrequency(fLow * std::exp2(i * step));
        band.SetBandwidthOctaves(step);
        band.Recalculate();
    }
}

UnitCirclePoint::UnitCirclePoint(double frequency) {
    const double w = 2.0 * std::numbers::pi * frequency / kSampleRate;
    cos1 = std::cos(w);
    cos2 = std::cos(2.0 * w);
    sin1 = std::sin(w);
    sin2 = std::sin(2.0 * w);
}

std::complex<double> SectionResponse(const BiquadSection& s, const UnitCirclePoint& p) {
    const std::complex<double> numerator(s.b0 + s.b1 * p.cos1 + s.b2 * p.cos2,
                                         -s.b1 * p.sin1 - s.b2 * p.sin2);
    const std::complex<double> denominator(1.0 - s.a1 * p.cos1 - s.a2 * p.cos2,
                                           s.a1 * p.sin1 + s.a2 * p.sin2);
    return numerator / denominator;
}

std::complex<double> SetResponse(const TFilterSet& set, const UnitCirclePoint& p) {
    std::complex<double> h(1.0, 0.0);
    for (int b = 0; b < set.ParametricCount(); ++b)
        for (const BiquadSection& s : set.Parametric(b).Sections())
            h *= SectionResponse(s, p);
    return h;
}

Response ToResponse(std::complex<double> h) {
    const double re = h.real();
    const double im = h.imag();
    const double power = re * re + im * im;
    if (power == 0.0)
        return {-999.0, 0.0};  // no phase to speak of: report 0
    double phi;
    if (std::fabs(re) >= std::fabs(im)) {
        phi = std::atan(im / re);
        if (re < 0)
            phi += std::numbers::pi;
    } else {
        phi = std::numbers::pi / 2 - std::atan(re / im);
        if (im < 0)
            phi -= std::numbers::pi;
    }
    const double turns = phi / (2.0 * std::numbers::pi);
    return {10.0 * std::log10(power), (turns - std::floor(turns + 0.5)) * 360.0};
}

Response EvaluateResponse(const TFilterSet& set, double frequency) {
    return ToResponse(SetResponse(set, UnitCirclePoint(frequency)));
}

}  // namespace objscope::audio
