#include "audio/response_curve.h"

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
    return grid.f0 * std::exp2(i / kPointsPerOctave);
}

int GridPointCount(const CurveGrid& grid) {
    int n = 0;
    while (n < kMaxCurvePoints && GridFrequency(grid, n) < grid.upperLimit)
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
    for (size_t i = 0; i < points_.size(); ++i) {
        const Response r = ToResponse(SetResponse(set, points_[i]));
        out.gain[i] = -static_cast<int>(std::trunc(r.magnitudeDb * grid_.pixelsPerDb));
        out.phase[i] = -static_cast<int>(std::trunc(r.phaseDegrees * grid_.pixelsPerDegree));
    }
}

}  // namespace objscope::audio
