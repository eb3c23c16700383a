// The equaliser family: the filter sets, their bands, the parametric EQ
// editor and the graphic EQ's placeholder window.
#include "audio/eq/graphic_eq_form.h"
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
    RegisterEditor("TU32EQ1_3", [](TVEKroot& object) -> std::unique_ptr<TObjectEditor> {
        return std::make_unique<TEQ1_3Form>(object);
    });
}

}  // namespace objscope::audio
