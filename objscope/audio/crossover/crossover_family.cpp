// The crossover family: the general and the Linkwitz-Riley crossovers, their
// outputs, and their editors.
#include "audio/crossover/crossover_form.h"
#include "audio/crossover/crossover_linkwitz.h"
#include "audio/crossover/crossover_objects.h"
#include "model/editor_registry.h"

namespace objscope::audio {

void RegisterCrossoverFamily(TEditorComm& comm) {
    RegisterCrossoverClasses();
    RegisterEditor("TU32CrossOver", [&comm](TVEKroot& object) -> std::unique_ptr<TObjectEditor> {
        return std::make_unique<TCrossoverForm>(object, &comm);
    });
    RegisterEditor("TU32LinkWitz", [&comm](TVEKroot& object) -> std::unique_ptr<TObjectEditor> {
        return std::make_unique<TCrossLinkwitz>(object, &comm);
    });
}

}  // namespace objscope::audio
