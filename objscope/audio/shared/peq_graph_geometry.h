// Where things lie on the parametric EQ graph (480 x 250 pixels): the
// frequency axis at 42.2 pixels per octave from 19 Hz, the 0 dB row chosen
// by the "0 dB" list, the pixels per dB of the "dB/Div" list, and the phase
// axis centred on row 126.
#pragma once

#include <cmath>

namespace objscope::audio::peq_graph {

inline constexpr int kWidth = 480;
inline constexpr int kHeight = 250;
inline constexpr int kPlotLeft = 25;
inline constexpr int kPlotRight = 470;
inline constexpr int kPlotBottom = 225;
inline constexpr int kStripHeight = 35;
inline constexpr int kPhaseZeroRow = 126;
inline constexpr double kF0 = 19.0;

// Column of a frequency: 25 + round(42.2 log2(f / 19)).
inline int FrequencyColumn(double hertz) {
    return kPlotLeft + static_cast<int>(std::lround(42.2 * std::log2(hertz / kF0)));
}

// Column of a vertical grid line (and frequency label) in decade mode:
// trunc(140.1 log10(f / 10)) - 16.
inline int DecadeColumn(double hertz) {
    return static_cast<int>(std::trunc(140.1 * std::log10(hertz / 10.0))) - 16;
}

// 0 dB row for the index of the "0 dB" list (Top .. Bottom): 36 + 44 * index.
inline int ZeroDbRow(int location) {
    return 36 + 44 * location;
}

// Pixels per dB for the index of the "dB/Div" list (3, 6, 9, 12 dB/Div).
inline double PixelsPerDb(int legend) {
    constexpr double kTable[] = {7.4, 3.7, 2.4666, 1.85};
    return kTable[legend < 0 ? 0 : legend > 3 ? 3 : legend];
}

// Row of a gain.
inline int GainRow(double gainDb, int zeroRow, double pixelsPerDb) {
    return zeroRow - static_cast<int>(std::lround(gainDb * pixelsPerDb));
}

// The row from which a sampled gain curve's points (rows below 0 dB) are
// drawn: the 0 dB row, the shift of a gain stage (-round(gain * pixels per
// dB)) and 2 more, which put 0 dB on a grid line (rows 38 + 22k). Every
// graph's gain curves go through this.
inline int CurveBaseRow(int zeroRow, int shift) {
    return zeroRow + shift + 2;
}

// The grid lines: nine rows, 22 pixels apart.
inline constexpr int kFirstGridRow = 38;
inline constexpr int kGridRowStep = 22;
inline constexpr int kGridRows = 9;

// Number of curve points drawn: 422 - trunc(42 log2(20000 / upper limit)).
inline int DrawnPoints(double upperLimit) {
    return 422 - static_cast<int>(std::trunc(42.0 * std::log2(20000.0 / upperLimit)));
}

// Half-width in pixels of the bandwidth handles of a band N octaves wide:
// trunc(N / 2 * 42 - 0.9), not below 0. The tiny allowance keeps a width set
// from whole pixels (below) from reading back one pixel short.
inline int BandwidthHalfWidth(double octaves) {
    const int w = static_cast<int>(std::trunc(octaves / 2 * 42 - 0.9 + 1e-9));
    return w < 0 ? 0 : w;
}

// Bandwidth in octaves of a handle half-width: (w + 0.9) * 2 / 42.
inline double HalfWidthBandwidth(int halfWidth) {
    return (halfWidth + 0.9) * 2 / 42;
}

}  // namespace objscope::audio::peq_graph
