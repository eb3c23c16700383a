// Paints the parametric EQ graph: the background (grid, axes, frame and
// labels) once per display setting, then the curves and band markers for
// each frame. Plain QPainter work, so the window, the screenshots and the
// benchmark share it.
#pragma once

#include <QImage>
#include <QPainter>
#include <vector>

#include "audio/response_curve.h"

namespace objscope::audio {

struct PeqDisplay {
    int legend = 1;          // index of "3/6/9/12 dB/Div"
    int zeroDbLocation = 2;  // index of "Top" .. "Bottom"
    bool decade = true;      // grid in decades, else octaves
    bool showGain = true;
    bool showPhase = false;
    bool hasKeyboard = false;  // the graph has the keyboard focus
    // The dB labels without the keyboard (yellow while the graph has it).
    QColor legendColour{0x00, 0xFF, 0xFF};
};

struct PeqMarker {
    int number = 0;  // 0-based band number
    double frequency = 1000;
    double gainDb = 0;
    double bandwidthOctaves = 0;
    bool showsBandwidth = false;  // peaking and notch bands
};

// What one frame shows: the curve of the values the device holds, and while
// a drag asks for a value the device cannot take exactly, the requested
// curve (drawn faintly beside it).
struct PeqFrame {
    const SampledCurves* held = nullptr;
    const SampledCurves* requested = nullptr;
    int masterOffset = 0;  // rows: -round(master gain * pixels per dB)
    std::vector<PeqMarker> markers;
    int selected = -1;  // index into markers
};

class PeqGraphPainter {
  public:
    // Draws the background for the display settings into `image`
    // (480 x 250, RGB32).
    static void PaintBackground(QImage& image, const PeqDisplay& display);
    // Draws curves and markers over an already painted background.
    static void PaintFrame(QPainter& painter, const PeqDisplay& display, const PeqFrame& frame);
};

}  // namespace objscope::audio
