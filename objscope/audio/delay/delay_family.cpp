#include "audio/delay/delay_family.h"

#include "audio/delay/delay_objects.h"
#include "audio/delay/multi_delay_form.h"
#include "audio/delay/sample_delay_form.h"
#include "audio/shared/editor_registration.h"

namespace objscope::audio {

void RegisterDelayFamily(TEditorComm& comm) {
    RegisterDelayClasses();
    RegisterFormEditor<TMultiDelayForm>("TU32SignalDelayLine", comm);
    RegisterFormEditor<TMultiDelayForm>("TU32DelayLineAutoCalc", comm);
    RegisterFormEditor<TSampleDelayForm>("TU32SampleDelay", comm);
}

}  // namespace objscope::audio
