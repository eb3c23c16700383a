// Paints the crossover graph: every output's gain curve (response plus its
// output gain) and, when shown, phase curve on the parametric EQ graph's
// background, and the edge markers in the strip above the plot.
#pragma once

#include <QPainter>
#include <vector>

#include "audio/shared/peq_graph_painter.h"

namespace objscope::audio {

struct CrossoverOutputView {
    const SampledCurves* curves = nullptr;  // on the crossover grid (19.5 Hz)
    // The curves of what was asked, when the device holds something else:
    // drawn faintly beneath the held ones.
    const SampledCurves* requested = nullptr;
    double outputGainDb = 0;
    bool muted = false;
    bool inverted = false;
    double lowerEdge = 0;  // Hz; 0 when the edge is off
    double upperEdge = 0;
};

struct CrossoverFrame {
    std::vector<CrossoverOutputView> outputs;
    int selected = -1;
    bool hasKeyboard = false;
};

// Column of a frequency on the crossover graph: 25 + round(42.2 log2(f / 19.5)).
int CrossoverColumn(double hertz);

// The edge markers in the strip above the plot: 6 x 6 circles with their top
// at row 4 for upper edges ("U") and at row 18 for lower edges ("L"), at the
// edge's column (kept within 25 to 448).
inline constexpr int kUpperMarkerRow = 4;
inline constexpr int kLowerMarkerRow = 18;
inline constexpr int kEdgeMarkerSize = 6;
QPoint EdgeMarkerCentre(double hertz, bool upper);

class CrossoverGraphPainter {
  public:
    static void PaintFrame(QPainter& painter, const PeqDisplay& display,
                           const CrossoverFrame& frame);
};

}  // namespace objscope::audio
