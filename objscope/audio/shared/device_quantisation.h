// What the device really holds for a band: the band's gain, frequency and Q
// after they pass through their property types (gain in 0.5 dB steps, the
// frequency as a decade value of 1/10000 decade, Q in 1/256 steps), so the
// response graph can draw the curve the device will produce beside the one
// the user asked for.
#pragma once

#include "audio/filters/filter_band.h"

namespace objscope::audio {

struct BandValues {
    double gainDb;
    double frequency;
    double q;
};

// The values of a band as they come back from the device's property types.
BandValues DeviceValues(const BandValues& requested);

// True when the device cannot take the requested values exactly (a
// difference the graph can show).
bool DiffersOnDevice(const BandValues& requested);

// Copies the band and sets its gain, frequency and Q to the device's values.
void ApplyDeviceValues(TFilterBand& band);

}  // namespace objscope::audio
