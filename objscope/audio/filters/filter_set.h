// A set of filter bands (graphic and parametric) and the evaluation of its
// complex response at a frequency. The set owns its bands.
#pragma once

#include <algorithm>
#include <complex>
#include <vector>

#include "audio/filters/filter_band.h"

namespace objscope::audio {

struct Response {
    double magnitudeDb = 0.0;   // -999 where the response is exactly zero
    double phaseDegrees = 0.0;  // in [-180, 180)
};

class TFilterSet {
  public:
    TFilterSet(int graphicBands, int parametricBands, double sampleRate = kSampleRate);
    // Bands point back at their set, so a set stays where it was made.
    TFilterSet(const TFilterSet&) = delete;
    TFilterSet& operator=(const TFilterSet&) = delete;

    int GraphicCount() const { return static_cast<int>(graphic_.size()); }
    int ParametricCount() const { return static_cast<int>(parametric_.size()); }
    double SampleRate() const { return sampleRate_; }

    TGraphicFilter& Graphic(int i) { return graphic_.at(static_cast<size_t>(i)); }
    const TGraphicFilter& Graphic(int i) const { return graphic_.at(static_cast<size_t>(i)); }
    TParametricFilter& Parametric(int i) { return parametric_.at(static_cast<size_t>(i)); }
    const TParametricFilter& Parametric(int i) const {
        return parametric_.at(static_cast<size_t>(i));
    }
    // Exchanges two parametric bands (the editors keep them in frequency order).
    void SwapParametric(int i, int j);

    // Lays the graphic bands out evenly in octaves from fLow to fHigh, each one
    // step wide, at 0 dB.
    void SpreadBands(double fHigh, double fLow);

  private:
    double sampleRate_;
    std::vector<TGraphicFilter> graphic_;
    std::vector<TParametricFilter> parametric_;
};

// sin and cos of w and 2w for one frequency, computed once for all sections.
struct UnitCirclePoint {
    explicit UnitCirclePoint(double frequency);
    double cos1, cos2, sin1, sin2;
};

// H(e^jw) of one section and of the parametric bands of a set.
std::complex<double> SectionResponse(const BiquadSection& s, const UnitCirclePoint& p);
std::complex<double> SetResponse(const TFilterSet& set, const UnitCirclePoint& p);

// Decibels and degrees of a complex response.
Response ToResponse(std::complex<double> h);

// The response of the parametric bands at f (graphic bands take no part).
Response EvaluateResponse(const TFilterSet& set, double frequency);

}  // namespace objscope::audio
