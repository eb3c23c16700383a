// The mixing and routing family: mixers, signal selectors and their internal
// variants, matrix routers and combiners, and their two editors.
#include "audio/mixing/matrix_objects.h"
#include "audio/mixing/mcombiner_form.h"
#include "audio/mixing/mixer_form.h"
#include "audio/mixing/mixer_objects.h"
#include "model/editor_registry.h"

namespace objscope::audio {

void RegisterMixingFamily(TEditorComm& comm) {
    RegisterMixerClasses();
    RegisterMatrixClasses();
    for (const char* mixer :
         {"TU32Mixer", "TU32SignalSelector", "TU32SpecialMixer", "TU32SpcSignalSelector"}) {
        RegisterEditor(mixer, [&comm](TVEKroot& object) -> std::unique_ptr<TObjectEditor> {
            return std::make_unique<TMixerForm>(object, &comm);
        });
    }
    for (const char* matrix : {"TU32MatrixRouter", "TU32MatrixCombiner"}) {
        RegisterEditor(matrix, [&comm](TVEKroot& object) -> std::unique_ptr<TObjectEditor> {
            return std::make_unique<TMCombinerForm>(object, &comm);
        });
    }
}

}  // namespace objscope::audio
