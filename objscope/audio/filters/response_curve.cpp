#include "audio/filters/response_curve.h"

#include <algorithm>
#include <cmath>

namespace objscope::audio {

CurveGrid PeqGrid(double pixelsPerDb) {
    const double upper = std::min(std::trunc(kSampleRate / 2.0), 20000.0);
    return {19.0, upper, pixelsPerDb, 1.0 / 2.04};
}

CurveGrid CrossoverGrid(double pixelsPerDb) {
    return {19.5, 20000.0, pixelsPerDb, 0.49};
}

double GridFrequency(const CurveGrid& grid, int i) {
    return grid.f0 * std::exp2(i / grid.pointsPerOctave);
}

int GridPointCount(const CurveGrid& grid) {
    int n = 0;
    while (n < grid.maxPoints && GridFrequency(grid, n) < grid.upperLimit)
        ++n;
    return n;
}

GridEvaluator::GridEvaluator(const CurveGrid& grid) : grid_(grid) {
    const int n = GridPointCount(grid);
    points_.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        points_.emplace_back(GridFrequency(grid, i));
}

std::vector<Response> GridEvaluator::Evaluate(const TFilterSet& set) const {
    std::vector<Response> out;
    out.reserve(points_.size());
    for (const UnitCirclePoint& p : points_)
        out.push_back(ToResponse(SetResponse(set, p)));
    return out;
}

SampledCurves GridEvaluator::Sample(const TFilterSet& set) const {
    SampledCurves out;
    SampleInto(set, out);
    return out;
}

void GridEvaluator::SampleInto(const TFilterSet& set, SampledCurves& out) const {
    out.gain.resize(points_.size());
    out.phase.resize(points_.size());
    for (size_t i = 0; i < points_.size(); ++i)
        Store(i, SetResponse(set, points_[i]), out);
}

void GridEvaluator::Store(size_t i, std::complex<double> h, SampledCurves& out) const {
    const Response r = ToResponse(h);
    out.gain[i] = -static_cast<int>(std::trunc(r.magnitudeDb * grid_.pixelsPerDb));
    out.phase[i] = -static_cast<int>(std::trunc(r.phaseDegrees * grid_.pixelsPerDegree));
}

std::vector<std::complex<double>> GridEvaluator::ProductWithout(const TFilterSet& set,
                                                                int band) const {
    std::vector<std::complex<double>> out(points_.size(), {1.0, 0.0});
    for (int b = 0; b < set.ParametricCount(); ++b) {
        if (b == band)
            continue;
        for (const BiquadSection& s : set.Parametric(b).Sections())
            for (size_t i = 0; i < points_.size(); ++i)
                out[i] *= SectionResponse(s, points_[i]);
    }
    return out;
}

void GridEvaluator::SampleDragInto(const std::vector<std::complex<double>>& others,
                                   const TFilterBand& band, SampledCurves& out) const {
    out.gain.resize(points_.size());
    out.phase.resize(points_.size());
    for (size_t i = 0; i < points_.size() && i < others.size(); ++i) {
        std::complex<double> h = others[i];
        for (const BiquadSection& s : band.Sections())
            h *= SectionResponse(s, points_[i]);
        Store(i, h, out);
    }
}

}  // namespace objscope::audio
