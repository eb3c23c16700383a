// The automatic mixer family: the automixer with its gates, and their
// editors.
#include "audio/automixer/auto_gate_form.h"
#include "audio/automixer/automix_form.h"
#include "audio/automixer/automixer_objects.h"
#include "model/editor_registry.h"

namespace objscope::audio {

void RegisterAutoMixerFamily(TEditorComm& comm) {
    RegisterAutoMixerClasses();
    RegisterEditor("TU32AutoMixer", [&comm](TVEKroot& object) -> std::unique_ptr<TObjectEditor> {
        return std::make_unique<TfrmAutoMix>(object, &comm);
    });
    RegisterEditor("TU32AutoMixerGate",
                   [&comm](TVEKroot& object) -> std::unique_ptr<TObjectEditor> {
                       return std::make_unique<TfrmAutoGate>(object, &comm);
                   });
}

}  // namespace objscope::audio
