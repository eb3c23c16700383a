// Carries a band object's property values into the filter mathematics: the
// editors keep one TFilterSet per set of bands and refresh a filter band from
// its object (type, class as the alignment family, order, gain, frequency, Q
// and polarity) before recalculating it.
#pragma once

#include "audio/filters/filter_set.h"
#include "audio/eq/peq_objects.h"

namespace objscope::audio {

void CopyBandToFilter(const TPeqFilterBand& object, TFilterBand& filter);

// A filter set with one parametric band per band of the object.
void FillFilterSet(const TU32Peq& object, TFilterSet& set);

}  // namespace objscope::audio
