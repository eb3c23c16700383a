// The paging family: duckable inputs, page zones (also the relay zone's
// class) and the zone manager, with their editors.
#include "audio/paging/page_zone_form.h"
#include "audio/paging/paging_objects.h"
#include "audio/paging/zone_manager_form.h"
#include "model/editor_registry.h"

namespace objscope::audio {

void RegisterPagingFamily(TEditorComm& comm) {
    RegisterPagingClasses();
    RegisterEditor("TU32PageZone", [&comm](TVEKroot& object) -> std::unique_ptr<TObjectEditor> {
        return std::make_unique<TPageZoneForm>(object, &comm);
    });
    RegisterEditor("TU32ZoneManager", [&comm](TVEKroot& object) -> std::unique_ptr<TObjectEditor> {
        return std::make_unique<TZoneManagerForm>(object, &comm);
    });
}

}  // namespace objscope::audio
