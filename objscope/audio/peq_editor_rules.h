// The arithmetic and texts of the parametric EQ editor that need no window:
// field texts, frequency steps, gain limits of the graph, the refusals of
// the display lists, the drag gain and the band order after a frequency
// change.
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

// Whether the display lists refuse a choice for the gains of the bands.
// "3   dB/Div" (legend 0) is refused at "Mid Upper" while a gain exceeds 6
// dB and at "Mid Lower" while a gain is below -6 dB; "Top" while a gain is
// above 0, "Bottom" while one is below 0, "Mid Upper" and "Mid Lower" at 3
// dB per division as for the legend.
bool LegendRefused(int legend, int zeroDbLocation, const std::vector<double>& gains);
bool ZeroLocationRefused(int zeroDbLocation, int legend, const std::vector<double>& gains);

// After the band at display position `position` changed its frequency,
// moves it up past higher neighbours or down past lower ones (a list of one
// band never moves). `order` holds band numbers in display order; returns
// the band's new position.
int ResortBand(std::vector<int>& order, int position, const std::function<double(int)>& frequency);

}  // namespace objscope::audio
