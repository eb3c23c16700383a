// The equaliser family: the filter sets, their bands and the parametric EQ
// editor.
#include "audio/eq/graphic_eq_objects.h"
#include "audio/eq/peq_form.h"
#include "audio/eq/peq_objects.h"
#include "model/editor_registry.h"

namespace objscope::audio {

void RegisterEqFamily(TEditorComm& comm) {
    RegisterPeqClasses();
    RegisterGraphicEqClass();
    RegisterEditor("TU32Peq", [&comm](TVEKroot& object) -> std::unique_ptr<TObjectEditor> {
        return std::make_unique<TPeqForm>(object, &comm);
    });
}

}  // namespace objscope::audio
