// The response of a filter set sampled on the editors' logarithmic grid:
// point i lies at f0 * 2^(i / 42.2), 42.2 points per octave so that one point
// falls on one pixel of a graph with 140.1 pixels per decade.
#pragma once

#include <complex>
#include <vector>

#include "audio/filters/filter_set.h"

namespace objscope::audio {

inline constexpr double kPointsPerOctave = 42.2;
inline constexpr int kMaxCurvePoints = 457;

struct CurveGrid {
    double f0;               // frequency of point 0
    double upperLimit;       // points lie below this frequency
    double pixelsPerDb;      // vertical scale of the gain curve
    double pixelsPerDegree;  // vertical scale of the phase curve
    double pointsPerOctave = kPointsPerOctave;
    int maxPoints = kMaxCurvePoints;
};

// The parametric EQ editor's grid (f0 19 Hz, phase 2.04 degrees per pixel)
// and the crossover editors' (f0 19.5 Hz, 0.49 pixels per degree).
CurveGrid PeqGrid(double pixelsPerDb);
CurveGrid CrossoverGrid(double pixelsPerDb);

// Frequency of grid point i.
double GridFrequency(const CurveGrid& grid, int i);
// Number of grid points: from 0 while below the upper limit, at most
// maxPoints (457 for the editors).
int GridPointCount(const CurveGrid& grid);

// Row offsets ready to add to the graph's zero rows: -trunc(dB * px/dB) and
// -trunc(degrees * px/degree).
struct SampledCurves {
    std::vector<int> gain;
    std::vector<int> phase;
};

// The unit-circle points of a grid, computed once per grid and reused for
// every evaluation (the editors redraw on every drag step).
class GridEvaluator {
  public:
    explicit GridEvaluator(const CurveGrid& grid);
    const CurveGrid& Grid() const { return grid_; }
    int PointCount() const { return static_cast<int>(points_.size()); }
    double Frequency(int i) const { return GridFrequency(grid_, i); }

    // The response of the set at every grid point.
    std::vector<Response> Evaluate(const TFilterSet& set) const;
    // The same, as rows.
    SampledCurves Sample(const TFilterSet& set) const;
    void SampleInto(const TFilterSet& set, SampledCurves& out) const;

    // While one band is dragged the others stay put: their product at every
    // point is computed once when the drag starts, and each step evaluates
    // only the dragged band against it.
    std::vector<std::complex<double>> ProductWithout(const TFilterSet& set, int band) const;
    void SampleDragInto(const std::vector<std::complex<double>>& others, const TFilterBand& band,
                        SampledCurves& out) const;

  private:
    void Store(size_t i, std::complex<double> h, SampledCurves& out) const;

    CurveGrid grid_;
    std::vector<UnitCirclePoint> points_;
};

}  // namespace objscope::audio
