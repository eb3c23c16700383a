// Paints the parametric EQ graph: the background (grid, axes, frame and
// labels) once per display setting, then the curves and band markers for
// each frame. Plain QPainter work, so the window, the screenshots and the
// benchmark share it.
#pragma once

#include <QImage>
#include <QPainter>
#include <optional>
#include <vector>

#include "audio/filters/response_curve.h"

namespace objscope::audio {

struct PeqDisplay {
    int legend = 1;          // index of "3/6/9/12 dB/Div"
    int zeroDbLocation = 2;  // index of "Top" .. "Bottom"
    bool decade = true;      // grid in decades, else octaves
    bool showGain = true;
    bool showPhase = false;
    bool hasKeyboard = false;  // the graph has the keyboard focus
    // The dB labels without and with the keyboard (the equaliser keeps them
    // cyan; the crossovers draw silver, yellow while the graph has it).
    QColor legendColour{0x00, 0xFF, 0xFF};
    QColor legendKeyboardColour{0x00, 0xFF, 0xFF};
};

struct PeqMarker {
    int number = 0;  // 0-based band number
    double frequency = 1000;
    double gainDb = 0;
    int halfWidth = 0;            // bandwidth handles at the marker's column -/+ this
    bool showsBandwidth = false;  // peaking and notch bands
};

// The box shown while the pointer rests near a marker with no button pressed.
struct PeqHover {
    QRect box;  // 68 x 40, beside the marker
    QString frequency;
    QString gain;
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
    std::optional<PeqHover> hover;
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
