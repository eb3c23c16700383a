// Text fields and list items of the audio editors: the number an engineer
// typed (leading number, "k" for thousands) and the order a slope item
// names. Shared by the equaliser and crossover editors so both read their
// fields the same way.
#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace objscope::audio {

// The leading number of a field's text: trimmed and cut at the first blank;
// without a blank, trailing characters other than digits and "." are
// dropped; a text containing "$" is taken whole. Empty when nothing parses.
std::optional<double> LeadingNumber(const QString& text);

// A frequency field: the leading number, times 1000 when the text holds "k"
// in either case. Empty when nothing parses.
std::optional<double> FieldFrequency(const QString& text);

// A frequency as the frequency fields show it: one decimal and " Hz" below
// 100 Hz, no decimals and " Hz" below 1000 Hz, else thousands with two
// decimals and " KHz".
QString FrequencyFieldText(double hertz);

// Whether a graph's display choice keeps every gain on the plot: the
// "dB/Div" index (0 is 3 dB per division) and the "0 dB" row index (0 Top,
// 1 Mid Upper, 2 Center, 3 Mid Lower, 4 Bottom) against the highest and
// gains shown. Top takes no gain above 0, Bottom none below 0; at 3 dB per
// division Mid Upper takes none above 6 and Mid Lower none below -6.
bool DisplayChoiceFits(int legend, int zeroDbLocation, const std::vector<double>& gains);

// The filter order a slope item names: its leading number of dB per octave
// divided by 6 ("12 dB/Oct." gives 2); an unparsable item gives 1.
int SlopeItemOrder(const QString& item);

}  // namespace objscope::audio
