#include "audio/gain/gain_family.h"

#include "audio/gain/card_objects.h"
#include "audio/gain/gain_control_form.h"
#include "audio/gain/gain_objects.h"
#include "audio/gain/meter_form.h"
#include "audio/gain/prog_gain_control_form.h"
#include "audio/shared/editor_registration.h"

namespace objscope::audio {

void RegisterGainFamily(TEditorComm& comm) {
    RegisterGainClasses();
    RegisterCardClasses();
    for (const char* className : {"TU32GainControl", "TU32IntGainCtrl", "TU32ZCGainCtrl"})
        RegisterFormEditor<TGainControlForm>(className, comm);
    RegisterFormEditor<TProgGainControlForm>("TU32ProgGainControl", comm);
    RegisterFormEditor<TMeterForm>("TU32Meter", comm);
}

}  // namespace objscope::audio
