// The arithmetic and texts of the parametric EQ editor that need no window:
// field texts, frequency steps, gain limits of the graph, the drag gain and
// the band order after a frequency change (the display lists' refusals are
// DisplayChoiceFits of editor_fields, shared with the crossovers).
#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace objscope::audio {

// Texts of the band fields and the hover box (the frequency field is
// FrequencyFieldText of editor_fields).
QString PeqGainText(double gainDb);        // "-3.0 dB"
QString BandwidthText(double octaves);     // "0.500 Octaves"
QString QText(double q);                   // "4.333"
QString HoverFrequencyText(double hertz);  // "1.0 KHz", "125.0 Hz"
QString HoverGainText(double gainDb);      // "dB = -3.0"

// The frequency step of Shift+arrow at f.
double FrequencyStep(double hertz);
// Shift+Left / Shift+Right: trunc(f / step) * step -/+ step, kept to 20 Hz .. upper.
double SteppedFrequency(double hertz, int direction, double upperLimit);

struct GainRange {
    double low;
    double high;
};

// The gain a field or a key may set: -12 .. 12 dB, a notch -48 .. 0 dB.
GainRange FieldGainRange(bool notch);
// The graph's gain limits for the index of the "0 dB" list: "Top" upper 0,
// "Mid Upper" upper 6, "Mid Lower" lower -6, "Bottom" lower 0, else +-12.
GainRange GraphGainRange(int zeroDbLocation);

// The gain of a drag at pointer row y: (0 dB row - y) / pixels per dB, kept
// to whole numbers plus a fraction rounded to tenths, then to halves.
double DragGain(int zeroRow, int y, double pixelsPerDb);

// After the band at display position `position` changed its frequency,
// moves it up past higher neighbours or down past lower ones (a list of one
// band never moves). `order` holds band numbers in display order; returns
// the band's new position.
int ResortBand(std::vector<int>& order, int position, const std::function<double(int)>& frequency);

}  // namespace objscope::audio
