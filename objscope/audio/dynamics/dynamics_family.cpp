#include "audio/dynamics/dynamics_family.h"

#include "audio/dynamics/audio_compare_form.h"
#include "audio/dynamics/dynamics_objects.h"
#include "audio/dynamics/envelope_detector_form.h"
#include "audio/dynamics/limiter_form.h"
#include "audio/dynamics/noise_gate_form.h"
#include "audio/shared/editor_registration.h"

namespace objscope::audio {

void RegisterDynamicsFamily(TEditorComm& comm) {
    RegisterDynamicsClasses();
    RegisterFormEditor<TLimiterForm>("TU32Limiter", comm);
    RegisterFormEditor<TCompressorForm>("TU32Compressor", comm);
    RegisterFormEditor<TNoiseGateForm>("TU32NoiseGate", comm);
    RegisterFormEditor<TEnvelopeDetectorForm>("TU32EnvelopeDetector", comm);
    RegisterFormEditor<TAudioCompareForm>("TU32AudioComparator", comm);
}

}  // namespace objscope::audio
