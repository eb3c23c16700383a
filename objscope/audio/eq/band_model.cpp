#include "audio/eq/band_model.h"

namespace objscope::audio {

void CopyBandToFilter(const TPeqFilterBand& object, TFilterBand& filter) {
    filter.SetFilterType(object.FilterType());
    filter.SetFamily(object.FilterClass());
    filter.SetOrder(object.FilterOrder());
    filter.SetGainDb(object.GainDb());
    filter.SetFrequency(object.Frequency());
    filter.SetQ(object.Q());
    filter.SetInvert(object.Polarity());
    filter.Recalculate();
}

void FillFilterSet(const TU32Peq& object, TFilterSet& set) {
    for (int i = 0; i < object.BandCount() && i < set.ParametricCount(); ++i)
        CopyBandToFilter(object.Band(i), set.Parametric(i));
}

}  // namespace objscope::audio
