#include "audio/shared/device_quantisation.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "values/property_pack.h"
#include "values/property_typed_values.h"

namespace objscope::audio {

namespace {

// The value after a trip through the property's wire form.
template <class Property>
double ThroughWire(Property& property) {
    std::vector<uint8_t> item;
    if (PackData(item, property) == 0)
        return property.GetData();
    Property back;
    if (UnPackData(item, back) == 0)
        return property.GetData();
    return back.GetData();
}

double DeviceGain(double gainDb) {
    TU32VEKDB1 gain;
    gain.SetData(gainDb);
    return ThroughWire(gain);
}

double DeviceFrequency(double hertz) {
    TU32VEKDecade2 frequency;
    frequency.SetFrequency(hertz);
    TU32VEKDecade2 back;
    back.SetData(ThroughWire(frequency));
    return back.GetFrequency();
}

double DeviceQ(double q) {
    TU32VEKRatio2 ratio;
    ratio.SetData(q);
    return ThroughWire(ratio);
}

}  // namespace

BandValues DeviceValues(const BandValues& requested) {
    return {DeviceGain(requested.gainDb), DeviceFrequency(requested.frequency),
            DeviceQ(requested.q)};
}

bool DiffersOnDevice(const BandValues& requested) {
    const BandValues device = DeviceValues(requested);
    constexpr double kVisible = 1e-6;
    return std::fabs(device.gainDb - requested.gainDb) > kVisible ||
           std::fabs(device.frequency - requested.frequency) > kVisible ||
           std::fabs(device.q - requested.q) > kVisible;
}

void ApplyDeviceValues(TFilterBand& band) {
    const BandValues device = DeviceValues({band.GainDb(), band.Frequency(), band.Q()});
    band.SetGainDb(device.gainDb);
    band.SetFrequency(device.frequency);
    band.SetQ(device.q);
    band.Recalculate();
}

}  // namespace objscope::audio
